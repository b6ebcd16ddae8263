#include "platform/WidgetForm.h"

#include <algorithm>

#include "platform/TextCodec.h"
#include "platform/VirtualKeys.h"

namespace plat {

namespace {

bool Inside(const RECT& rect, int x, int y) { return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom; }

bool IsButtonLike(eWidgetKind kind) {
  return kind == eWidgetKind::PushButton || kind == eWidgetKind::RadioButton || kind == eWidgetKind::CheckBox;
}

bool IsFocusable(const sWidget& widget) {
  return widget.enabled && (IsButtonLike(widget.kind) || widget.kind == eWidgetKind::Edit ||
                            widget.kind == eWidgetKind::List);
}

}  // namespace

int PreviousCharOffset(std::string_view text, int offset) {
  // Walk from the start: a trail byte can look like a lead byte, so the
  // boundary before `offset` is only known by reading forwards.
  int position = 0;
  int previous = 0;
  while (position < offset && position < static_cast<int>(text.size())) {
    previous = position;
    position = NextCharOffset(text, position);
  }
  return previous;
}

int NextCharOffset(std::string_view text, int offset) {
  const int size = static_cast<int>(text.size());
  if (offset >= size) return size;
  const bool pair = IsCp932LeadByte(static_cast<unsigned char>(text[offset])) && offset + 1 < size;
  return offset + (pair ? 2 : 1);
}

sWidget& cWidgetForm::Add(const sWidget& widget) {
  m_Widgets.push_back(widget);
  return m_Widgets.back();
}

void cWidgetForm::Clear() {
  m_Widgets.clear();
  m_Focus = -1;
}

sWidget* cWidgetForm::Find(int id) {
  for (sWidget& widget : m_Widgets) {
    if (widget.id == id) return &widget;
  }
  return nullptr;
}

const sWidget* cWidgetForm::Find(int id) const { return const_cast<cWidgetForm*>(this)->Find(id); }

void cWidgetForm::SetText(int id, std::string_view textCp932) {
  sWidget* widget = Find(id);
  if (widget == nullptr) return;
  widget->text.assign(textCp932);
  widget->selStart = widget->selEnd = static_cast<int>(widget->text.size());
}

std::string cWidgetForm::GetText(int id) const {
  const sWidget* widget = Find(id);
  return widget != nullptr ? widget->text : std::string();
}

void cWidgetForm::SetCheck(int id, int checked) {
  if (sWidget* widget = Find(id)) widget->checked = checked;
}

int cWidgetForm::GetCheck(int id) const {
  const sWidget* widget = Find(id);
  return widget != nullptr ? widget->checked : 0;
}

void cWidgetForm::SetSelection(int id, int start, int end) {
  sWidget* widget = Find(id);
  if (widget == nullptr) return;
  const int size = static_cast<int>(widget->text.size());
  if (end < 0 || end > size) end = size;
  start = std::clamp(start, 0, size);
  widget->selStart = start;
  widget->selEnd = end;
}

void cWidgetForm::GetSelection(int id, int* start, int* end) const {
  const sWidget* widget = Find(id);
  const int a = widget != nullptr ? widget->selStart : 0;
  const int b = widget != nullptr ? widget->selEnd : 0;
  if (start != nullptr) *start = std::min(a, b);
  if (end != nullptr) *end = std::max(a, b);
}

void cWidgetForm::Enable(int id, bool enable) {
  if (sWidget* widget = Find(id)) widget->enabled = enable;
}

void cWidgetForm::SetItems(int id, std::vector<std::string> items) {
  sWidget* widget = Find(id);
  if (widget == nullptr) return;
  widget->items = std::move(items);
  widget->listSelection = widget->items.empty() ? -1 : 0;
  widget->listTop = 0;
}

int cWidgetForm::GetListSelection(int id) const {
  const sWidget* widget = Find(id);
  return widget != nullptr ? widget->listSelection : -1;
}

void cWidgetForm::SetListSelection(int id, int index) {
  sWidget* widget = Find(id);
  if (widget == nullptr || widget->items.empty()) return;
  widget->listSelection = std::clamp(index, 0, static_cast<int>(widget->items.size()) - 1);
  KeepSelectionVisible(*widget);
}

void cWidgetForm::SetFocus(int id) {
  const int previous = m_Focus;
  m_Focus = -1;
  for (std::size_t i = 0; i < m_Widgets.size(); ++i) {
    if (m_Widgets[i].id == id) m_Focus = static_cast<int>(i);
  }
  if (previous >= 0 && previous != m_Focus && m_Widgets[previous].kind == eWidgetKind::Edit) {
    m_Widgets[previous].composition.clear();
    Notify(m_Widgets[previous].id, EN_KILLFOCUS);
  }
}

int cWidgetForm::FocusedId() const { return m_Focus >= 0 ? m_Widgets[m_Focus].id : 0; }

sWidget* cWidgetForm::Focused() { return m_Focus >= 0 ? &m_Widgets[m_Focus] : nullptr; }

void cWidgetForm::Notify(int id, int code) {
  if (m_Sink) m_Sink(id, code);
}

bool cWidgetForm::IsTabStop(std::size_t index) const {
  const sWidget& widget = m_Widgets[index];
  if (!widget.tabStop || !IsFocusable(widget)) return false;
  if (widget.kind != eWidgetKind::RadioButton) return true;
  // One stop per radio group: its checked button, or its first when none is.
  std::size_t first = index;
  while (first > 0 && !m_Widgets[first].groupStart && m_Widgets[first - 1].kind == eWidgetKind::RadioButton) --first;
  bool anyChecked = false;
  for (std::size_t i = first; i < m_Widgets.size() && m_Widgets[i].kind == eWidgetKind::RadioButton; ++i) {
    if (i != first && m_Widgets[i].groupStart) break;
    if (m_Widgets[i].checked != 0) anyChecked = true;
  }
  return anyChecked ? widget.checked != 0 : index == first;
}

void cWidgetForm::MoveFocus(int step) {
  const int count = static_cast<int>(m_Widgets.size());
  if (count == 0) return;
  int index = m_Focus;
  for (int tries = 0; tries < count; ++tries) {
    index = ((index < 0 ? (step > 0 ? -1 : 0) : index) + step + count) % count;
    if (IsTabStop(static_cast<std::size_t>(index))) {
      SetFocus(m_Widgets[index].id);
      if (m_Widgets[index].kind == eWidgetKind::Edit) SetSelection(m_Widgets[index].id, 0, -1);
      return;
    }
  }
}

void cWidgetForm::CheckRadio(std::size_t index) {
  std::size_t first = index;
  while (first > 0 && !m_Widgets[first].groupStart && m_Widgets[first - 1].kind == eWidgetKind::RadioButton) --first;
  for (std::size_t i = first; i < m_Widgets.size() && m_Widgets[i].kind == eWidgetKind::RadioButton; ++i) {
    if (i != first && m_Widgets[i].groupStart) break;
    m_Widgets[i].checked = i == index ? 1 : 0;
  }
}

bool cWidgetForm::MoveInRadioGroup(std::size_t index, int step) {
  const int next = static_cast<int>(index) + step;
  if (next < 0 || next >= static_cast<int>(m_Widgets.size())) return false;
  const sWidget& target = m_Widgets[next];
  if (target.kind != eWidgetKind::RadioButton) return false;
  if (step > 0 && target.groupStart) return false;
  if (step < 0 && m_Widgets[index].groupStart) return false;
  SetFocus(target.id);
  CheckRadio(static_cast<std::size_t>(next));
  Notify(target.id, BN_CLICKED);
  return true;
}

void cWidgetForm::PushButton(sWidget& widget) {
  if (!widget.enabled) return;
  const int id = widget.id;
  if (widget.kind == eWidgetKind::CheckBox) widget.checked = widget.checked != 0 ? 0 : 1;
  if (widget.kind == eWidgetKind::RadioButton) CheckRadio(static_cast<std::size_t>(&widget - m_Widgets.data()));
  Notify(id, BN_CLICKED);
}

void cWidgetForm::PressDefault() {
  for (sWidget& widget : m_Widgets) {
    if (widget.kind == eWidgetKind::PushButton && widget.isDefault && widget.enabled) {
      PushButton(widget);
      return;
    }
  }
}

void cWidgetForm::ReplaceSelection(sWidget& edit, std::string_view cp932) {
  int start = std::min(edit.selStart, edit.selEnd);
  int end = std::max(edit.selStart, edit.selEnd);
  start = std::clamp(start, 0, static_cast<int>(edit.text.size()));
  end = std::clamp(end, start, static_cast<int>(edit.text.size()));
  edit.text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), cp932);
  edit.selStart = edit.selEnd = start + static_cast<int>(cp932.size());
  Notify(edit.id, EN_UPDATE);
}

bool cWidgetForm::EditKey(sWidget& edit, int virtualKey, bool shift) {
  const std::string_view text = edit.text;
  const int size = static_cast<int>(text.size());
  auto moveCaret = [&](int to) {
    edit.selEnd = to;
    if (!shift) edit.selStart = to;
  };
  switch (virtualKey) {
    case VK_LEFT:
      if (!shift && edit.selStart != edit.selEnd) moveCaret(std::min(edit.selStart, edit.selEnd));
      else moveCaret(PreviousCharOffset(text, edit.selEnd));
      return true;
    case VK_RIGHT:
      if (!shift && edit.selStart != edit.selEnd) moveCaret(std::max(edit.selStart, edit.selEnd));
      else moveCaret(NextCharOffset(text, edit.selEnd));
      return true;
    case VK_HOME:
      moveCaret(0);
      return true;
    case VK_END:
      moveCaret(size);
      return true;
    case VK_BACK:
      if (edit.selStart == edit.selEnd) {
        if (edit.selEnd == 0) return true;
        edit.selStart = PreviousCharOffset(text, edit.selEnd);
      }
      ReplaceSelection(edit, {});
      return true;
    case VK_DELETE:
      if (edit.selStart == edit.selEnd) {
        if (edit.selEnd >= size) return true;
        edit.selEnd = NextCharOffset(text, edit.selEnd);
      }
      ReplaceSelection(edit, {});
      return true;
    default:
      return false;
  }
}

bool cWidgetForm::ListKey(sWidget& list, int virtualKey) {
  const int count = static_cast<int>(list.items.size());
  if (count == 0) return false;
  int next = list.listSelection;
  switch (virtualKey) {
    case VK_UP: next -= 1; break;
    case VK_DOWN: next += 1; break;
    case VK_PRIOR: next -= 10; break;
    case VK_NEXT: next += 10; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    default: return false;
  }
  next = std::clamp(next, 0, count - 1);
  if (next != list.listSelection) {
    list.listSelection = next;
    KeepSelectionVisible(list);
    Notify(list.id, LBN_SELCHANGE);
  }
  return true;
}

void cWidgetForm::KeepSelectionVisible(sWidget& list) {
  const int rows = std::max(1, (list.rect.bottom - list.rect.top) / kListRowHeight);
  if (list.listSelection < list.listTop) list.listTop = list.listSelection;
  if (list.listSelection >= list.listTop + rows) list.listTop = list.listSelection - rows + 1;
  list.listTop = std::max(0, list.listTop);
}

bool cWidgetForm::KeyDown(int virtualKey, bool shift) {
  if (virtualKey >= 0 && virtualKey < 256) m_Held[virtualKey] = true;
  sWidget* focused = Focused();
  if (focused != nullptr && focused->kind == eWidgetKind::Edit && !focused->composition.empty()) {
    return true;  // the input method has the keys while it composes
  }
  switch (virtualKey) {
    case VK_TAB:
      MoveFocus(shift ? -1 : 1);
      return true;
    case VK_ESCAPE:
      Notify(kCancelCommandId, BN_CLICKED);
      return true;
    case VK_RETURN:
      if (focused != nullptr && focused->kind == eWidgetKind::List) {
        Notify(focused->id, LBN_DBLCLK);
        return true;
      }
      if (focused != nullptr && focused->kind == eWidgetKind::PushButton) {
        PushButton(*focused);
      } else {
        PressDefault();
      }
      return true;
    default:
      break;
  }
  if (focused == nullptr) return false;
  switch (focused->kind) {
    case eWidgetKind::Edit:
      return EditKey(*focused, virtualKey, shift);
    case eWidgetKind::List:
      return ListKey(*focused, virtualKey);
    case eWidgetKind::RadioButton:
      if (virtualKey == VK_UP || virtualKey == VK_LEFT) return MoveInRadioGroup(static_cast<std::size_t>(m_Focus), -1);
      if (virtualKey == VK_DOWN || virtualKey == VK_RIGHT) return MoveInRadioGroup(static_cast<std::size_t>(m_Focus), 1);
      [[fallthrough]];
    case eWidgetKind::PushButton:
    case eWidgetKind::CheckBox:
      if (virtualKey == VK_SPACE) {
        PushButton(*focused);
        return true;
      }
      return false;
    default:
      return false;
  }
}

void cWidgetForm::KeyUp(int virtualKey) {
  if (virtualKey >= 0 && virtualKey < 256) m_Held[virtualKey] = false;
}

bool cWidgetForm::IsKeyHeld(int virtualKey) const { return virtualKey >= 0 && virtualKey < 256 && m_Held[virtualKey]; }

void cWidgetForm::TextInput(std::string_view utf8) {
  sWidget* focused = Focused();
  if (focused == nullptr || focused->kind != eWidgetKind::Edit || !focused->enabled) return;
  focused->composition.clear();
  std::string cp932 = Utf8ToCp932(utf8);
  // Control characters never enter a one-line edit.
  std::erase_if(cp932, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
  if (!cp932.empty()) ReplaceSelection(*focused, cp932);
}

void cWidgetForm::SetComposition(std::string_view utf8) {
  sWidget* focused = Focused();
  if (focused == nullptr || focused->kind != eWidgetKind::Edit) return;
  focused->composition = Utf8ToCp932(utf8);
}

bool cWidgetForm::IsComposing() const {
  return m_Focus >= 0 && m_Widgets[m_Focus].kind == eWidgetKind::Edit && !m_Widgets[m_Focus].composition.empty();
}

const sWidget* cWidgetForm::HitTest(int x, int y) const {
  for (const sWidget& widget : m_Widgets) {
    if (IsFocusable(widget) && Inside(widget.rect, x, y)) return &widget;
  }
  return nullptr;
}

void cWidgetForm::Click(int x, int y, bool doubleClick) {
  const sWidget* hit = HitTest(x, y);
  if (hit == nullptr) return;
  sWidget& widget = m_Widgets[static_cast<std::size_t>(hit - m_Widgets.data())];
  SetFocus(widget.id);
  switch (widget.kind) {
    case eWidgetKind::List: {
      const int row = widget.listTop + (y - widget.rect.top) / kListRowHeight;
      if (row >= 0 && row < static_cast<int>(widget.items.size())) {
        if (row != widget.listSelection) {
          widget.listSelection = row;
          Notify(widget.id, LBN_SELCHANGE);
        }
        if (doubleClick) Notify(widget.id, LBN_DBLCLK);
      }
      break;
    }
    case eWidgetKind::Edit:
      break;
    default:
      PushButton(widget);
      break;
  }
}

}  // namespace plat
