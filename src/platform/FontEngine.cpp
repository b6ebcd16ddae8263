// The parts of the font engine that do not depend on FreeType: the choice of
// IPA font for a face name, and the box engine of the tests.

#include "platform/FontEngine.h"

#include <string>

#include "platform/TextCodec.h"

namespace plat {

namespace {

// The face name as code points, with full-width Latin letters and digits
// folded to ASCII and ASCII letters made lower case.
std::u32string FoldedFaceName(std::string_view faceName) {
  std::u32string folded;
  for (std::size_t i = 0; i < faceName.size(); ++i) {
    std::uint32_t code = static_cast<unsigned char>(faceName[i]);
    if (code == 0) break;
    if (IsCp932LeadByte(static_cast<unsigned char>(code)) && i + 1 < faceName.size() &&
        IsCp932TrailByte(static_cast<unsigned char>(faceName[i + 1]))) {
      code = code << 8 | static_cast<unsigned char>(faceName[++i]);
    }
    char32_t c = Cp932CodePoint(code);
    if (c >= U'\uFF01' && c <= U'\uFF5E') c -= 0xFEE0;
    if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
    folded += c;
  }
  return folded;
}

// Where the Gothic word of the name starts, or npos.
std::size_t FindGothicWord(const std::u32string& name) {
  for (const char32_t* word : {U"ゴシック", U"ｺﾞｼｯｸ", U"gothic"}) {
    const std::size_t at = name.find(word);
    if (at != std::u32string::npos) return at;
  }
  return std::u32string::npos;
}

bool IsProportionalGothic(const std::u32string& name) {
  if (name.find(U"メイリオ") != std::u32string::npos) return true;
  const std::size_t gothic = FindGothicWord(name);
  if (gothic == std::u32string::npos) return false;
  if (gothic > 0 && name[gothic - 1] == U'p') return true;
  return name.starts_with(U"hgp") || name.find(U"ui gothic") != std::u32string::npos;
}

// Codes that are no character at all: a lead byte alone, the bytes the code
// page leaves empty, and pairs whose bytes are not a lead and a trail byte.
bool IsCharacterCode(std::uint32_t code) {
  if (code > 0xFFFF) return false;
  if (code > 0xFF) {
    return IsCp932LeadByte(static_cast<unsigned char>(code >> 8)) &&
           IsCp932TrailByte(static_cast<unsigned char>(code));
  }
  const auto byte = static_cast<unsigned char>(code);
  return !IsCp932LeadByte(byte) && byte != 0x80 && byte != 0xA0 && byte < 0xFD;
}

class cBoxFace final : public cFontFace {
 public:
  explicit cBoxFace(int height) : m_Height(height) {}

  int Height() const override { return m_Height; }

  bool Render(std::uint32_t code, eGlyphStyle /*style*/, sGlyphImage& image) override {
    image.Clear();
    if (!cBoxFontEngine::ShowsInk(code)) return false;
    image.width = cBoxFontEngine::BoxWidth(code, m_Height);
    image.height = m_Height;
    if (image.width <= 0) {
      image.Clear();
      return false;
    }
    image.coverage.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 255);
    return true;
  }

  sTextExtent Measure(std::uint32_t code) override { return {cBoxFontEngine::BoxWidth(code, m_Height), m_Height}; }

 private:
  int m_Height;
};

}  // namespace

eIpaFont IpaFontForFace(std::string_view faceName) {
  const std::u32string name = FoldedFaceName(faceName);
  if (name.find(U"明朝") != std::u32string::npos || name.find(U"mincho") != std::u32string::npos) {
    return eIpaFont::Mincho;
  }
  return IsProportionalGothic(name) ? eIpaFont::PGothic : eIpaFont::Gothic;
}

const char* IpaFamilyName(eIpaFont font) {
  switch (font) {
    case eIpaFont::PGothic: return "IPAPGothic";
    case eIpaFont::Mincho: return "IPAMincho";
    case eIpaFont::Gothic: break;
  }
  return "IPAGothic";
}

std::unique_ptr<cFontFace> cBoxFontEngine::OpenFace(std::string_view /*faceName*/, int height, std::string* error) {
  if (height < 1) {
    if (error) *error = "font height " + std::to_string(height) + " is below 1";
    return nullptr;
  }
  return std::make_unique<cBoxFace>(height);
}

int cBoxFontEngine::BoxWidth(std::uint32_t code, int height) {
  if (!IsCharacterCode(code)) return 0;
  const int full = code > 0xFF ? height : height / 2;
  return full - static_cast<int>(code & 1);
}

bool cBoxFontEngine::ShowsInk(std::uint32_t code) {
  if (!IsCharacterCode(code)) return false;
  if (code == 0x20 || code == 0x8140 || code == 0x7F) return false;
  return code >= 0x20;
}

}  // namespace plat
