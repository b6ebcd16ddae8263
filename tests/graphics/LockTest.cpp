#include "graphics/Lock.h"

#include <gtest/gtest.h>

#include "DrawLayerTestSupport.h"

namespace {

using drawtest::cTestLayer;
using drawtest::eRoad;

TEST(DDLockTest, DirectDrawHandsOutTheWholeSurface) {
  cTestLayer layer(eRoad::DirectDraw);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDATA sd;
  ASSERT_TRUE(DDCreateSurface(&sd, 16, 8, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0));
  DDSURFACEDESC2 desc;
  void* bits = nullptr;
  ASSERT_TRUE(DDLock(&sd, &desc, &bits, 32));
  EXPECT_EQ(desc.dwSize, 124u);
  EXPECT_EQ(bits, static_cast<void*>(sd.Pixels()->Pixels32()));
  EXPECT_EQ(desc.lPitch, 16 * 4);
  EXPECT_EQ(desc.dwWidth, 16);
  EXPECT_EQ(desc.dwHeight, 8);

  // Another depth gives no pointer; a surface that was never made no lock.
  void* none = nullptr;
  EXPECT_TRUE(DDLock(&sd, &desc, &none, 12));
  EXPECT_EQ(none, nullptr);
  DDSURFACEDATA notCreated;
  EXPECT_FALSE(DDLock(&notCreated, &desc, &none, 32));
}

TEST(DDLockTest, Direct3DHasNoSuchLock) {
  cTestLayer layer(eRoad::Direct3D);
  ASSERT_TRUE(layer.Started());
  DDSURFACEDESC2 desc;
  void* bits = nullptr;
  EXPECT_TRUE(DDLock(&WorkSD, &desc, &bits, 32));
  EXPECT_EQ(bits, nullptr);
}

}  // namespace
