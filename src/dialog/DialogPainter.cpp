#include "dialog/DialogPainter.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "dialog/Dlg.h"
#include "platform/FontEngine.h"
#include "platform/TextCodec.h"

namespace {

constexpr int kFontHeight = 12;
constexpr std::uint32_t kFace = 0xFFD4D0C8u;
constexpr std::uint32_t kLight = 0xFFFFFFFFu;
constexpr std::uint32_t kShadow = 0xFF808080u;
constexpr std::uint32_t kDark = 0xFF404040u;
constexpr std::uint32_t kText = 0xFF000000u;
constexpr std::uint32_t kGreyText = 0xFF808080u;
constexpr std::uint32_t kWindow = 0xFFFFFFFFu;
constexpr std::uint32_t kCaptionColour = 0xFF0A246Au;
constexpr std::uint32_t kCaptionText = 0xFFFFFFFFu;
constexpr std::uint32_t kHighlight = 0xFF0A246Au;
constexpr std::uint32_t kHighlightText = 0xFFFFFFFFu;
constexpr int kBoxSize = 12;

// The dialog font: one face for the whole process, drawn from the main thread.
plat::cFontFace& DialogFace() {
  static std::unique_ptr<plat::cFontEngine> engine;
  static std::unique_ptr<plat::cFontFace> face;
  static std::once_flag once;
  std::call_once(once, [] {
    std::string error;
    engine = plat::CreateFreeTypeFontEngine();
    if (engine) face = engine->OpenFace("ＭＳ Ｐゴシック", kFontHeight, &error);
    if (!face) {
      engine = std::make_unique<plat::cBoxFontEngine>();
      face = engine->OpenFace("", kFontHeight, &error);
    }
  });
  return *face;
}

// The characters of a CP932 text as codes (a pair as lead << 8 | trail).
template <class Visit>
void ForEachChar(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (plat::IsCp932LeadByte(lead) && i + 1 < text.size()) {
      visit(static_cast<std::uint32_t>(lead) << 8 | static_cast<unsigned char>(text[i + 1]), i, 2);
      i += 2;
    } else {
      visit(lead, i, 1);
      ++i;
    }
  }
}

class cPainter {
 public:
  explicit cPainter(plat::cPixelSurface& frame) : m_Frame(frame) {}

  void Fill(int left, int top, int right, int bottom, std::uint32_t colour) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_Frame.Width());
    bottom = std::min(bottom, m_Frame.Height());
    for (int y = top; y < bottom; ++y) {
      std::uint32_t* row = m_Frame.Pixels32() + static_cast<std::ptrdiff_t>(y) * m_Frame.Pitch();
      std::fill(row + left, row + std::max(left, right), colour);
    }
  }
  void Fill(const RECT& r, std::uint32_t colour) { Fill(r.left, r.top, r.right, r.bottom, colour); }

  // A rectangle's edge: light top-left and dark bottom-right (raised), or the
  // other way round (sunken).
  void Edge(const RECT& r, std::uint32_t topLeft, std::uint32_t bottomRight) {
    Fill(r.left, r.top, r.right, r.top + 1, topLeft);
    Fill(r.left, r.top, r.left + 1, r.bottom, topLeft);
    Fill(r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    Fill(r.right - 1, r.top, r.right, r.bottom, bottomRight);
  }

  int Text(int x, int y, std::string_view text, std::uint32_t colour, int clipRight = 1 << 30) {
    plat::cFontFace& face = DialogFace();
    ForEachChar(text, [&](std::uint32_t code, std::size_t, int) {
      const int advance = face.Measure(code).width;
      if (x + advance > clipRight) return;
      if (face.Render(code, plat::eGlyphStyle::Smooth, m_Glyph)) Blend(x, y, colour);
      x += advance;
    });
    return x;
  }

 private:
  void Blend(int originX, int originY, std::uint32_t colour) {
    for (int j = 0; j < m_Glyph.height; ++j) {
      const int y = originY + m_Glyph.top + j;
      if (y < 0 || y >= m_Frame.Height()) continue;
      for (int i = 0; i < m_Glyph.width; ++i) {
        const int x = originX + m_Glyph.left + i;
        if (x < 0 || x >= m_Frame.Width()) continue;
        const unsigned a = m_Glyph.coverage[static_cast<std::size_t>(j) * m_Glyph.width + i];
        if (a == 0) continue;
        std::uint32_t& pixel = m_Frame.Pixels32()[static_cast<std::ptrdiff_t>(y) * m_Frame.Pitch() + x];
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
          const unsigned under = (pixel >> shift) & 0xFF;
          const unsigned over = (colour >> shift) & 0xFF;
          out |= ((over * a + under * (255 - a)) / 255) << shift;
        }
        pixel = out;
      }
    }
  }

  plat::cPixelSurface& m_Frame;
  plat::sGlyphImage m_Glyph;
};

RECT Offset(const RECT& r, int x, int y) { return RECT{r.left + x, r.top + y, r.right + x, r.bottom + y}; }

int CentredTextY(const RECT& r) { return r.top + (r.bottom - r.top - kFontHeight) / 2; }

void PaintButton(cPainter& p, const RECT& r, const plat::sWidget& w, bool focused) {
  p.Fill(r, kFace);
  if (w.isDefault) p.Edge(r, kDark, kDark);
  const RECT inner = w.isDefault ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1} : r;
  p.Edge(inner, kLight, kDark);
  p.Edge(RECT{inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1}, kFace, kShadow);
  const int width = DialogTextWidth(w.text);
  p.Text(r.left + (r.right - r.left - width) / 2, CentredTextY(r), w.text, w.enabled ? kText : kGreyText);
  if (focused) p.Edge(RECT{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4}, kShadow, kShadow);
}

void PaintMark(cPainter& p, const RECT& r, const plat::sWidget& w, bool focused) {
  const int top = CentredTextY(r);
  const RECT box{r.left, top, r.left + kBoxSize, top + kBoxSize};
  p.Fill(box, kWindow);
  p.Edge(box, kShadow, kLight);
  if (w.checked != 0) {
    const bool radio = w.kind == plat::eWidgetKind::RadioButton;
    p.Fill(box.left + 3, box.top + 3, box.right - 3, box.bottom - 3, kText);
    if (radio) {
      p.Fill(box.left + 3, box.top + 3, box.left + 4, box.top + 4, kWindow);
      p.Fill(box.right - 4, box.top + 3, box.right - 3, box.top + 4, kWindow);
      p.Fill(box.left + 3, box.bottom - 4, box.left + 4, box.bottom - 3, kWindow);
      p.Fill(box.right - 4, box.bottom - 4, box.right - 3, box.bottom - 3, kWindow);
    }
  }
  const int textX = r.left + kBoxSize + 4;
  // Labels may run past their item: the font is a little wider than the one
  // the templates were laid out for.
  const int end = p.Text(textX, top, w.text, w.enabled ? kText : kGreyText);
  if (focused) p.Fill(textX, top + kFontHeight, end, top + kFontHeight + 1, kShadow);
}

void PaintEdit(cPainter& p, const RECT& r, const plat::sWidget& w, bool focused, bool showCaret) {
  p.Fill(r, kWindow);
  p.Edge(r, kShadow, kLight);
  const int selStart = std::min(w.selStart, w.selEnd);
  const int selEnd = std::max(w.selStart, w.selEnd);
  int x = r.left + 3;
  const int y = CentredTextY(r);
  int caretX = x;
  plat::cFontFace& face = DialogFace();
  // Text before the caret, the composition (underlined), then the rest.
  auto drawRange = [&](std::string_view text, std::size_t base) {
    ForEachChar(text, [&](std::uint32_t code, std::size_t at, int bytes) {
      const std::string_view piece = text.substr(at, static_cast<std::size_t>(bytes));
      const int advance = face.Measure(code).width;
      const int offset = static_cast<int>(base + at);
      const bool selected = focused && offset >= selStart && offset < selEnd;
      if (selected) p.Fill(x, y, x + advance, y + kFontHeight, kHighlight);
      p.Text(x, y, piece, selected ? kHighlightText : kText, r.right - 2);
      x += advance;
    });
  };
  const std::string_view text = w.text;
  const std::size_t caret = static_cast<std::size_t>(std::clamp(w.selEnd, 0, static_cast<int>(text.size())));
  drawRange(text.substr(0, caret), 0);
  caretX = x;
  if (!w.composition.empty()) {
    const int start = x;
    x = p.Text(x, y, w.composition, kText, r.right - 2);
    p.Fill(start, y + kFontHeight, x, y + kFontHeight + 1, kText);
    caretX = x;
  }
  drawRange(text.substr(caret), caret);
  if (focused && showCaret) p.Fill(caretX, y - 1, caretX + 1, y + kFontHeight + 1, kText);
}

void PaintList(cPainter& p, const RECT& r, const plat::sWidget& w, bool focused) {
  p.Fill(r, kWindow);
  p.Edge(r, kShadow, kLight);
  const int rows = std::max(1, (r.bottom - r.top - 2) / plat::kListRowHeight);
  for (int row = 0; row < rows; ++row) {
    const int index = w.listTop + row;
    if (index >= static_cast<int>(w.items.size())) break;
    const int top = r.top + 1 + row * plat::kListRowHeight;
    const bool selected = index == w.listSelection;
    if (selected) p.Fill(r.left + 1, top, r.right - 1, top + plat::kListRowHeight, focused ? kHighlight : kFace);
    p.Text(r.left + 4, top + 1, w.items[static_cast<std::size_t>(index)],
           selected && focused ? kHighlightText : kText, r.right - 2);
  }
}

void PaintWidget(cPainter& p, const plat::sWidget& w, int x, int y, bool focused, bool showCaret) {
  const RECT r = Offset(w.rect, x, y);
  switch (w.kind) {
    case plat::eWidgetKind::Static:
      p.Text(r.left, r.top, w.text, w.enabled ? kText : kGreyText);
      break;
    case plat::eWidgetKind::Picture:
      break;  // a picture item without an image shows nothing
    case plat::eWidgetKind::GroupBox: {
      const RECT frame{r.left, r.top + kFontHeight / 2, r.right, r.bottom};
      p.Edge(frame, kShadow, kShadow);
      p.Edge(RECT{frame.left + 1, frame.top + 1, frame.right + 1, frame.bottom + 1}, kLight, kLight);
      const int width = DialogTextWidth(w.text);
      p.Fill(r.left + 6, r.top, r.left + 10 + width, r.top + kFontHeight, kFace);
      p.Text(r.left + 8, r.top, w.text, kText);
      break;
    }
    case plat::eWidgetKind::PushButton:
      PaintButton(p, r, w, focused);
      break;
    case plat::eWidgetKind::RadioButton:
    case plat::eWidgetKind::CheckBox:
      PaintMark(p, r, w, focused);
      break;
    case plat::eWidgetKind::Edit:
      PaintEdit(p, r, w, focused, showCaret);
      break;
    case plat::eWidgetKind::List:
      PaintList(p, r, w, focused);
      break;
  }
}

}  // namespace

int DialogTextWidth(const std::string& textCp932) {
  plat::cFontFace& face = DialogFace();
  int width = 0;
  ForEachChar(textCp932, [&](std::uint32_t code, std::size_t, int) { width += face.Measure(code).width; });
  return width;
}

void PaintDialog(plat::cPixelSurface& frame, const sPaintedDialog& dialog) {
  if (dialog.form == nullptr || frame.Depth() != plat::ePixelDepth::Argb32) return;
  cPainter p(frame);
  const plat::cWidgetForm& form = *dialog.form;
  const int captionHeight = dialog.caption ? kCaptionHeight : 0;
  const RECT window{dialog.x - 2, dialog.y - 2, dialog.x + form.Width() + 2,
                    dialog.y + captionHeight + form.Height() + 2};
  p.Fill(window, kFace);
  p.Edge(window, kLight, kDark);
  if (dialog.caption) {
    p.Fill(dialog.x, dialog.y, dialog.x + form.Width(), dialog.y + captionHeight, kCaptionColour);
    p.Text(dialog.x + 4, dialog.y + (captionHeight - kFontHeight) / 2, form.Caption(), kCaptionText,
           dialog.x + form.Width());
  }
  const int clientY = dialog.y + captionHeight;
  for (const plat::sWidget& widget : form.Widgets()) {
    PaintWidget(p, widget, dialog.x, clientY, widget.id == form.FocusedId(), dialog.showCaret);
  }
}
