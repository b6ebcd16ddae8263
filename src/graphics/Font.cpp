// Fonts: creation, the glyph caches, release and the restore after lost
// video memory. Drawing and measuring text is in FontDraw.cpp.

#include "graphics/Font.h"

#include <algorithm>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "graphics/DigitSurface.h"
#include "graphics/DrawContext.h"
#include "graphics/Palette.h"
#include "graphics/SurfaceFill.h"
#include "graphics/SurfaceTable.h"
#include "graphics/TextWalk.h"
#include "platform/FontEngine.h"

// Digits, the long vowel mark, punctuation, arrows, Latin letters, hiragana,
// katakana and a few signs: what game texts use most. (ト appears twice; the
// look-up finds the first, so the second cell is never used.)
const char* const kFullCacheDefaultSet =
    "０１２３４５６７８９ー～、。．！？「」（）・…※→↑↓←＋－＝○●×ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
    "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ"
    "まみむめもやゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょアイウエオ"
    "カキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンガギグゲゴザジズゼゾダヂヅデト"
    "バビブベボヴパピプペポァィゥェォッャュョ□■☆★％＆＜＞：";

namespace {

constexpr int kHalfCacheSide = 16;           // the half cache: 16 x 16 cells
constexpr int kFirstHalfCacheCode = 16;      // codes below it are never drawn
constexpr int kFullCacheMaxSide = 32;        // the full cache: at most 32 cells a side,
constexpr int kFullCacheDirect3DSheet = 1024;  // in a sheet of at most 1024 x 1024 under Direct3D,
constexpr int kFullCacheDirectDrawRows = 30;   // at most 30 rows under DirectDraw

// Every font made so far. Never destroyed: fonts that die at exit still
// leave it.
std::vector<Font*>& FontListStorage() {
  static auto* list = new std::vector<Font*>();
  return *list;
}

void Unlist(const Font* font) {
  auto& list = FontListStorage();
  list.erase(std::remove(list.begin(), list.end(), font), list.end());
}

plat::cFontEngine* g_InstalledEngine = nullptr;

// The text colour in the form the running back end draws with.
std::uint32_t DeviceColour(std::uint32_t colour) {
  const plat::sPaletteEntry& e = g_Palette[colour <= 255 ? colour : 0];
  if (lpDTCon) return 0xFF000000u | std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue;
  return std::uint32_t{e.red} | std::uint32_t{e.green} << 8 | std::uint32_t{e.blue} << 16;
}

// The next serial of the running back end's font counter.
std::uint32_t NextFontSerial() {
  if (lpDTCon) return lpDTCon->dwFontSerial++;
  if (lpDDCon) return lpDDCon->dwFontSerial++;
  return 0;
}

// A lost DirectDraw surface gets its memory back; its contents are the
// owner's to redraw.
void RestoreIfLost(DDSURFACEDATA& sd) {
  if (sd.lpDD && sd.lpDD->bSurfaceLost) sd.lpDD->bSurfaceLost = 0;
}

// A fixed surface by row number; null for a row outside the table.
DDSURFACEDATA* FixedSurface(int row) {
  if (row < 0 || row >= kSurfaceTableRows) return nullptr;
  return &g_SurfaceData[static_cast<std::size_t>(row)];
}

// The characters of the full cache's default set, as codes.
std::vector<std::uint32_t> DefaultSetCodes() {
  std::vector<std::uint32_t> codes;
  const std::string_view text(kFullCacheDefaultSet);
  for (std::size_t pos = 0; pos < text.size();) {
    const sTextChar c = TextCharAt(text, pos);
    codes.push_back(c.code);
    pos += c.length;
  }
  return codes;
}

std::uint32_t CodeOf(const FASTFONTGLYPH& glyph) {
  const auto first = static_cast<unsigned char>(glyph.text[0]);
  const auto second = static_cast<unsigned char>(glyph.text[1]);
  return second == 0 ? first : static_cast<std::uint32_t>(first) << 8 | second;
}

}  // namespace

Font::~Font() {
  Release();
  Unlist(this);
}

bool Font::Create(const std::string& face, int width, int height, int cellW, int cellH, std::uint32_t colour,
                  DDSURFACEDATA* lpBox, int frame, std::uint32_t frameColour, DDSURFACEDATA* lpSymbol,
                  int cacheMode) {
  m_strFace = face;
  m_nWidth = width;
  m_nHeight = height;
  m_nCellW = cellW;
  m_nCellH = cellH;
  m_dwColor = colour;
  if (g_DrawLayer.nBpp != 0) m_dwDeviceColor = DeviceColour(colour);
  m_lpBox = lpBox;
  m_nFrame = frame;
  m_dwFrameColor = frameColour;
  m_lpSymbol = lpSymbol;
  m_bSymbols = lpSymbol != nullptr ? 1 : 0;

  std::string error;
  m_lpFace = FontEngine().OpenFace(face, height, &error);
  if (!m_lpFace) {
    ReportPrintfLog("フォントを作成できません！ (%d) %s", height, error.c_str());
    PostCloseToMainWindow();
    return false;
  }
  if (!Work.HasSurface() &&
      !DDCreateSurface(&Work, BackBuffer.nWidth, BackBuffer.nHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0)) {
    LogPrintf("DDCreateSurface Font::Work");
    PostCloseToMainWindow();
    return false;
  }
  m_dwSerial = NextFontSerial();
  if (std::find(FontList().begin(), FontList().end(), this) == FontList().end()) FontListStorage().push_back(this);

  m_nCacheMode = cacheMode;
  if (cacheMode == 0) {
    ReleaseCaches();
    return true;
  }
  return MakeCaches();
}

bool Font::MakeCaches() {
  if (m_nCellW == 0 || m_nCellH == 0) {
    LogPrintf("※フォントクラスで文字間が未設定！");
    return true;
  }
  ReleaseCaches();
  m_lpFastFont_Half = std::make_unique<FastFont>(FastFont::kHalf, m_nCellW, m_nCellH, kHalfCacheSide, kHalfCacheSide);
  if (!m_lpFastFont_Half->HasSheet()) {
    LogPrintf("m_lpFastFont_Half Err");
    PostCloseToMainWindow();
    return false;
  }
  int columns = 0;
  int rows = 0;
  if (lpDTCon) {
    columns = std::min(kFullCacheMaxSide, kFullCacheDirect3DSheet / m_nCellW);
    rows = std::min(kFullCacheMaxSide, kFullCacheDirect3DSheet / m_nCellH);
  } else {
    columns = std::min(kFullCacheMaxSide, BackBuffer.nWidth / m_nCellW);
    rows = std::min(kFullCacheDirectDrawRows, BackBuffer.nHeight / m_nCellH);
  }
  m_lpFastFont_FullAdd = std::make_unique<FastFont>(FastFont::kFull, m_nCellW, m_nCellH, columns, rows);
  if (!m_lpFastFont_FullAdd->HasSheet()) {
    LogPrintf("m_lpFastFont_FullAdd Err");
    PostCloseToMainWindow();
    return false;
  }
  PrerenderHalf();
  PrerenderFull(false);
  return true;
}

void Font::ReleaseCaches() {
  m_lpFastFont_Half.reset();
  m_lpFastFont_FullAdd.reset();
}

void Font::Release() {
  m_lpFace.reset();
  ReleaseCaches();
  DDReleaseSurface(&Work);
}

void Font::Reset() {
  Release();
  Unlist(this);
  m_dwSerial = 0;
  m_strFace.clear();
  m_nWidth = m_nHeight = m_nCellW = m_nCellH = 0;
  m_dwColor = m_dwDeviceColor = 0;
  m_bCentre = 0;
  Work = DDSURFACEDATA{};
  m_lpBox = nullptr;
  m_nFrame = 0;
  m_dwFrameColor = 0;
  m_lpSymbol = nullptr;
  m_bSymbols = 0;
  m_nCacheMode = 0;
}

void Font::RenderCells(FastFont& cache, const std::vector<std::uint32_t>& codes) {
  DDFillSurfacePal(&cache.m_Sheet, 0);
  const int cells = std::min(static_cast<int>(codes.size()), cache.m_nCapacity);
  for (int i = 0; i < cells; ++i) {
    const int x = (i % cache.m_nColumns) * cache.m_nCellW;
    const int y = (i / cache.m_nColumns) * cache.m_nCellH;
    RenderGlyph(&cache.m_Sheet, x, y, codes[static_cast<std::size_t>(i)]);
  }
}

// Each code from 16 up is rendered as a character of its own into cell
// `code`, so a lead byte gets the cell of a byte standing alone (no ink),
// never half of a pair with the byte after it.
void Font::PrerenderHalf() {
  if (!m_lpFastFont_Half) return;
  std::vector<std::uint32_t> codes(kHalfCacheSide * kHalfCacheSide, 0);
  for (int code = kFirstHalfCacheCode; code < static_cast<int>(codes.size()); ++code) {
    codes[static_cast<std::size_t>(code)] = static_cast<std::uint32_t>(code);
  }
  RenderCells(*m_lpFastFont_Half, codes);
}

void Font::PrerenderFull(bool restore) {
  if (!m_lpFastFont_FullAdd) return;
  FastFont& cache = *m_lpFastFont_FullAdd;
  std::vector<std::uint32_t> codes;
  if (restore) {
    for (const FASTFONTGLYPH& glyph : cache.m_Glyphs) codes.push_back(CodeOf(glyph));
  } else {
    codes = DefaultSetCodes();
    const int first = std::min(static_cast<int>(codes.size()), cache.m_nCapacity);
    for (int i = 0; i < first; ++i) {
      const std::uint32_t code = codes[static_cast<std::size_t>(i)];
      const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code)};
      cache.AddGlyph(std::string_view(bytes, 2));
    }
  }
  RenderCells(cache, codes);
}

void Font::RenderAddedGlyph(FastFont& cache, std::uint32_t code) {
  const FASTFONTGLYPH& glyph = cache.m_Glyphs.back();
  if (lpDTCon) {
    RenderGlyph(&cache.m_Sheet, glyph.x, glyph.y, code, false);
    return;
  }
  // At 8 bits the text colour's display entry holds the unfaded colour while
  // the glyph is rendered, and the faded one again afterwards.
  const bool indexed = g_DrawLayer.nBpp == 8 && m_dwColor <= 255;
  if (indexed) DDSetPaletteEntries(static_cast<int>(m_dwColor), 1, &g_Palette[m_dwColor]);
  RenderGlyph(&cache.m_Sheet, glyph.x, glyph.y, code);
  if (indexed) DDSetPaletteEntries(static_cast<int>(m_dwColor), 1, &g_PaletteWork[m_dwColor]);
}

void Font::Restore() {
  if (lpDTCon) {
    for (FastFont* cache : {m_lpFastFont_Half.get(), m_lpFastFont_FullAdd.get()}) {
      if (!cache || !cache->m_Sheet.bLost) continue;
      if (cache->m_nKind == FastFont::kHalf) {
        PrerenderHalf();
      } else {
        PrerenderFull(true);
      }
      cache->m_Sheet.bLost = 0;
    }
    return;
  }
  RestoreIfLost(Work);
  for (FastFont* cache : {m_lpFastFont_Half.get(), m_lpFastFont_FullAdd.get()}) {
    if (!cache || !cache->m_Sheet.lpDD || !cache->m_Sheet.lpDD->lpSurface) continue;
    RestoreIfLost(cache->m_Sheet);
    if (cache->m_nKind == FastFont::kHalf) {
      PrerenderHalf();
    } else {
      PrerenderFull(true);
    }
  }
}

const std::vector<Font*>& FontList() { return FontListStorage(); }

bool CreateFonts(Font* fonts, const FONTDEF* defs, int count) {
  for (int i = 0; i < count; ++i) {
    const FONTDEF& def = defs[i];
    if (!fonts[i].Create(def.szFaceName, def.nWidth, def.nHeight, def.nCellWidth, def.nCellHeight, def.dwColor,
                         FixedSurface(def.nBoxSurface), def.nFrame, def.dwFrameColor, FixedSurface(def.nSymbolSurface),
                         def.nCacheMode)) {
      return false;
    }
  }
  return true;
}

void RestoreFonts() {
  for (Font* font : FontList()) font->Restore();
}

void FontSetEngine(plat::cFontEngine* engine) { g_InstalledEngine = engine; }

plat::cFontEngine& FontEngine() {
  if (g_InstalledEngine) return *g_InstalledEngine;
  static const std::unique_ptr<plat::cFontEngine> engine = plat::CreateFreeTypeFontEngine();
  return *engine;
}

void ResetFontsForTests() {
  for (Font& font : g_Font) font.Reset();
  for (DDSURFACEDATA& strip : g_DigitSD) {
    DDReleaseSurface(&strip);
    strip = DDSURFACEDATA{};
  }
  FontListStorage().clear();
  g_FontDef = MakeFontDefinitions();
}
