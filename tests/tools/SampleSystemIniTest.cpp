#include <gtest/gtest.h>

#include "SampleSystemIni.h"
#include "app/SystemIni.h"

namespace {

// The player reads the sample's System.ini to its end and starts in a window,
// whatever the system data's defaults say.
TEST(SampleSystemIniTest, ThePlayersReaderTakesItWhole) {
  const std::vector<cIniKey> keys = SystemIniKeys();
  cSystemIni settings;
  DefaultSystemIni(settings, keys);

  ASSERT_EQ(ParseSystemIni(samplegame::MakeSystemIni(), settings, keys), 1);
  EXPECT_EQ(settings.m_nDirect3D, 1);
  EXPECT_EQ(settings.m_nWindowMode, 1);
  EXPECT_EQ(settings.m_nShowFps, 1);
  EXPECT_EQ(settings.m_strFreeStage, "");
}

}  // namespace
