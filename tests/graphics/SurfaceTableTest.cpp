// The fixed surface table and loading bitmaps into it on both roads: mirrored
// sheets, copies, optional and required rows, empty work surfaces.

#include "DrawLayerFixture.h"
#include "graphics/BitmapLoad.h"

namespace gfxtest {
namespace {

TEST(SurfaceDefTest, RowsTheWorldUses) {
  const auto t = MakeFixedSurfaceTable();
  struct sRow {
    int row;
    const char* file;
    int key;
    std::uint32_t ddMemory, copy, optional;
    int mirrorW, width, height;
  };
  const sRow rows[] = {
      {0, "bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0, 0},
      {1, "bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0, 0},
      {2, "bmp\\Block.bmp", 1, 0, 0, 0, 0, 0, 0},
      {3, "bmp\\Block.bmp", 1, 1, 1, 0, 0, 0, 0},
      {4, "bmp\\Character1.bmp", 1, 0, 0, 0, 0, 0, 0},
      {5, "bmp\\Character1.bmp", 1, 0, 1, 0, 32, 0, 0},
      {18, "bmp\\Character8.bmp", 1, 0, 0, 1, 0, 0, 0},
      {19, "bmp\\Character8.bmp", 1, 0, 1, 1, 32, 0, 0},
      {20, "bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0, 0},
      {21, "bmp\\Shot.bmp", 1, 0, 1, 0, 16, 0, 0},
      {38, "bmp\\Shot.bmp", 1, 1, 1, 0, 0, 0, 0},
      {39, "bmp\\Shot.bmp", 1, 1, 1, 0, 16, 0, 0},
      {40, "bmp\\Item.bmp", 1, 0, 0, 0, 0, 0, 0},
      {41, "bmp\\Item.bmp", 1, 1, 1, 0, 0, 0, 0},
      {42, "bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0, 0},
      {43, "bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0, 0},
      {44, "bmp\\Mark.bmp", 1, 1, 1, 0, 0, 0, 0},
      {45, "bmp\\Window.bmp", 0, 0, 0, 0, 0, 0, 0},
      {46, "bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0, 0, 0},
      {47, "bmp\\Title.bmp", 0, 0, 0, 0, 0, 0, 0},
      {48, "bmp\\GameMode.bmp", 1, 0, 0, 1, 0, 0, 0},
      {49, "bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0, 0},
      {50, "bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0, 0},
      {51, "bmp\\Word.bmp", 1, 0, 0, 0, 0, 0, 0},
      {52, "bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0, 0},
      {53, "bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0, 0},
      {54, "bmp\\WorldBack.bmp", 0, 1, 0, 1, 0, 0, 0},
      {63, "E", 1, 1, 0, 0, 0, 256, 960},
      {64, "E", 1, 1, 0, 0, 0, 256, 960},
      {65, "E", 1, 1, 0, 0, 0, 640, 480},
      {66, "E", 0, 1, 0, 0, 0, 640, 480},
      {67, "E", 1, 0, 0, 0, 0, 640, 480},
      {68, "E", 1, 1, 1, 0, 0, 640, 480},
      {69, "E", 1, 0, 0, 0, 0, 1024, 1024},
      {70, "E", 1, 1, 0, 0, 0, 1024, 1024},
  };
  for (const sRow& r : rows) {
    SCOPED_TRACE(r.row);
    const DDSURFACEDEF& d = t[r.row];
    EXPECT_EQ(d.szFile, r.file);
    EXPECT_EQ(d.nKey, r.key);
    EXPECT_EQ(d.dwDDMemory, r.ddMemory);
    EXPECT_EQ(d.bCopy, r.copy);
    EXPECT_EQ(d.bOptional, r.optional);
    EXPECT_EQ(d.nMirrorW, r.mirrorW);
    EXPECT_EQ(d.nWidth, r.width);
    EXPECT_EQ(d.nHeight, r.height);
  }
  EXPECT_EQ(t[69].dtMemoryType, DTMEMORYTYPE_VIDEO_NORT);
  EXPECT_EQ(t[70].dtMemoryType, DTMEMORYTYPE_SYSTEM);
  for (int row = 0; row < 69; ++row) EXPECT_EQ(t[row].dtMemoryType, DTMEMORYTYPE_VIDEO_RT) << row;

  // The eight backgrounds are optional keyed placeholders.
  for (int row = 55; row <= 62; ++row) {
    EXPECT_EQ(t[row].szFile, "背景その" + std::to_string(row - 54) + ".bmp");
    EXPECT_EQ(t[row].bOptional, 1u);
    EXPECT_EQ(t[row].nKey, 1);
  }
  // Row r + 18 is the system-memory copy of sheet row r, mirrored as r is.
  for (int row = 4; row <= 21; ++row) {
    SCOPED_TRACE(row);
    const DDSURFACEDEF& copy = t[row + 18];
    EXPECT_EQ(copy.szFile, t[row].szFile);
    EXPECT_EQ(copy.dwDDMemory, 1u);
    EXPECT_EQ(copy.bCopy, 1u);
    EXPECT_EQ(copy.nMirrorW, t[row].nMirrorW);
    EXPECT_EQ(copy.bOptional, row >= 6 && row <= 19 ? 1u : 0u);
    EXPECT_EQ(SurfaceCopySourceRow(row + 18), row % 2 == 0 ? row : row - 1);
  }
  // Every mirrored row is a copy row, and no row asks for a palette-index map.
  for (int row = 0; row < kSurfaceTableRows; ++row) {
    if (t[row].nMirrorW || t[row].nMirrorH) {
      EXPECT_EQ(t[row].bCopy, 1u) << row;
    }
    EXPECT_EQ(t[row].bPalMap, 0u) << row;
    EXPECT_EQ(t[row].bCopy != 0, SurfaceCopySourceRow(row) >= 0) << row;
  }
  EXPECT_EQ(SurfaceCopySourceRow(3), 2);
  EXPECT_EQ(SurfaceCopySourceRow(21), 20);
  EXPECT_EQ(SurfaceCopySourceRow(41), 40);
  EXPECT_EQ(SurfaceCopySourceRow(44), 43);
  EXPECT_EQ(SurfaceCopySourceRow(68), 67);
  EXPECT_EQ(SurfaceCopySourceRow(4), -1);
}

using SurfaceTableRoadTest = cDrawLayerRoadTest;

constexpr int kSheetW = 100;  // three whole cells of 32 and a partial one
constexpr int kSheetH = 3;

TEST_P(SurfaceTableRoadTest, CharacterSheetsLoadWithTheirCopiesFromAnyLetterCase) {
  const auto sheet = DistinctPixels(kSheetW, kSheetH);
  WriteBmp24("bmp/CHARACTER1.BMP", kSheetW, kSheetH, sheet);
  ASSERT_TRUE(Start(GetParam()));
  g_Palette[0] = {9, 9, 9, 0};
  const int rows[] = {4, 5, 22, 23};
  ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows, 4));
  EXPECT_TRUE(m_Boxes.empty());

  for (int row : rows) {
    SCOPED_TRACE(row);
    EXPECT_TRUE(g_SurfaceData[row].HasSurface());
    EXPECT_EQ(g_SurfaceData[row].nWidth, kSheetW);
    EXPECT_EQ(g_SurfaceData[row].nHeight, kSheetH);
  }
  const DDSURFACEDATA& plain = g_SurfaceData[4];
  const DDSURFACEDATA& mirrored = g_SurfaceData[5];
  // The sheet itself is never turned over.
  for (int x : {0, 31, 32, 99}) EXPECT_EQ(PixelOf(plain, x, 1) & 0xFFFFFF, sheet[kSheetW + x]) << x;

  if (GetParam() == eRoad::Direct3D) {
    // Copy rows own no texture: they draw through their primary, and the
    // mirrored one mirrors only what is taken from it.
    EXPECT_FALSE(mirrored.lpDT->lpTexture);
    EXPECT_EQ(mirrored.Pixels(), plain.Pixels());
    EXPECT_EQ(mirrored.nMirrorW, 32);
    EXPECT_FALSE(g_SurfaceData[22].lpDT->lpTexture);
    EXPECT_EQ(PixelOf(plain, 0, 0), 0xFF000000u | sheet[0]);
  } else {
    // Each cell turned over in place; the partial last cell keeps the fill
    // of a new surface (palette number 0).
    EXPECT_EQ(PixelOf(mirrored, 0, 1), sheet[kSheetW + 31]);
    EXPECT_EQ(PixelOf(mirrored, 31, 1), sheet[kSheetW + 0]);
    EXPECT_EQ(PixelOf(mirrored, 32, 2), sheet[2 * kSheetW + 63]);
    EXPECT_EQ(PixelOf(mirrored, 95, 0), sheet[64]);
    for (int x = 96; x < kSheetW; ++x) EXPECT_EQ(PixelOf(mirrored, x, 0), 0x090909u) << x;
    // The system-memory copies are sheets of their own.
    EXPECT_NE(g_SurfaceData[22].Pixels(), plain.Pixels());
    EXPECT_EQ(g_SurfaceData[22].dwDDMemory, 1u);
    EXPECT_EQ(PixelOf(g_SurfaceData[23], 0, 1), sheet[kSheetW + 31]);
  }
}

// Only "E" names an empty surface: a row whose file name was left empty is a
// bitmap that cannot be loaded, not a surface of the row's size, so a required
// one reports the failed load rather than running out of memory.
TEST_P(SurfaceTableRoadTest, AnEmptyFileNameIsABitmapThatCannotBeLoaded) {
  ASSERT_TRUE(Start(GetParam()));
  g_SurfaceDef[55].szFile = "";
  const int optionalRow[] = {55};
  EXPECT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), optionalRow, 1));
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_FALSE(g_SurfaceData[55].HasSurface());

  g_SurfaceDef[1].szFile = "";
  g_SurfaceDef[1].nWidth = 8;
  g_SurfaceDef[1].nHeight = 8;
  const int requiredRow[] = {1};
  EXPECT_FALSE(DDCreateSurfaceTable(g_SurfaceData.data(), requiredRow, 1));
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].text, " の読み込みに失敗！");
  EXPECT_FALSE(g_SurfaceData[1].HasSurface());
}

TEST_P(SurfaceTableRoadTest, MissingOptionalRowsAreSkippedAndMissingRequiredOnesStopTheLoad) {
  ASSERT_TRUE(Start(GetParam()));
  const int optionalRows[] = {6, 7, 24, 25, 48, 55};
  EXPECT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), optionalRows, 6));
  EXPECT_TRUE(m_Boxes.empty());
  for (int row : optionalRows) EXPECT_FALSE(g_SurfaceData[row].HasSurface()) << row;

  WriteFile("bmp/Debug.bmp", {'B', 'M', 1, 2, 3});  // damaged: refused like a missing file
  const int requiredRows[] = {63, 1, 2};
  EXPECT_FALSE(DDCreateSurfaceTable(g_SurfaceData.data(), requiredRows, 3));
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].text, "bmp\\Debug.bmp の読み込みに失敗！");
  EXPECT_EQ(m_Boxes[0].caption, "エラー");
  EXPECT_TRUE(g_SurfaceData[63].HasSurface());  // rows before the failure stay
  EXPECT_FALSE(g_SurfaceData[2].lpDT || g_SurfaceData[2].lpDD);  // rows after it are not touched
}

TEST_P(SurfaceTableRoadTest, EmptyWorkRows) {
  ASSERT_TRUE(Start(GetParam()));
  const int rows[] = {63, 64, 65, 66, 67, 68, 69, 70};
  ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows, 8));
  for (int row : rows) {
    SCOPED_TRACE(row);
    EXPECT_TRUE(g_SurfaceData[row].HasSurface());
    EXPECT_EQ(g_SurfaceData[row].nWidth, g_SurfaceDef[row].nWidth);
    EXPECT_EQ(g_SurfaceData[row].nHeight, g_SurfaceDef[row].nHeight);
  }
  if (GetParam() == eRoad::Direct3D) {
    EXPECT_FALSE(g_SurfaceData[68].lpDT->lpTexture);
    EXPECT_EQ(g_SurfaceData[69].lpDT->dtMemoryType, DTMEMORYTYPE_VIDEO_RT);  // "not a render target" is made one
    EXPECT_EQ(g_SurfaceData[69].lpDT->bRenderTarget, 1u);
    EXPECT_EQ(g_SurfaceData[70].lpDT->bRenderTarget, 0u);
  } else {
    EXPECT_NE(g_SurfaceData[68].Pixels(), g_SurfaceData[67].Pixels());
    EXPECT_EQ(g_SurfaceData[70].dwDDMemory, 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, SurfaceTableRoadTest, ::testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         RoadParamName);

using BitmapLoadTest = cDrawLayerFixture;

TEST_F(BitmapLoadTest, Direct3DTexturesKeyOutTheTransparentColourWhateverTheKeyArgument) {
  WriteBmp24("bmp/Window.bmp", 3, 1, {0xFF00FF, 0x123456, 0xFE00FF});
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSetTransmit(255, 0, 255);
  const int rows[] = {45};  // an unkeyed row
  ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows, 1));
  const DDSURFACEDATA& window = g_SurfaceData[45];
  EXPECT_EQ(window.szName, "OffScreenFromFile");
  EXPECT_EQ(window.lpDT->bColorKey, 0u);
  EXPECT_EQ(PixelOf(window, 0, 0), 0u);
  EXPECT_EQ(PixelOf(window, 1, 0), 0xFF123456u);
  EXPECT_EQ(PixelOf(window, 2, 0), 0xFFFE00FFu);
}

TEST_F(BitmapLoadTest, DirectDrawEightBitSurfacesTakeTheIndicesOfTheFile) {
  std::vector<plat::sPaletteEntry> colours(256);
  for (int i = 0; i < 256; ++i) colours[i] = {static_cast<std::uint8_t>(i), 0, 0, 0};
  const std::vector<std::uint8_t> indices = {10, 20, 30, 40, 50, 60};
  WriteBmp8("bmp/Item.bmp", 3, 2, indices, colours);
  WriteBmp24("bmp/Mark.bmp", 2, 1, {0x000000, 0xFFFF00});
  ASSERT_TRUE(Start(eRoad::DirectDraw, 8, 0));
  const int rows[] = {40, 43};
  ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows, 2));
  EXPECT_EQ(PixelOf(g_SurfaceData[40], 0, 0), 10u);
  EXPECT_EQ(PixelOf(g_SurfaceData[40], 2, 1), 60u);
  // A deep bitmap takes the nearest colours of the display palette.
  EXPECT_EQ(PixelOf(g_SurfaceData[43], 1, 0), 255u);  // (255, 255, 0) in the fresh palette
}

TEST_F(BitmapLoadTest, MirrorCellsOnASheetThatIsNotACopy) {
  WriteBmp24("bmp/Sheet.bmp", 8, 1, DistinctPixels(8, 1));
  const auto sheet = DistinctPixels(8, 1);
  for (eRoad road : {eRoad::Direct3D, eRoad::DirectDraw}) {
    SCOPED_TRACE(RoadName(road));
    ASSERT_TRUE(Start(road));
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "bmp\\Sheet.bmp", 1, 32, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0, 4, 0, 0), 0);
    EXPECT_EQ(PixelOf(sd, 0, 0) & 0xFFFFFF, sheet[3]);
    EXPECT_EQ(PixelOf(sd, 3, 0) & 0xFFFFFF, sheet[0]);
    EXPECT_EQ(PixelOf(sd, 4, 0) & 0xFFFFFF, sheet[7]);
    DDReleaseSurface(&sd);
    DDUnInit();
  }
}

// The surfaces of one stage start share each file's picture (or its absence);
// the next start reads the file again, so an author's change on disk shows there.
TEST_P(SurfaceTableRoadTest, AFileIsReadOnceWhileTheOutermostReadOnceIsOpen) {
  WriteBmp24("bmp/Sheet.bmp", 2, 1, {0x112233, 0x445566});
  ASSERT_TRUE(Start(GetParam()));
  auto load = [](DDSURFACEDATA& sd) {
    return DDCreateSurfaceFromFile(&sd, "bmp\\Sheet.bmp", 0, 32, 0, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0);
  };
  auto loadLate = [](DDSURFACEDATA& sd) {
    return DDCreateSurfaceFromFile(&sd, "bmp\\Late.bmp", 0, 32, 0, DTMEMORYTYPE_SYSTEM, 0, 0, 0, 0, 0);
  };
  DDSURFACEDATA first, second, third, late;
  {
    const cBitmapReadOnce outer;
    ASSERT_EQ(load(first), 0);
    EXPECT_EQ(loadLate(late), DDERR_CODE_LOADIMAGE);
    WriteBmp24("bmp/Sheet.bmp", 2, 1, {0x778899, 0xAABBCC});
    WriteBmp24("bmp/Late.bmp", 1, 1, {0x010203});
    EXPECT_EQ(loadLate(late), DDERR_CODE_LOADIMAGE);  // missing it was, for this start
    {
      const cBitmapReadOnce inner;  // adds nothing, and its end drops nothing
    }
    ASSERT_EQ(load(second), 0);
  }
  ASSERT_EQ(load(third), 0);
  EXPECT_EQ(loadLate(late), 0);
  EXPECT_EQ(PixelOf(first, 1, 0) & 0xFFFFFF, 0x445566u);
  EXPECT_EQ(PixelOf(second, 1, 0) & 0xFFFFFF, 0x445566u);
  EXPECT_EQ(PixelOf(third, 1, 0) & 0xFFFFFF, 0xAABBCCu);
  EXPECT_NE(first.Pixels(), second.Pixels());  // shared picture, surfaces of their own
}

// Bitmap surfaces come from unzeroed memory: what the heap held before must
// not show, neither in a texture's padding up to a power of two nor in a
// DirectDraw sheet whose last mirror cell is partial.
TEST_P(SurfaceTableRoadTest, NothingOfReusedMemoryShowsInABitmapSurface) {
  WriteBmp24("bmp/Sheet.bmp", 5, 3, DistinctPixels(5, 3));
  ASSERT_TRUE(Start(GetParam()));
  g_Palette[0] = {9, 9, 9, 0};
  if (lpDTCon) lpDTCon->bTexturePow2 = 1;  // a device that pads textures
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    {
      // Leaves surface-sized blocks of non-zero bytes for the heap to hand out again.
      // (the texture's 8 x 4 and the sheet's 5 x 3).
      plat::cPixelSurface dirty[8];
      for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(i < 4 ? dirty[i].Create(8, 4, plat::ePixelDepth::Argb32)
                          : dirty[i].Create(5, 3, plat::ePixelDepth::Argb32));
        std::fill(dirty[i].Pixels32(), dirty[i].Pixels32() + dirty[i].Width() * dirty[i].Height(), 0xABABABABu);
      }
    }
    DDSURFACEDATA sd;
    ASSERT_EQ(DDCreateSurfaceFromFile(&sd, "bmp\\Sheet.bmp", 0, 32, 0, DTMEMORYTYPE_SYSTEM, 0, 0, 2, 0, 0), 0);
    const plat::cPixelSurface* pixels = sd.Pixels();
    ASSERT_NE(pixels, nullptr);
    ASSERT_EQ(pixels->Width(), GetParam() == eRoad::Direct3D ? 8 : 5);
    for (int y = 0; y < pixels->Height(); ++y) {
      for (int x = 0; x < pixels->Width(); ++x) {
        const std::uint32_t p = pixels->GetPixel(x, y);
        if (GetParam() == eRoad::Direct3D && (x >= 5 || y >= 3)) {
          EXPECT_EQ(p, 0u) << x << "," << y;  // padding: transparent black
        } else if (GetParam() == eRoad::DirectDraw && x == 4) {
          EXPECT_EQ(p, 0x090909u) << y;  // the partial cell keeps the fill
        } else {
          EXPECT_NE(p & 0xFFFFFF, 0xABABABu) << x << "," << y;
        }
      }
    }
    DDReleaseSurface(&sd);
  }
}

}  // namespace
}  // namespace gfxtest
