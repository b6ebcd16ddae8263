#include "world/KeyInput.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "WorldTestSupport.h"
#include "platform/VirtualKeys.h"
#include "world/GameWait.h"
#include "world/KeyConfig.h"
#include "world/MenuCursor.h"

namespace {

using worldtest::cWorldFixture;

class KeyInputTest : public cWorldFixture {
 protected:
  void SetUp() override {
    cWorldFixture::SetUp();
    m_Input.SetRepeat(kKeyRepeatDelay, kKeyRepeatInterval);
    m_Input.InitButtonMasks();
    DefaultKeyConfig(g_KeyConfig);
  }

  // One frame of the menus: poll with the fixed mapping, then the filter.
  void PollDefault() { m_Input.PollDefault(0, kPollJoystick | kPollKeyboard, kJoystickRetryFrames); }

  plat::sJoyReading Joystick(std::uint32_t x, std::uint32_t y, std::uint32_t buttons = 0) {
    plat::sJoyReading reading;
    reading.x = x;
    reading.y = y;
    reading.buttons = buttons;
    return reading;
  }

  cKeyInput m_Input;
};

// ---- rings --------------------------------------------------------------------------

TEST_F(KeyInputTest, WordAtFramesAgoWalksBackThroughTheRuns) {
  // Frames 0..6 hold 0, 0, 1, 1, 1, 2, 2 (the present word is the last).
  for (std::uint16_t word : {0, 0, 1, 1, 1, 2, 2}) {
    m_Input.m_Dir = word;
    m_Input.UpdateRings();
  }
  const struct {
    int ago;
    int word;
  } cases[] = {{0, 2}, {1, 2}, {2, 1}, {4, 1}, {5, 0}, {6, 0},
               // Beyond the recorded frames the walk comes round to the newest run.
               {7, 2}, {1000, 2}};
  for (const auto& c : cases) EXPECT_EQ(c.word, m_Input.WordAtFramesAgo(KEY_CHANNEL_DIR, c.ago)) << c.ago;
  // The first word 0 of a fresh ring lengthens its zero entry: 2 frames.
  EXPECT_EQ(0, m_Input.m_DirRing[0].m_Word);
  EXPECT_EQ(2, m_Input.m_DirRing[0].m_Frames);
}

TEST_F(KeyInputTest, ButtonRingRightAfterAResetAnswersZero) {
  m_Input.m_Buttons = 1;
  m_Input.UpdateRings();
  m_Input.Reset();
  EXPECT_EQ(0, m_Input.WordAtFramesAgo(KEY_CHANNEL_BUTTONS, 1));
  EXPECT_EQ(0, m_Input.WordAtFramesAgo(KEY_CHANNEL_BUTTONS, 0));
}

TEST_F(KeyInputTest, RingKeepsTheLast32RunsAndSaturatesItsCount) {
  for (int i = 1; i <= 40; ++i) {
    m_Input.m_Dir = static_cast<std::uint16_t>(i);
    m_Input.UpdateRings();
  }
  // Runs 9..40 are left; 41 frames ago is beyond them.
  EXPECT_EQ(40, m_Input.WordAtFramesAgo(KEY_CHANNEL_DIR, 0));
  EXPECT_EQ(9, m_Input.WordAtFramesAgo(KEY_CHANNEL_DIR, 31));
  EXPECT_EQ(40, m_Input.WordAtFramesAgo(KEY_CHANNEL_DIR, 32));

  m_Input.m_DirRing[static_cast<std::size_t>(m_Input.m_DirRingPos)].m_Frames = std::numeric_limits<int32_t>::max();
  m_Input.UpdateRings();
  EXPECT_EQ(std::numeric_limits<int32_t>::max(), m_Input.NewestRun(KEY_CHANNEL_DIR).m_Frames);
  // The longest walk lands just beyond the saturated run.
  EXPECT_EQ(40, m_Input.WordAtFramesAgo(KEY_CHANNEL_DIR, std::numeric_limits<int>::max() - 1));
  EXPECT_EQ(39, m_Input.WordAtFramesAgo(KEY_CHANNEL_DIR, std::numeric_limits<int>::max()));
}

// ---- histories ----------------------------------------------------------------------

TEST_F(KeyInputTest, UpdateHistoryPutsChangesInFrontAndCountsHolds) {
  cKeyHistory history(kKeyHistoryLength);
  history[kKeyHistoryLength - 1] = cKeyHistEntry{1, 77};  // the run that drops off
  const struct {
    int word;
    int value;
    bool bitTest;
    int state;
    int frames;
  } steps[] = {
      {3, 4, true, 0, 1},    // bit 4 clear, as the fresh state 0: run 0 grows
      {5, 4, true, 1, 1},    // bit 4 set: a new run in front
      {12, 4, true, 1, 2},   // still set
      {5, 5, false, 1, 3},   // equality counts too
      {6, 5, false, 0, 1},   // not equal: back to 0
  };
  for (const auto& s : steps) {
    cKeyInput::UpdateHistory(history, s.word, s.value, s.bitTest);
    EXPECT_EQ(s.state, history[0].m_State);
    EXPECT_EQ(s.frames, history[0].m_Frames);
  }
  EXPECT_EQ(static_cast<std::size_t>(kKeyHistoryLength), history.size());
  EXPECT_EQ(1, history[1].m_State);
  EXPECT_EQ(3, history[1].m_Frames);
  // Two changes pushed the oldest runs out of the 32.
  EXPECT_EQ(0, history[kKeyHistoryLength - 1].m_Frames);

  history[0].m_Frames = std::numeric_limits<int32_t>::max();
  cKeyInput::UpdateHistory(history, 6, 5, false);
  EXPECT_EQ(std::numeric_limits<int32_t>::max(), history[0].m_Frames);
}

TEST_F(KeyInputTest, UpdateHistoriesFillsTheSlotsOfTheWords) {
  const struct {
    std::uint16_t dir;
    std::uint16_t buttons;
    std::vector<int> dirSlots;
    std::vector<int> buttonSlots;
  } cases[] = {
      {0, 0, {0}, {0}},
      {kDirLeft, 1, {1, 9}, {1}},
      {kDirRight | kDirDown, 0x81, {8, 9}, {1, 8}},
      {kDirLeft | kDirUp, 0x06, {5, 9}, {2, 3}},
      // Left and right together match no exact slot.
      {kDirLeft | kDirRight, 0, {9}, {0}},
  };
  for (const auto& c : cases) {
    cKeyInput keys;
    keys.m_Dir = c.dir;
    keys.m_Buttons = c.buttons;
    keys.UpdateHistories();
    for (int slot = 0; slot < kDirSlotCount; ++slot) {
      const bool wanted = std::find(c.dirSlots.begin(), c.dirSlots.end(), slot) != c.dirSlots.end();
      EXPECT_EQ(wanted ? 1 : 0, keys.m_DirHistory[slot][0].m_State) << "dir " << c.dir << " slot " << slot;
    }
    for (int slot = 0; slot < kButtonSlotCount; ++slot) {
      const bool wanted = std::find(c.buttonSlots.begin(), c.buttonSlots.end(), slot) != c.buttonSlots.end();
      EXPECT_EQ(wanted ? 1 : 0, keys.m_ButtonHistory[slot][0].m_State) << "buttons " << c.buttons << " slot " << slot;
    }
  }
}

TEST_F(KeyInputTest, ResetRestoresRingsAndHistoryShapesButKeepsWordsAndTiming) {
  m_Input.m_Dir = kDirLeft;
  m_Input.UpdateRings();
  m_Input.m_DirHistory.resize(3);
  m_Input.m_ButtonHistory.resize(12, cKeyHistory(kKeyHistoryLength));
  m_Input.m_JoyRetry = 50;
  m_Input.Reset();
  EXPECT_EQ(static_cast<std::size_t>(kDirSlotCount), m_Input.m_DirHistory.size());
  EXPECT_EQ(static_cast<std::size_t>(kButtonSlotCount), m_Input.m_ButtonHistory.size());
  for (const cKeyHistory& history : m_Input.m_DirHistory) EXPECT_EQ(32u, history.size());
  EXPECT_EQ(0, m_Input.m_DirRingPos);
  EXPECT_EQ(0, m_Input.NewestRun(KEY_CHANNEL_DIR).m_Frames);
  EXPECT_EQ(0, m_Input.m_JoyRetry);
  EXPECT_EQ(kDirLeft, m_Input.m_Dir);
  EXPECT_EQ(kKeyRepeatDelay, m_Input.m_RepeatDelay);
}

TEST_F(KeyInputTest, DirectionFromWordFavoursLeftAndUp) {
  const struct {
    int word;
    int number;
  } cases[] = {{0, 5}, {kDirLeft, 4}, {kDirRight, 6}, {kDirUp, 2}, {kDirDown, 8}, {kDirLeft | kDirRight, 4},
               {kDirUp | kDirDown, 2}, {kDirRight | kDirDown, 9}, {kDirAll, 1}};
  for (const auto& c : cases) EXPECT_EQ(c.number, cKeyInput::DirectionFromWord(c.word)) << c.word;
}

// ---- menu filters -----------------------------------------------------------------

TEST_F(KeyInputTest, RepeatPassesOnTheChangeThenAtTheDelayAndEveryInterval) {
  std::vector<int> passed;
  for (int frame = 0; frame < 40; ++frame) {
    m_Input.m_Dir = kDirRight;
    m_Input.RepeatDirections();
    if (m_Input.m_Dir != 0) passed.push_back(frame);
  }
  EXPECT_EQ((std::vector<int>{0, 18, 24, 30, 36}), passed);

  // A release is a change: it shows nothing and restarts the count.
  m_Input.m_Dir = 0;
  m_Input.RepeatDirections();
  EXPECT_EQ(0, m_Input.m_Dir);
  m_Input.m_Dir = kDirRight;
  m_Input.RepeatDirections();
  EXPECT_EQ(kDirRight, m_Input.m_Dir);
}

TEST_F(KeyInputTest, RepeatCountsTheHorizontalAndVerticalPairsApart) {
  std::vector<int> right;
  std::vector<int> up;
  for (int frame = 0; frame < 30; ++frame) {
    m_Input.m_Dir = frame >= 10 ? (kDirRight | kDirUp) : kDirRight;
    m_Input.RepeatDirections();
    if ((m_Input.m_Dir & kDirRight) != 0) right.push_back(frame);
    if ((m_Input.m_Dir & kDirUp) != 0) up.push_back(frame);
  }
  EXPECT_EQ((std::vector<int>{0, 18, 24}), right);
  EXPECT_EQ((std::vector<int>{10, 28}), up);
}

TEST_F(KeyInputTest, PressOnceShowsAPressOnOneFrameUntilEveryMaskedButtonIsUp) {
  struct sFrame {
    std::uint16_t held;
    std::uint16_t shown;
  };
  const struct {
    int mask;
    std::vector<sFrame> frames;
  } cases[] = {
      // Button 1 held, then button 2 pressed while 1 is still held, then both
      // up, then button 2 alone.
      {0, {{1, 1}, {1, 0}, {1, 0}, {3, 0}, {3, 0}, {0, 0}, {2, 2}, {2, 0}}},
      // Button 3 lies outside the mask and passes untouched.
      {0x03, {{0x05, 0x05}, {0x05, 0x04}, {0x04, 0x04}, {0x01, 0x01}}},
  };
  for (const auto& c : cases) {
    cKeyInput input;
    for (const sFrame& f : c.frames) {
      input.m_Buttons = f.held;
      input.PressOnce(c.mask);
      EXPECT_EQ(f.shown, input.m_Buttons) << "mask " << c.mask << " held " << f.held;
    }
  }
}

// ---- fixed mapping ----------------------------------------------------------------------

TEST_F(KeyInputTest, DefaultPollReadsArrowsAndLetters) {
  const struct {
    std::vector<int> keys;
    int dir;
    int number;
    int buttons;
  } cases[] = {
      {{}, 0, 5, 0},
      {{plat::VK_LEFT, plat::VK_RIGHT}, kDirLeft | kDirRight, 5, 0},
      {{plat::VK_UP, plat::VK_LEFT}, kDirLeft | kDirUp, 1, 0},
      {{plat::VK_DOWN, plat::VK_RIGHT}, kDirRight | kDirDown, 9, 0},
      {{'Z', 'F'}, 0, 5, 0x81},
      {{'X', 'C', 'V', 'A', 'S', 'D'}, 0, 5, 0x7E},
      // Keys outside the mapping count for nothing.
      {{plat::VK_SPACE, 'Q', plat::VK_F1}, 0, 5, 0},
  };
  for (const auto& c : cases) {
    m_Keys.ReleaseAllKeys();
    for (int key : c.keys) m_Keys.SetKey(key, true);
    PollDefault();
    EXPECT_EQ(c.dir, m_Input.m_Dir);
    EXPECT_EQ(c.number, m_Input.m_DirNumber);
    EXPECT_EQ(c.buttons, m_Input.m_Buttons);
  }
}

TEST_F(KeyInputTest, DefaultPollLetsTheJoystickWinWordByWord) {
  // Joystick pushed left while the right arrow is held: the arrows are not read.
  m_Keys.SetJoystick(0, Joystick(0, 32768));
  m_Keys.SetKey(plat::VK_RIGHT, true);
  m_Keys.SetKey('Z', true);
  PollDefault();
  EXPECT_EQ(kDirLeft, m_Input.m_Dir);
  EXPECT_EQ(4, m_Input.m_DirNumber);
  // The joystick gave no button, so the letters are read.
  EXPECT_EQ(1, m_Input.m_Buttons);

  // A joystick button through the masks: the letters are not read.
  m_Keys.SetJoystick(0, Joystick(32768, 32768, 0x4));
  PollDefault();
  EXPECT_EQ(kDirRight, m_Input.m_Dir);
  EXPECT_EQ(0x4, m_Input.m_Buttons);
}

TEST_F(KeyInputTest, DefaultPollFollowsItsFlagsAndTheConfiguration) {
  m_Keys.SetJoystick(0, Joystick(65535, 0));
  m_Keys.SetKey(plat::VK_LEFT, true);

  m_Input.PollDefault(0, kPollKeyboard, kJoystickRetryFrames);
  EXPECT_EQ(kDirLeft, m_Input.m_Dir);

  m_Input.PollDefault(0, kPollJoystick, kJoystickRetryFrames);
  EXPECT_EQ(kDirRight | kDirUp, m_Input.m_Dir);
  EXPECT_EQ(3, m_Input.m_DirNumber);

  // With the configuration in use the fixed mapping does nothing.
  g_KeyConfig.m_UseConfig = 1;
  m_Input.m_Dir = 0;
  EXPECT_EQ(0, m_Input.PollDefault(0, kPollJoystick | kPollKeyboard, kJoystickRetryFrames));
  EXPECT_EQ(0, m_Input.m_Dir);
  g_KeyConfig.m_UseConfig = 0;
  EXPECT_EQ(0, m_Input.PollConfigured(kJoystickRetryFrames));
}

TEST_F(KeyInputTest, JoystickThresholds) {
  const struct {
    std::uint32_t x;
    std::uint32_t y;
    int dir;
    int number;
  } cases[] = {{10000, 32768, kDirLeft, 4},     {10001, 32768, 0, 5},          {55534, 32768, 0, 5},
               {55535, 32768, kDirRight, 6},    {32768, 10000, kDirUp, 2},     {32768, 55535, kDirDown, 8},
               {0, 65535, kDirLeft | kDirDown, 7}, {65535, 0, kDirRight | kDirUp, 3}};
  for (const auto& c : cases) {
    m_Keys.SetJoystick(0, Joystick(c.x, c.y));
    m_Input.PollDefault(0, kPollJoystick, kJoystickRetryFrames);
    EXPECT_EQ(c.dir, m_Input.m_Dir) << c.x << "," << c.y;
    EXPECT_EQ(c.number, m_Input.m_DirNumber) << c.x << "," << c.y;
  }
  const struct {
    int code;
    std::uint32_t x;
    std::uint32_t y;
    int pressed;
  } axes[] = {{JOY_AXIS_LEFT, 10000, 32768, 1},  {JOY_AXIS_LEFT, 10001, 32768, 0}, {JOY_AXIS_RIGHT, 55535, 0, 1},
              {JOY_AXIS_RIGHT, 55534, 0, 0},     {JOY_AXIS_UP, 0, 10000, 1},       {JOY_AXIS_DOWN, 0, 55534, 0},
              {JOY_AXIS_DOWN, 0, 65535, 1},      {1, 0, 0, 0},                     {4096, 0, 0, 0}};
  for (const auto& a : axes) EXPECT_EQ(a.pressed, cKeyInput::AxisPressed(Joystick(a.x, a.y), a.code)) << a.code;
}

TEST_F(KeyInputTest, FailedJoystickRestsTwiceTheRetryFramesWhileTheKeyboardWorks) {
  m_Keys.SetKey(plat::VK_UP, true);
  std::vector<int> reads;
  for (int frame = 0; frame < 250; ++frame) {
    const int before = m_Keys.JoystickReadCount();
    PollDefault();
    if (m_Keys.JoystickReadCount() != before) reads.push_back(frame);
    EXPECT_EQ(kDirUp, m_Input.m_Dir);
  }
  EXPECT_EQ((std::vector<int>{0, 121, 242}), reads);

  // Plugged in during the rest: found at the next try, then read every frame.
  m_Keys.SetJoystick(0, Joystick(0, 32768));
  int frame = 250;
  for (; m_Input.m_Dir != kDirLeft && frame < 400; ++frame) PollDefault();
  EXPECT_EQ(364, frame);
  const int before = m_Keys.JoystickReadCount();
  PollDefault();
  PollDefault();
  EXPECT_EQ(before + 2, m_Keys.JoystickReadCount());
}

// ---- configured mapping -----------------------------------------------------------

TEST_F(KeyInputTest, ConfiguredPollGivesLeftAndUpPriority) {
  DefaultKeyConfig(g_KeyConfig);
  g_KeyConfig.m_UseConfig = 1;
  g_KeyConfig.m_Entries[4].m_Code = plat::VK_SPACE;
  const struct {
    std::vector<int> keys;
    int dir;
    int number;
    int buttons;
  } cases[] = {
      {{plat::VK_LEFT, plat::VK_RIGHT}, kDirLeft, 4, 0},
      {{plat::VK_UP, plat::VK_DOWN, plat::VK_RIGHT}, kDirRight | kDirUp, 3, 0},
      {{plat::VK_DOWN}, kDirDown, 8, 0},
      {{plat::VK_SPACE, 'F'}, 0, 5, 0x81},
      {{'Z'}, 0, 5, 0},
  };
  for (const auto& c : cases) {
    m_Keys.ReleaseAllKeys();
    for (int key : c.keys) m_Keys.SetKey(key, true);
    EXPECT_EQ(1, m_Input.PollConfigured(kJoystickRetryFrames));
    EXPECT_EQ(c.dir, m_Input.m_Dir);
    EXPECT_EQ(c.number, m_Input.m_DirNumber);
    EXPECT_EQ(c.buttons, m_Input.m_Buttons);
  }
}

TEST_F(KeyInputTest, ConfiguredJoystickEntriesReadAxesAndButtonMasks) {
  DefaultKeyConfig(g_KeyConfig);
  g_KeyConfig.m_UseConfig = 1;
  g_KeyConfig.m_JoystickCount = 2;
  g_KeyConfig.m_Entries[0] = cKeyConfigEntry{1, JOY_AXIS_LEFT, 0};
  g_KeyConfig.m_Entries[4] = cKeyConfigEntry{0, 0x0003, 0};
  g_KeyConfig.m_Entries[5] = cKeyConfigEntry{1, 0x0010, 0};
  m_Keys.SetJoystick(0, Joystick(32768, 32768, 0x2));
  // Joystick 1 is centred but holds button bit 256: the axis code is a mask too.
  m_Keys.SetJoystick(1, Joystick(32768, 32768, 0x110));
  m_Input.PollConfigured(kJoystickRetryFrames);
  EXPECT_EQ(kDirLeft, m_Input.m_Dir);
  EXPECT_EQ(0x3, m_Input.m_Buttons);

  // A joystick whose read failed holds nothing.
  m_Keys.RemoveJoystick(1);
  m_Input.PollConfigured(kJoystickRetryFrames);
  EXPECT_EQ(0, m_Input.m_Dir);
  EXPECT_EQ(0x1, m_Input.m_Buttons);
}

TEST_F(KeyInputTest, ConfiguredPollStaysWithinTheConfigurationsBounds) {
  DefaultKeyConfig(g_KeyConfig);
  g_KeyConfig.m_UseConfig = 1;
  for (int key : {'Z', 'X', 'F'}) m_Keys.SetKey(key, true);
  // One joystick status serves them all: every joystick read before number 3
  // must answer, or 3 is not read this frame.
  m_Keys.SetJoystick(0, Joystick(0, 0, 0xFFFFFFFFu));
  m_Keys.SetJoystick(1, Joystick(32768, 32768));
  m_Keys.SetJoystick(2, Joystick(32768, 32768));
  m_Keys.SetJoystick(3, Joystick(0, 0, 0xFFFFFFFFu));

  const struct {
    std::uint32_t entries;
    std::uint32_t joysticks;
    std::uint32_t device;
    int buttons;
  } cases[] = {
      // Counts above the 12 entries read the 12 and no further.
      {0xFFFFFFFFu, 1, 8, 0x83},
      // Fewer than 5 entries give no buttons.
      {4, 1, 8, 0},
      {5, 1, 8, 0x01},
      // A joystick the configuration does not read holds nothing...
      {12, 1, 3, 0x82},
      // ...one it reads holds through its mask.
      {12, 4, 3, 0x83},
      {12, 0xFFFFFFFFu, 0, 0x83},
  };
  for (const auto& c : cases) {
    g_KeyConfig.m_EntryCount = c.entries;
    g_KeyConfig.m_JoystickCount = c.joysticks;
    const std::uint16_t code = c.device == kKeyConfigKeyboard ? std::uint16_t{'Z'} : std::uint16_t{1};
    g_KeyConfig.m_Entries[4] = cKeyConfigEntry{c.device, code, 0};
    m_Input.m_JoyOk = 1;
    EXPECT_EQ(1, m_Input.PollConfigured(kJoystickRetryFrames));
    EXPECT_EQ(c.buttons, m_Input.m_Buttons) << c.entries << " " << c.joysticks << " " << c.device;
  }
}

// ---- wait record and menu cursor --------------------------------------------------

TEST(GameWaitTest, OnlyAMessageWaitingForAKeyGetsTheStartDelay) {
  const struct {
    int kind;
    int waitForKey;
    int frames;
    int noDelay;
    int delay;
  } cases[] = {{1, 1, 0, 0, 10}, {1, 1, 0, 1, 0}, {3, 1, 0, 0, 0}, {1, 0, 90, 0, 0}, {4, 0, 30, 0, 0}};
  for (const auto& c : cases) {
    cGameWait wait;
    wait.m_Spare = 9;
    wait.Set(c.kind, c.waitForKey, c.frames, c.noDelay);
    EXPECT_EQ(c.delay, wait.m_StartDelay) << c.kind << c.waitForKey << c.noDelay;
    EXPECT_EQ(c.kind, wait.m_Kind);
    EXPECT_EQ(c.frames, wait.m_Frames);
    EXPECT_EQ(0, wait.m_Spare);
  }
}

TEST(MenuCursorTest, ResetKeepsOneZeroLevelAsTheCurrentOne) {
  cMenuCursor cursor;
  for (std::size_t levels : {std::size_t{0}, std::size_t{1}, std::size_t{4}}) {
    cursor.m_Levels.assign(levels, cMenuCursorPos{3, 4, 5, 6});
    cursor.m_Value = 7;
    cursor.Reset();
    ASSERT_EQ(1u, cursor.m_Levels.size());
    EXPECT_EQ(&cursor.m_Levels[0], cursor.m_pCurrent);
    EXPECT_EQ(nullptr, cursor.m_pParent);
    EXPECT_EQ(0, cursor.m_pCurrent->m_Row + cursor.m_pCurrent->m_Column + cursor.m_pCurrent->m_X +
                     cursor.m_pCurrent->m_Y);
    EXPECT_EQ(0, cursor.m_Value);
  }
  // A copy's current level is its own.
  const cMenuCursor copy = cursor;
  EXPECT_EQ(&copy.m_Levels[0], copy.m_pCurrent);
}

}  // namespace
