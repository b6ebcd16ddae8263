// The font engine over FreeType, with fontconfig finding the IPA font files.

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <map>
#include <mutex>
#include <string>

#include "platform/FontEngine.h"
#include "platform/TextCodec.h"

namespace plat {

namespace {

// One lookup at a time, each family looked up once.
std::mutex& FontconfigMutex() {
  static std::mutex mutex;
  return mutex;
}

// Whether one of the family names of the match is the one asked for (a
// match may be any font at all when the family is not installed).
bool MatchHasFamily(FcPattern* match, const char* family) {
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
    if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0) return true;
  }
  return false;
}

// The file of the installed family, or "" when it is not installed.
std::string LookUpFontFile(const char* family) {
  std::lock_guard<std::mutex> lock(FontconfigMutex());
  static std::map<std::string, std::string> known;
  if (auto it = known.find(family); it != known.end()) return it->second;

  // A configuration of our own, destroyed after the lookup: fontconfig's
  // process-wide one keeps memory it never frees.
  std::string file;
  if (FcConfig* config = FcInitLoadConfigAndFonts()) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
      FcChar8* path = nullptr;
      if (MatchHasFamily(match, family) && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        file = reinterpret_cast<const char*>(path);
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
  }
  known[family] = file;
  return file;
}

// Whether the code shows ink at all, before the face is asked: spaces and
// control bytes never do.
char32_t InkedCodePoint(std::uint32_t code) {
  const char32_t c = Cp932CodePoint(code);
  if (c < 0x21 || c == 0x7F || c == 0x3000) return 0;
  return c;
}

// One FreeType library per face: faces then share no state and may be used by
// different threads.
class cFreeTypeFace final : public cFontFace {
 public:
  ~cFreeTypeFace() override {
    if (m_Face) FT_Done_Face(m_Face);
    if (m_Library) FT_Done_FreeType(m_Library);
  }

  bool Open(const std::string& file, int height, std::string* error) {
    m_Height = height;
    if (FT_Init_FreeType(&m_Library) != 0) {
      m_Library = nullptr;
      if (error) *error = "FreeType cannot start";
      return false;
    }
    if (FT_New_Face(m_Library, file.c_str(), 0, &m_Face) != 0) {
      m_Face = nullptr;
      if (error) *error = "FreeType cannot read " + file;
      return false;
    }
    if (!Scale(height)) {
      if (error) *error = file + " cannot be scaled to " + std::to_string(height) + " pixels";
      return false;
    }
    return true;
  }

  int Height() const override { return m_Height; }

  bool Render(std::uint32_t code, eGlyphStyle style, sGlyphImage& image) override {
    image.Clear();
    const char32_t c = InkedCodePoint(code);
    if (c == 0) return false;
    std::lock_guard<std::mutex> lock(m_Mutex);
    const bool mono = style == eGlyphStyle::Mono;
    const FT_UInt index = FT_Get_Char_Index(m_Face, c);
    if (index == 0 || FT_Load_Glyph(m_Face, index, mono ? FT_LOAD_TARGET_MONO : FT_LOAD_DEFAULT) != 0) return false;
    FT_GlyphSlot slot = m_Face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) {
      return false;
    }
    if (!CopyBitmap(slot->bitmap, style, image)) return false;
    image.left = slot->bitmap_left;
    image.top = m_Ascent - slot->bitmap_top;
    return true;
  }

  sTextExtent Measure(std::uint32_t code) override {
    sTextExtent extent{0, m_Height};
    const char32_t c = Cp932CodePoint(code);
    if (c == 0) return extent;
    std::lock_guard<std::mutex> lock(m_Mutex);
    const FT_UInt index = FT_Get_Char_Index(m_Face, c);
    if (index == 0 || FT_Load_Glyph(m_Face, index, FT_LOAD_DEFAULT) != 0) return extent;
    extent.width = static_cast<int>((m_Face->glyph->advance.x + 32) >> 6);
    return extent;
  }

 private:
  // The size at which the font's Windows ascent plus descent fills the
  // height, and the baseline at the scaled ascent.
  bool Scale(int height) {
    long ascent = m_Face->ascender;
    long descent = -m_Face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(m_Face, FT_SFNT_OS2))) {
      if (os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
      }
    }
    const long total = ascent + descent;
    if (total <= 0 || m_Face->units_per_EM == 0) return false;
    FT_Size_RequestRec request{};
    request.type = FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height = (static_cast<long>(height) * m_Face->units_per_EM * 64 + total / 2) / total;
    if (FT_Request_Size(m_Face, &request) != 0) return false;
    m_Ascent = static_cast<int>((static_cast<long>(height) * ascent + total / 2) / total);
    return true;
  }

  // The rendered bitmap as coverage: grey levels as they are (or thresholded
  // for Mono), a one-bit bitmap as 0 and 255.
  static bool CopyBitmap(const FT_Bitmap& bitmap, eGlyphStyle style, sGlyphImage& image) {
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    if (width <= 0 || height <= 0 || bitmap.buffer == nullptr) return false;
    const bool grey = bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
    if (!grey && bitmap.pixel_mode != FT_PIXEL_MODE_MONO) return false;
    const int levels = grey && bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;

    image.width = width;
    image.height = height;
    image.coverage.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const int pitch = bitmap.pitch;
    const unsigned char* firstRow = pitch >= 0 ? bitmap.buffer : bitmap.buffer - static_cast<long>(pitch) * (height - 1);
    bool inked = false;
    for (int y = 0; y < height; ++y) {
      const unsigned char* row = firstRow + static_cast<long>(pitch) * y;
      std::uint8_t* out = image.coverage.data() + static_cast<std::size_t>(y) * width;
      for (int x = 0; x < width; ++x) {
        int value = grey ? row[x] * 255 / levels : ((row[x >> 3] >> (7 - (x & 7))) & 1) * 255;
        if (style == eGlyphStyle::Mono) value = value >= 128 ? 255 : 0;
        out[x] = static_cast<std::uint8_t>(value);
        inked = inked || value != 0;
      }
    }
    if (!inked) image.Clear();
    return inked;
  }

  FT_Library m_Library = nullptr;
  FT_Face m_Face = nullptr;
  int m_Height = 0;
  int m_Ascent = 0;
  std::mutex m_Mutex;
};

class cFreeTypeFontEngine final : public cFontEngine {
 public:
  std::unique_ptr<cFontFace> OpenFace(std::string_view faceName, int height, std::string* error) override {
    if (height < 1) {
      if (error) *error = "font height " + std::to_string(height) + " is below 1";
      return nullptr;
    }
    const char* family = IpaFamilyName(IpaFontForFace(faceName));
    std::string file = LookUpFontFile(family);
    if (file.empty()) file = LookUpFontFile(IpaFamilyName(eIpaFont::Gothic));
    if (file.empty()) {
      if (error) *error = std::string("neither ") + family + " nor IPAGothic is installed";
      return nullptr;
    }
    auto face = std::make_unique<cFreeTypeFace>();
    if (!face->Open(file, height, error)) return nullptr;
    return face;
  }
};

}  // namespace

std::unique_ptr<cFontEngine> CreateFreeTypeFontEngine() { return std::make_unique<cFreeTypeFontEngine>(); }

}  // namespace plat
