// The sample game's pictures: the drawing layer loads every row of its fixed
// surface table from them on both roads, takes its palette and transparent
// colour from the palette bitmap, and every cell the sample stages draw from
// holds a picture.

#include "SampleBitmaps.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "SampleGame.h"
#include "graphics/DrawLayerFixture.h"
#include "platform/BmpDecoder.h"
#include "platform/PathResolver.h"

namespace {

using gfxtest::eRoad;

// A sheet as the world reads it, and the size the cell layout needs.
struct sSheetSize {
  int row;
  int width;
  int height;
};

// Cells of 32 in columns of 15 (blocks, characters 20 across, items two
// frames wide, marks); the shot sheet's 30 rows of 16; the status bar; the
// accessory sheet with the small gauge strips below row 208.
constexpr sSheetSize kSheetSizes[] = {
    {SURF_BLOCK, 256, 480},        {SURF_CHARACTER1, 640, 480},  {SURF_SHOT, 128, 480},
    {SURF_ITEM, 512, 480},         {SURF_ITEM_MINI, 256, 240},   {SURF_MARK, 256, 480},
    {SURF_WINDOW, 640, 480},       {SURF_STATUS_WINDOW, 640, 20}, {SURF_TITLE, 640, 480},
    {SURF_ACCESSORY, 128, 224},    {SURF_SYMBOL, 26 * 16, 16},   {SURF_WORD, 320, 192},
    {SURF_WORLD_MAP_CHIP, 160, 64}, {SURF_BACKGROUND_FIRST, 640, 480},
};

class SampleBitmapsRoadTest : public gfxtest::cDrawLayerRoadTest {
 protected:
  // The start-up's order: the layer, then the palette and the transparent
  // colour from row 0's file.
  void StartWithSamplePictures() {
    std::string error;
    ASSERT_TRUE(samplegame::WriteSampleBitmaps(".", error)) << error;
    ASSERT_TRUE(Start(GetParam()));
    ASSERT_TRUE(DDLoadPaletteFromFile(g_Palette, g_SurfaceDef[SURF_PALETTE].szFile));
    ASSERT_EQ(DDSetTransmit(g_SurfaceDef[SURF_PALETTE].szFile), 1);
  }
  std::uint32_t TransparentPixel() const { return GetParam() == eRoad::Direct3D ? 0u : g_DrawLayer.dwColorKey; }
};

TEST_P(SampleBitmapsRoadTest, EveryRowOfTheTableLoads) {
  StartWithSamplePictures();
  std::vector<int> rows;
  for (int row = 1; row < kSurfaceTableRows; ++row) rows.push_back(row);
  ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows.data(), static_cast<int>(rows.size())));
  EXPECT_TRUE(m_Boxes.empty()) << m_Boxes.front().text;

  for (int row : rows) {
    const DDSURFACEDEF& def = g_SurfaceDef[static_cast<std::size_t>(row)];
    // Of the optional rows the sample draws only the backgrounds: one
    // character sheet is enough, its menus are text, and its world map has
    // no background picture.
    const bool background = row >= SURF_BACKGROUND_FIRST && row <= SURF_BACKGROUND_LAST;
    if (def.bOptional && !background) continue;
    EXPECT_TRUE(g_SurfaceData[static_cast<std::size_t>(row)].HasSurface()) << row << " " << def.szFile;
  }
  for (const sSheetSize& sheet : kSheetSizes) {
    SCOPED_TRACE(g_SurfaceDef[static_cast<std::size_t>(sheet.row)].szFile);
    EXPECT_EQ(g_SurfaceData[static_cast<std::size_t>(sheet.row)].nWidth, sheet.width);
    EXPECT_EQ(g_SurfaceData[static_cast<std::size_t>(sheet.row)].nHeight, sheet.height);
  }
}

TEST_P(SampleBitmapsRoadTest, PaletteAndTransparentColourComeFromThePaletteBitmap) {
  StartWithSamplePictures();
  const plat::DisplayPalette expected = samplegame::MakeGamePalette();
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(g_Palette[i].red, expected[i].red);
    EXPECT_EQ(g_Palette[i].green, expected[i].green);
    EXPECT_EQ(g_Palette[i].blue, expected[i].blue);
  }
  // Only palette number 0 is the transparent colour.
  for (int i = 1; i < 256; ++i)
    EXPECT_FALSE(expected[i].red == expected[0].red && expected[i].green == expected[0].green &&
                 expected[i].blue == expected[0].blue)
        << i;

  // On a keyed sheet the empty corner of the hero's cell is transparent and
  // its shirt is not.
  const int rows[] = {SURF_CHARACTER1};
  ASSERT_TRUE(DDCreateSurfaceTable(g_SurfaceData.data(), rows, 1));
  const DDSURFACEDATA& sheet = g_SurfaceData[SURF_CHARACTER1];
  EXPECT_EQ(PixelOf(sheet, 0, 32), TransparentPixel());
  EXPECT_NE(PixelOf(sheet, 15, 32 + 18), TransparentPixel());
}

INSTANTIATE_TEST_SUITE_P(Roads, SampleBitmapsRoadTest, ::testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         gfxtest::RoadParamName);

using SampleBitmapsTest = gfxtest::cDrawLayerFixture;

// True when the w x h block at (x, y) of the picture holds a pixel that is
// not the transparent colour.
bool HasPicture(const plat::sBmpImage& image, int x, int y, int w, int h) {
  if (x < 0 || y < 0 || x + w > image.width || y + h > image.height) return false;
  for (int py = y; py < y + h; ++py)
    for (int px = x; px < x + w; ++px)
      if (image.IndexAt(px, py) != 0) return true;
  return false;
}

plat::sBmpImage LoadRow(int row) {
  plat::sBmpImage image;
  std::string error;
  EXPECT_TRUE(plat::LoadBmpFile(g_SurfaceDef[static_cast<std::size_t>(row)].szFile, image, &error)) << error;
  return image;
}

TEST_F(SampleBitmapsTest, EveryCellTheStagesDrawFromHoldsAPicture) {
  std::string error;
  ASSERT_TRUE(samplegame::WriteSampleBitmaps(".", error)) << error;
  const plat::sBmpImage blocks = LoadRow(SURF_BLOCK);
  const plat::sBmpImage characters = LoadRow(SURF_CHARACTER1);
  const plat::sBmpImage items = LoadRow(SURF_ITEM);
  const plat::sBmpImage icons = LoadRow(SURF_ITEM_MINI);
  const plat::sBmpImage shots = LoadRow(SURF_SHOT);
  const cPalette common = samplegame::MakeCommonPalette();

  for (std::size_t i = 1; i < common.m_Blocks.size(); ++i) {
    const int a = common.m_Blocks[i].m_nGraphic;
    EXPECT_TRUE(HasPicture(blocks, a / 15 * 32, a % 15 * 32, 32, 32)) << "block " << i;
  }

  // Each character's walking cells (patterns 0 to 2) and their invincible
  // versions (4 columns on) are drawn, and no two characters share a cell.
  std::set<std::pair<int, int>> characterCells;
  std::set<int> shotGraphics;
  for (std::size_t i = 1; i < common.m_Charas.size(); ++i) {
    const cCharaData& chara = common.m_Charas[i];
    ASSERT_EQ(chara.m_nGraphicKind, GRAPHIC_CHARA);
    ASSERT_LT(chara.m_nGraphic, 15) << "the first sheet";
    for (int column : {0, 1, 2, 4, 5, 6}) {
      const int x = chara.m_nGraphicRow + column;
      EXPECT_TRUE(HasPicture(characters, x * 32, chara.m_nGraphic * 32, 32, 32)) << "character " << i << " " << x;
      EXPECT_TRUE(characterCells.insert({chara.m_nGraphic, x}).second) << "character " << i << " shares cell " << x;
    }
    for (const cFlow& flow : chara.m_Flows)
      for (const cCommand& command : flow.m_Commands)
        if (command.m_nSet == 0 && command.m_nType == FLOW_CMD_SHOT) shotGraphics.insert(command.m_Shot->m_nGraphic);
  }

  for (std::size_t i = 1; i < common.m_Items.size(); ++i) {
    const int a = common.m_Items[i].m_nGraphic;
    for (int frame = 0; frame < 2; ++frame)
      EXPECT_TRUE(HasPicture(items, a / 15 * 64 + frame * 32, a % 15 * 32, 32, 32)) << "item " << i;
    EXPECT_TRUE(HasPicture(icons, a / 15 * 32, a % 15 * 16, 16, 16)) << "item icon " << i;
  }

  ASSERT_FALSE(shotGraphics.empty());
  for (int g : shotGraphics)
    for (int pattern = 0; pattern < 2; ++pattern)
      EXPECT_TRUE(HasPicture(shots, g / 30 * 32 + pattern * 16, g % 30 * 16, 16, 16)) << "shot " << g;

  // The stages' background layers name pictures that exist.
  for (const samplegame::cSampleStage& stage : samplegame::MakeStages(common))
    for (const cBgLayer& layer : stage.m_Stage.m_BgLayers)
      if (!layer.m_bPlainColour) {
        EXPECT_TRUE(plat::FileExists(layer.m_strPicture)) << layer.m_strPicture;
      }
}

}  // namespace
