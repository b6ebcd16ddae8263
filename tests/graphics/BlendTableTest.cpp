// The blend-table file and the palette sets of the 8-bit DirectDraw mode.

#include "graphics/BlendTable.h"

#include "DrawLayerFixture.h"

namespace gfxtest {
namespace {

class BlendTableTest : public cDrawLayerFixture {
 protected:
  void SetUp() override {
    cDrawLayerFixture::SetUp();
    g_BlendTable.fill(0xEE);
  }
  void TearDown() override {
    g_BlendTable.fill(0);
    cDrawLayerFixture::TearDown();
  }

  // Table bytes that tell their place: byte k is k % 251.
  static std::vector<std::uint8_t> TableBytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t k = 0; k < count; ++k) bytes[k] = static_cast<std::uint8_t>(k % 251);
    return bytes;
  }

  // The palette bitmap: colour-table entry i is (i, 255 - i, 9).
  void WritePaletteBitmap() {
    std::vector<plat::sPaletteEntry> colours(256);
    for (int i = 0; i < 256; ++i) colours[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 9, 0};
    std::vector<std::uint8_t> indices(16 * 24, 0);
    for (int i = 0; i < 256; ++i) indices[(8 + i / 16) * 16 + i % 16] = static_cast<std::uint8_t>(i);
    WriteBmp8("bmp/plt/Palette.bmp", 16, 24, indices, colours);
  }

  bool StartEightBit() { return Start(eRoad::DirectDraw, 8, /*windowMode=*/0); }
};

TEST_F(BlendTableTest, FilesOfEverySizeLoadTheirBytesAndNothingPastTheTable) {
  struct sCase {
    const char* what;
    std::size_t fileSize;
  };
  const sCase cases[] = {{"whole", 65536}, {"short", 1000}, {"empty", 0}, {"long", 65536 + 300}};
  ASSERT_TRUE(StartEightBit());
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.what);
    g_BlendTable.fill(0xEE);
    WriteFile("bmp/hbt/hbt07.dat", TableBytes(c.fileSize));
    ASSERT_TRUE(LoadBlendTable(g_BlendTable, "bmp\\hbt\\hbt07.dat"));
    const std::size_t loaded = std::min<std::size_t>(c.fileSize, 65536);
    for (std::size_t k = 0; k < 65536; k += 997) {
      EXPECT_EQ(g_BlendTable[k], k < loaded ? k % 251 : 0xEE) << k;
    }
    if (loaded > 0) {
      EXPECT_EQ(g_BlendTable[loaded - 1], (loaded - 1) % 251);
    }
    if (loaded < 65536) {
      EXPECT_EQ(g_BlendTable[loaded], 0xEE);
    }
  }
}

TEST_F(BlendTableTest, AMissingFileFailsAndKeepsTheTable) {
  ASSERT_TRUE(StartEightBit());
  EXPECT_FALSE(LoadBlendTable(g_BlendTable, "bmp\\hbt\\hbt99.dat"));
  EXPECT_EQ(g_BlendTable[0], 0xEE);
  EXPECT_EQ(g_BlendTable[65535], 0xEE);
}

TEST_F(BlendTableTest, Direct3DReadsNoTable) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  WriteFile("bmp/hbt/hbt00.dat", TableBytes(65536));
  EXPECT_TRUE(LoadBlendTable(g_BlendTable, "bmp\\hbt\\hbt00.dat"));
  EXPECT_TRUE(LoadBlendTable(g_BlendTable, "bmp\\hbt\\missing.dat"));
  EXPECT_EQ(g_BlendTable[1], 0xEE);
}

TEST_F(BlendTableTest, PaletteSetsBelowTwelveTurnTheRampsAndShowTheDisplay) {
  WritePaletteBitmap();
  WriteFile("bmp/hbt/hbt03.dat", TableBytes(65536));
  ASSERT_TRUE(StartEightBit());
  ASSERT_EQ(LoadHbtPalette(3), 1);
  EXPECT_EQ(g_BlendTable[300], 300 % 251);
  // Entry 16 takes entry 64: three blocks of 16; the last three blocks wrap.
  EXPECT_EQ(g_Palette[16].red, 64);
  EXPECT_EQ(g_Palette[159].red, 207);
  EXPECT_EQ(g_Palette[160].red, 16);
  EXPECT_EQ(g_Palette[207].red, 63);
  EXPECT_EQ(g_Palette[15].red, 15);   // outside the ramps: as loaded
  EXPECT_EQ(g_Palette[208].red, 208);
  EXPECT_EQ(g_Palette[16].flags, 1);  // the 8-bit flags of the load
  for (int i = 0; i < 256; ++i) EXPECT_EQ(g_PaletteWork[i].red, g_Palette[i].red) << i;
  EXPECT_EQ(g_DrawLayer.ddPalette[16].red, 64);
  EXPECT_EQ(g_DrawLayer.ddPalette[254].green, 1);
}

TEST_F(BlendTableTest, PaletteSetsFromTwelveRepeatOneRamp) {
  WritePaletteBitmap();
  WriteFile("bmp/hbt/hbt12.dat", TableBytes(65536));
  WriteFile("bmp/hbt/hbt15.dat", TableBytes(65536));
  ASSERT_TRUE(StartEightBit());
  ASSERT_EQ(LoadHbtPalette(12), 1);
  for (int i = 16; i < 208; ++i) EXPECT_EQ(g_Palette[i].red, 16 + (i - 16) % 16) << i;
  ASSERT_EQ(LoadHbtPalette(15), 1);  // from a fresh load: the ramp at 64
  for (int i = 16; i < 208; ++i) EXPECT_EQ(g_Palette[i].red, 64 + (i - 16) % 16) << i;
}

// A set number whose ramp would start past the palette cannot repeat it: the
// palette stays as loaded instead of reading beyond its end.
TEST_F(BlendTableTest, ASetWhoseRampLiesPastThePaletteLeavesItAsLoaded) {
  WritePaletteBitmap();
  WriteFile("bmp/hbt/hbt30.dat", TableBytes(65536));
  ASSERT_TRUE(StartEightBit());
  ASSERT_EQ(LoadHbtPalette(30), 1);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(g_Palette[i].red, i) << i;
}

TEST_F(BlendTableTest, AMissingTableShowsItsNameAndLeavesThePalette) {
  WritePaletteBitmap();
  ASSERT_TRUE(StartEightBit());
  g_Palette[16] = {1, 2, 3, 4};
  EXPECT_EQ(LoadHbtPalette(5), 0);
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].text, "bmp\\hbt\\hbt05.dat の読み込みに失敗！");
  EXPECT_EQ(g_Palette[16].red, 1);
  EXPECT_EQ(g_BlendTable[0], 0xEE);
}

TEST_F(BlendTableTest, AMissingPaletteBitmapFailsAfterTheTable) {
  WriteFile("bmp/hbt/hbt00.dat", TableBytes(65536));
  ASSERT_TRUE(StartEightBit());
  EXPECT_EQ(LoadHbtPalette(0), 0);
  EXPECT_TRUE(m_Boxes.empty());
  EXPECT_EQ(g_BlendTable[1], 1);
}

TEST_F(BlendTableTest, OtherModesHaveNoPaletteSets) {
  WritePaletteBitmap();
  for (eRoad road : {eRoad::Direct3D, eRoad::DirectDraw}) {
    SCOPED_TRACE(RoadName(road));
    ResetLayer();
    ASSERT_TRUE(Start(road));
    EXPECT_EQ(LoadHbtPalette(4), 1);  // no file needed
    EXPECT_TRUE(m_Boxes.empty());
    EXPECT_EQ(g_Palette[16].red, 0);
  }
}

}  // namespace
}  // namespace gfxtest
