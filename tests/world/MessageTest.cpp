// Message windows: the '#' escapes, the countdown, anchoring and the clamp
// into the view.

#include <gtest/gtest.h>

#include <string>

#include "WorldTestSupport.h"
#include "world/Message.h"

namespace {

using worldtest::cWorldFixture;

int32_t Vars(char kind, int number) {
  if (kind == 'C' && number == 5) return 42;
  if (kind == 'S' && number == 3) return 7;
  if (kind == 'S' && number == 4) return -7;
  if (kind == 'C' && number == 6) return -2147483647 - 1;
  return 0;
}

struct sEscapeCase {
  const char* text;
  const char* expanded;
};

TEST(MessageEscapes, ExpandAsTheTableSays) {
  const sEscapeCase cases[] = {
      {"#C5.", "42"},
      {"#C5_4.", "  42"},
      {"#C5_4Z.", "0042"},
      {"#S3_3P.", "+  7"},
      {"#S4_3.", "-  7"},
      {"#s3_p.", "+7"},
      {"#5C.", "42"},             // the kind may stand among the digits
      {"a#C5b", "a42b"},          // any other byte ends the escape and stays
      {"#C5#C5", "4242"},         // scanning goes on after the inserted text
      {"#C5_4z9.", "000000042"},  // each further digit replaces the count
      {"#C6.", "-2147483648"},
      {"#X5", "#X5"},
      {"#C0", "#C0"},
      {"#C1001", "#C1001"},
      {"#C", "#C"},
      {"#", "#"},
      {"#C99999999999999999999.", "#C99999999999999999999."},  // huge numbers are out of range, not wrapped
      {"\x83\x5C#C5.",
       "\x83\x5C"
       "42"},                  // a trail byte never starts anything
      {"#C5.\x82", "42\x82"},  // a lead byte at the very end
      {"\x82", "\x82"},
  };
  for (const sEscapeCase& c : cases) {
    std::string text = c.text;
    ExpandMessageVars(text, Vars);
    EXPECT_EQ(text, c.expanded) << "for " << c.text;
  }
}

TEST(MessageEscapes, DoubleByteCharacterSkippedAsAPair) {
  // 0x81 0x23 would end in '#' if the pair were split.
  std::string text = "\x81#C5.";
  ExpandMessageVars(text, Vars);
  EXPECT_EQ(text, "\x81#C5.");
}

class MessageTest : public cWorldFixture {};

cMessageSetup Timed(int countdown) {
  cMessageSetup s;
  s.waitMode = 2;
  s.countdown = countdown;
  s.noSurface = 1;
  s.text = "x";
  return s;
}

TEST_F(MessageTest, TimedMessageOfCountdownZeroShowsOneFrame) {
  MakeScene();
  cMessage message(Timed(0));
  EXPECT_EQ(message.Update(nullptr, 0), 0);
  EXPECT_EQ(message.Update(nullptr, 0), 1);
}

TEST_F(MessageTest, FrozenFramesDoNotCountUnlessAsked) {
  MakeScene();
  cMessage held(Timed(0));
  EXPECT_EQ(held.Update(nullptr, 1), 0);
  EXPECT_EQ(held.Update(nullptr, 1), 0);
  cMessageSetup setup = Timed(0);
  setup.countWhenFrozen = 1;
  cMessage counted(setup);
  EXPECT_EQ(counted.Update(nullptr, 1), 0);
  EXPECT_EQ(counted.Update(nullptr, 1), 1);
}

TEST_F(MessageTest, CentredMessageScrollsWithTheStageUnlessFixed) {
  cGameScene& scene = MakeScene(40, 30, 1, 320, 320);
  cMessageSetup free;
  free.noSurface = 1;
  free.text = "ab";
  cMessage scrolling(free);
  free.fixedPos = 1;
  cMessage fixed(free);
  int x1, y1, x2, y2;
  ASSERT_TRUE(scrolling.ScreenPosition(x1, y1));
  ASSERT_TRUE(fixed.ScreenPosition(x2, y2));
  EXPECT_EQ(x1, x2);
  scene.m_ScrollX.m_Position += 10;
  scene.m_ScrollY.m_Position += 4;
  int x3, y3, x4, y4;
  ASSERT_TRUE(scrolling.ScreenPosition(x3, y3));
  ASSERT_TRUE(fixed.ScreenPosition(x4, y4));
  EXPECT_EQ(x3, x1 - 10);
  EXPECT_EQ(y3, y1 - 4);
  EXPECT_EQ(x4, x2);
  EXPECT_EQ(y4, y2);
}

TEST_F(MessageTest, TallWindowClampedToTheBottomEvenAboveTheBar) {
  MakeScene();
  cMessageSetup setup;
  setup.noSurface = 1;
  setup.keepOnScreen = 1;
  setup.posMode = 7;
  cMessage message(setup);
  message.m_Height = 500;
  message.m_Width = 700;
  int x, y;
  ASSERT_TRUE(message.ScreenPosition(x, y));
  EXPECT_EQ(y, 480 - 500);
  EXPECT_EQ(x, 640 - 700);
}

TEST_F(MessageTest, TextWindowFollowingAMissingCharacterFinishes) {
  MakeScene();
  cMessageSetup setup;
  setup.noSurface = 1;
  setup.text = "a";
  setup.posMode = 1;
  setup.followKey = 12345;
  cMessage message(setup);
  EXPECT_EQ(message.Update(nullptr, 0), 1);
}

TEST_F(MessageTest, ExpandsWithTheGameVariables) {
  cGameScene& scene = MakeScene();
  g_Progress.m_CommonVars[5] = 42;
  scene.m_StageVars[3] = 7;
  cMessageSetup setup;
  setup.noSurface = 1;
  setup.expand = 1;
  setup.text = "#C5_4Z.:#S3_3P.";
  cMessage message(setup);
  EXPECT_EQ(message.m_Text, "0042:+  7");
  EXPECT_EQ(message.m_Source, "#C5_4Z.:#S3_3P.");
}

}  // namespace
