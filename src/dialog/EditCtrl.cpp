#include "dialog/EditCtrl.h"

#include <algorithm>

#include "core/StringUtil.h"
#include "dialog/Dlg.h"
#include "platform/TextCodec.h"
#include "platform/VirtualKeys.h"

namespace {

constexpr int kDefaultTotal = 4096;
constexpr int kDefaultLineLength = 1024;
constexpr int kDefaultLineCount = 32;
const std::string kLineBreak = "\r\n";

// Characters (double-byte counting) or bytes of a piece of text.
int Length(std::string_view text, bool doubleByte) {
  if (!doubleByte) return static_cast<int>(text.size());
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    const bool pair = plat::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    i += pair ? 2 : 1;
  }
  return count;
}

// The byte offset after `chars` characters (or bytes) of `text` from `from`.
std::size_t OffsetAfter(std::string_view text, std::size_t from, int chars, bool doubleByte) {
  std::size_t i = from;
  for (int n = 0; n < chars && i < text.size(); ++n) {
    const bool pair = doubleByte && plat::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    i += pair ? 2 : 1;
  }
  return i;
}

int CountLines(std::string_view text) {
  int lines = 1;
  for (std::size_t at = text.find(kLineBreak); at != std::string_view::npos; at = text.find(kLineBreak, at + 2)) {
    ++lines;
  }
  return lines;
}

// Breaks the lines that are too long, over at most `lineCount` lines from the
// first; the overflow of a broken line runs into the line after it.
void WrapLines(std::string& text, int& selStart, int& selEnd, int lineLength, int lineCount, bool doubleByte) {
  std::size_t lineStart = 0;
  for (int line = 0; line < lineCount && lineStart <= text.size(); ++line) {
    std::size_t lineEnd = text.find(kLineBreak, lineStart);
    if (lineEnd == std::string::npos) lineEnd = text.size();
    const std::string_view current(text.data() + lineStart, lineEnd - lineStart);
    if (Length(current, doubleByte) > lineLength) {
      const std::size_t cut = OffsetAfter(text, lineStart, lineLength, doubleByte);
      text.insert(cut, kLineBreak);
      if (selStart >= static_cast<int>(cut)) selStart += 2;
      if (selEnd >= static_cast<int>(cut)) selEnd += 2;
      const std::size_t nextBreak = text.find(kLineBreak, cut + 2);
      if (nextBreak != std::string::npos) {
        text.erase(nextBreak, 2);
        if (selStart > static_cast<int>(nextBreak)) selStart = std::max(static_cast<int>(nextBreak), selStart - 2);
        if (selEnd > static_cast<int>(nextBreak)) selEnd = std::max(static_cast<int>(nextBreak), selEnd - 2);
      }
      lineStart = cut + 2;
      continue;
    }
    if (lineEnd >= text.size()) break;
    lineStart = lineEnd + 2;
  }
}

// The first `lineCount` lines of the text.
std::string FirstLines(const std::string& text, int lineCount) {
  std::size_t at = 0;
  for (int line = 0; line < lineCount; ++line) {
    at = text.find(kLineBreak, at);
    if (at == std::string::npos) return text;
    if (line + 1 < lineCount) at += 2;
  }
  return text.substr(0, at);
}

// Backspace over a line break that would join a full line onto the one
// above: the length, from the last break before the caret (that break
// included), of the accepted text up to the caret.
bool JoinsFullLine(const std::string& accepted, int caret, int lineLength, bool doubleByte) {
  const std::size_t upTo = std::min<std::size_t>(static_cast<std::size_t>(std::max(caret, 0)), accepted.size());
  const std::string_view head(accepted.data(), upTo);
  const std::size_t lastBreak = head.rfind(kLineBreak);
  const std::string_view tail = lastBreak == std::string_view::npos ? head : head.substr(lastBreak);
  return Length(tail, doubleByte) >= lineLength;
}

}  // namespace

sEditSetup sEditSetup::Short(std::uint16_t id, std::string* text, int length, int doubleByte) {
  sEditSetup setup;
  setup.id = id;
  setup.text = text;
  setup.total = length + 1;
  setup.lineLength = doubleByte != 0 ? length : 0;
  setup.lineCount = 1;
  setup.doubleByte = doubleByte;
  return setup;
}

sEditCheck CheckEditText(std::string text, int selStart, int selEnd, const std::string& accepted, int acceptedSelStart,
                         int acceptedSelEnd, int lineLength, int lineCount, bool doubleByte, bool settingUp,
                         bool backspaceHeld) {
  sEditCheck result;
  auto restore = [&] {
    result.text = accepted;
    result.selStart = acceptedSelStart;
    result.selEnd = acceptedSelEnd;
    result.restored = true;
  };
  if (lineCount <= 0 && lineLength <= 0) {
    result.text = std::move(text);
    result.selStart = selStart;
    result.selEnd = selEnd;
    return result;
  }
  if (backspaceHeld && selStart == selEnd && text.size() + 2 == accepted.size() &&
      CountLines(text) < CountLines(accepted) && JoinsFullLine(accepted, selEnd, lineLength, doubleByte)) {
    restore();
    return result;
  }
  if (lineLength > 0) WrapLines(text, selStart, selEnd, lineLength, std::max(lineCount, 1), doubleByte);
  if (lineCount > 0 && CountLines(text) > lineCount) {
    if (!settingUp) {
      restore();
      return result;
    }
    text = FirstLines(text, lineCount);
  }
  const int size = static_cast<int>(text.size());
  if (selEnd > 0 && selEnd < size && text[selEnd] == '\n') ++selEnd;
  result.selStart = std::clamp(selStart, 0, size);
  result.selEnd = std::clamp(selEnd, 0, size);
  result.text = std::move(text);
  return result;
}

void cEditCtrl::Setup(cDlg* dialog, const sEditSetup& setup) {
  Bind(dialog, setup.id);
  m_pText = setup.text;
  m_nTotal = setup.total != 0 ? setup.total : kDefaultTotal;
  m_nLineLength = setup.lineLength != 0 ? setup.lineLength : kDefaultLineLength;
  m_nLineCount = setup.lineCount != 0 ? setup.lineCount : kDefaultLineCount;
  m_bDoubleByte = setup.doubleByte;
  std::copy(std::begin(setup.extra), std::end(setup.extra), std::begin(m_Extra));
  PutText(m_pText != nullptr ? *m_pText : std::string());
}

void cEditCtrl::PutText(const std::string& text) {
  if (m_pDlg != nullptr) m_pDlg->Form().SetText(m_nId, text);
  m_strAccepted = text;
  m_bSetup = 1;
  OnChange();
  m_bSetup = 0;
}

std::string cEditCtrl::ReadItemText() const {
  if (m_pDlg == nullptr) return {};
  const int buffer = m_bDoubleByte != 0 ? m_nTotal * 2 - 1 : m_nTotal;
  return CutAtCharBoundary(m_pDlg->Form().GetText(m_nId), static_cast<std::size_t>(std::max(buffer - 1, 0)));
}

void cEditCtrl::LoadValue() {
  if (m_pDlg == nullptr || m_pText == nullptr) return;
  PutText(*m_pText);
}

void cEditCtrl::StoreValue() {
  if (m_pText != nullptr) *m_pText = ReadItemText();
}

void cEditCtrl::OnChange() {
  if (m_bChanging || m_pDlg == nullptr) return;
  m_bChanging = true;
  plat::cWidgetForm& form = m_pDlg->Form();
  std::string text = ReadItemText();
  int selStart = 0;
  int selEnd = 0;
  form.GetSelection(m_nId, &selStart, &selEnd);
  const sEditCheck checked =
      CheckEditText(std::move(text), selStart, selEnd, m_strAccepted, m_nSelStart, m_nSelEnd, m_nLineLength,
                    m_nLineCount, m_bDoubleByte != 0, m_bSetup != 0, form.IsKeyHeld(plat::VK_BACK));
  form.SetText(m_nId, checked.text);
  if (m_bSetup == 0) form.SetSelection(m_nId, checked.selStart, checked.selEnd);
  m_strAccepted = checked.text;
  m_nSelStart = checked.selStart;
  m_nSelEnd = checked.selEnd;
  m_bChanging = false;
}
