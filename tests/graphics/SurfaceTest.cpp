// Surface records, their containers, release and the lock guard.

#include <algorithm>

#include "DrawLayerFixture.h"
#include "graphics/SurfaceFill.h"

namespace gfxtest {
namespace {

using SurfaceRoadTest = cDrawLayerRoadTest;

// Every entry of the texture list is a live record that owns a texture.
void ExpectTextureListSound() {
  for (DDSURFACEDATA* sd : g_TextureList) {
    ASSERT_NE(sd, nullptr);
    ASSERT_TRUE(sd->lpDT);
    EXPECT_NE(sd->lpDT->lpSurface, nullptr);
  }
}

TEST_P(SurfaceRoadTest, InsertIndexBeforeTheFrontOrPastTheEnd) {
  ASSERT_TRUE(Start(GetParam()));
  DDSurfaceList surfaces;
  DDSurfaceDefList defs;
  for (int width : {10, 20, 30}) ASSERT_TRUE(DDAddSurfaceList(surfaces, defs, width, 4, 1, 1, DTMEMORYTYPE_SYSTEM, 0));

  ASSERT_TRUE(DDInsertSurfaceList(surfaces, defs, -5, 5, 4, 0, 1, DTMEMORYTYPE_SYSTEM, 0));
  ASSERT_TRUE(DDInsertSurfaceList(surfaces, defs, 7, 40, 4, 1, 1, DTMEMORYTYPE_SYSTEM, 0));
  ASSERT_TRUE(DDInsertSurfaceList(surfaces, defs, 2, 15, 4, 1, 1, DTMEMORYTYPE_SYSTEM, 0));

  std::vector<int> widths;
  for (const DDSURFACEDATA& sd : surfaces) {
    widths.push_back(sd.nWidth);
    EXPECT_TRUE(sd.HasSurface());
  }
  EXPECT_EQ(widths, (std::vector<int>{5, 10, 15, 20, 30, 40}));
  ASSERT_EQ(defs.size(), surfaces.size());
  EXPECT_EQ(defs.front().nKey, 0);  // the definition went in beside its surface
  EXPECT_EQ(defs.back().nKey, 1);

  // Erasing removes the surface and the definition at the same position.
  DDSURFACEDATA* first = &surfaces.front();
  EXPECT_EQ(DDEraseSurfaceList(surfaces, defs, first), 1);
  EXPECT_EQ(surfaces.size(), 5u);
  EXPECT_EQ(defs.size(), 5u);
  EXPECT_EQ(defs.front().nKey, 1);
  DDSURFACEDATA stranger;
  EXPECT_EQ(DDEraseSurfaceList(surfaces, defs, &stranger), 0);
  ExpectTextureListSound();
}

TEST_P(SurfaceRoadTest, AGrowingVectorKeepsTheTextureListOnItsRecords) {
  ASSERT_TRUE(Start(GetParam()));
  const std::size_t before = g_TextureList.size();
  {
    DDSurfaceVector surfaces;
    DDSurfaceDefVector defs;
    for (int i = 0; i < 40; ++i) {
      ASSERT_TRUE(DDAddSurfaceVector(surfaces, defs, 8 + i, 8, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0));
    }
    EXPECT_EQ(defs.size(), 40u);
    if (GetParam() == eRoad::Direct3D) {
      ASSERT_EQ(g_TextureList.size(), before + 40);
      for (DDSURFACEDATA& sd : surfaces) EXPECT_EQ(std::count(g_TextureList.begin(), g_TextureList.end(), &sd), 1);
    }
    ExpectTextureListSound();
    DDReleaseSurfaceVector(surfaces);
    for (DDSURFACEDATA& sd : surfaces) EXPECT_FALSE(sd.HasSurface());
    EXPECT_EQ(g_TextureList.size(), before);
    // The elements stay, ready to be created again.
    EXPECT_EQ(surfaces.size(), 40u);
    EXPECT_EQ(surfaces[39].nWidth, 47);
  }
  {
    // A record that dies leaves the list too.
    DDSURFACEDATA scoped;
    ASSERT_TRUE(DDCreateSurface(&scoped, 8, 8, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  }
  EXPECT_EQ(g_TextureList.size(), before);
}

TEST_P(SurfaceRoadTest, AReleasedSurfaceReadsAsNotCreatedAndKeepsItsDefinition) {
  ASSERT_TRUE(Start(GetParam()));
  DDSURFACEDATA sd;
  ASSERT_TRUE(DDCreateSurface(&sd, 33, 17, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  EXPECT_TRUE(sd.HasSurface());
  DDReleaseSurface(&sd);
  EXPECT_FALSE(sd.HasSurface());
  EXPECT_EQ(sd.Pixels(), nullptr);
  EXPECT_FALSE(sd.lpDT);
  EXPECT_FALSE(sd.lpDD);
  EXPECT_EQ(sd.nWidth, 33);
  EXPECT_EQ(sd.nHeight, 17);
  DDReleaseSurface(&sd);  // a second release does nothing
  DDReleaseSurface(nullptr);
  EXPECT_FALSE(SurfaceLock(&sd).IsLocked());
  // Filling a released surface draws nothing and does not fail.
  DDFillSurfacePal(&sd, 3);
  ASSERT_TRUE(DDCreateSurface(&sd, sd.nWidth, sd.nHeight, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  EXPECT_TRUE(sd.HasSurface());
}

TEST_P(SurfaceRoadTest, ACreationThatFailsReportsFalseAndKeepsTheElement) {
  ASSERT_TRUE(Start(GetParam()));
  DDSurfaceVector surfaces;
  DDSurfaceDefVector defs;
  EXPECT_FALSE(DDAddSurfaceVector(surfaces, defs, 0, 16, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0));
  EXPECT_FALSE(DDAddSurfaceVector(surfaces, defs, 70000, 16, 1, 1, DTMEMORYTYPE_SYSTEM, 0));
  EXPECT_EQ(surfaces.size(), 2u);
  EXPECT_FALSE(surfaces[0].HasSurface());
  ExpectTextureListSound();
}

TEST_P(SurfaceRoadTest, LockReachesThePixelsDrawingWould) {
  ASSERT_TRUE(Start(GetParam()));
  DDSURFACEDATA sd;
  ASSERT_TRUE(DDCreateSurface(&sd, 12, 6, 0, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  {
    SurfaceLock lock(&sd);
    ASSERT_TRUE(lock.IsLocked());
    EXPECT_EQ(lock.m_lpSD, &sd);
    EXPECT_EQ(lock.m_nBpp, 32);
    EXPECT_EQ(lock.m_nBytesPerPixel, 4);
    EXPECT_GE(lock.PitchBytes(), 12 * 4);
    lock.m_Lock.Row32(5)[11] = 0x12345678u;
  }
  EXPECT_EQ(PixelOf(sd, 11, 5), 0x12345678u);
}

INSTANTIATE_TEST_SUITE_P(Roads, SurfaceRoadTest, ::testing::Values(eRoad::Direct3D, eRoad::DirectDraw),
                         RoadParamName);

using SurfaceTest = cDrawLayerFixture;

TEST_F(SurfaceTest, Direct3DCopyRowsDrawThroughTheirPrimaryAndReleaseOnlyThemselves) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSURFACEDATA primary;
  DDSURFACEDATA copy;
  ASSERT_TRUE(DDCreateSurface(&primary, 16, 16, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  copy.lpPrimary = &primary;
  ASSERT_TRUE(DDCreateSurface(&copy, 16, 16, 1, 1, DTMEMORYTYPE_VIDEO_RT, 1, 0));
  EXPECT_FALSE(copy.lpDT->lpTexture);
  EXPECT_EQ(copy.Pixels(), primary.Pixels());
  EXPECT_EQ(std::count(g_TextureList.begin(), g_TextureList.end(), &copy), 0);

  {
    SurfaceLock lock(&copy);
    ASSERT_TRUE(lock.IsLocked());
    EXPECT_EQ(lock.m_lpSD, &primary);
  }
  DDSURFACEDATA* mapped = &copy;
  DDPrimarySurface(mapped);
  EXPECT_EQ(mapped, &primary);

  DDReleaseSurface(&copy);
  EXPECT_TRUE(primary.HasSurface());
  EXPECT_EQ(std::count(g_TextureList.begin(), g_TextureList.end(), &primary), 1);
}

TEST_F(SurfaceTest, DirectDrawKeyedSurfacesTakeTheKeyOfTheirCreation) {
  ASSERT_TRUE(Start(eRoad::DirectDraw));
  DDSetTransmit(0, 0, 255);
  DDSURFACEDATA keyed;
  DDSURFACEDATA plain;
  ASSERT_TRUE(DDCreateSurface(&keyed, 4, 4, 1, 0, 0, 0, 0));
  ASSERT_TRUE(DDCreateSurface(&plain, 4, 4, 0, 0, 0, 0, 0));
  EXPECT_EQ(keyed.lpDD->bHasColorKey, 1u);
  EXPECT_EQ(keyed.lpDD->dwColorKey, 0x000000FFu);
  EXPECT_EQ(plain.lpDD->bHasColorKey, 0u);
  // A new surface is filled with palette number 0.
  g_Palette[0] = {1, 2, 3, 0};
  DDSURFACEDATA filled;
  ASSERT_TRUE(DDCreateSurface(&filled, 4, 4, 0, 0, 0, 0, 0));
  EXPECT_EQ(PixelOf(filled, 3, 3), 0x010203u);
}

TEST_F(SurfaceTest, ATextureThatCannotBeMadeShowsTheStartUpsAdvice) {
  ASSERT_TRUE(Start(eRoad::Direct3D));
  DDSURFACEDATA sd;
  EXPECT_FALSE(DDCreateSurface(&sd, 70000, 8, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  EXPECT_TRUE(m_Boxes.empty());  // no advice stored: no box
  lpDTCon->szTextureFailMessage = "advice";
  EXPECT_FALSE(DDCreateSurface(&sd, 70000, 8, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  ASSERT_EQ(m_Boxes.size(), 1u);
  EXPECT_EQ(m_Boxes[0].text, "advice");
  EXPECT_FALSE(sd.HasSurface());
  EXPECT_EQ(std::count(g_TextureList.begin(), g_TextureList.end(), &sd), 0);
}

TEST_F(SurfaceTest, SurfaceErrorCodes) {
  for (int code : {4, 8, 9}) EXPECT_FALSE(DDSurfaceErrorMessage(code)) << code;
  for (int code : {0, 1, 3, 5, static_cast<int>(0x8007000Eu)}) EXPECT_TRUE(DDSurfaceErrorMessage(code)) << code;
}

TEST_F(SurfaceTest, BitmapLargerThanTheScreenIsAskedOnlyUnderDirectDraw) {
  WriteBmp24("bmp/Wide.bmp", 641, 2, DistinctPixels(641, 2));
  WriteBmp24("bmp/Fits.bmp", 640, 480, DistinctPixels(640, 480));
  ASSERT_TRUE(Start(eRoad::DirectDraw));
  std::uint32_t larger = 7;
  EXPECT_EQ(DDIsBitmapLarger(&larger, "bmp\\Wide.bmp", 640, 480), 1);
  EXPECT_EQ(larger, 1u);
  EXPECT_EQ(DDIsBitmapLarger(&larger, "bmp\\Fits.bmp", 640, 480), 1);
  EXPECT_EQ(larger, 0u);
  larger = 7;
  EXPECT_EQ(DDIsBitmapLarger(&larger, "bmp\\Missing.bmp", 640, 480), 0);
  EXPECT_EQ(larger, 0u);
  DDUnInit();

  ASSERT_TRUE(Start(eRoad::Direct3D));
  larger = 7;
  EXPECT_EQ(DDIsBitmapLarger(&larger, "bmp\\Wide.bmp", 640, 480), 1);
  EXPECT_EQ(larger, 7u);
}

}  // namespace
}  // namespace gfxtest
