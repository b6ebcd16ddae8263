// The key sources: the scripted one the tests and headless runs drive, and the
// SDL one, fed by the window's event pump (dummy video driver; joysticks are
// SDL's virtual ones, plugged and pulled as a device would be).

#include "platform/KeySource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/MessageCore.h"
#include "platform/SdlWindow.h"

namespace {

LRESULT IgnoreMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

// SDL's scancodes (the USB usage numbers) of the keys the tests press.
enum : int {
  kScanZ = 29,
  kScanF1 = 58,
  kScanRight = 79,
  kScanLeft = 80,
  kScanKeypad4 = 92,
  kScanLeftShift = 225,
  kScanRightCtrl = 228,
  kScanRightShift = 229,
};

TEST(KeySourceTest, WithoutASourceNothingIsHeldAndJoysticksFail) {
  plat::SetKeySource(nullptr);
  plat::sJoyReading reading;
  reading.x = 7;
  EXPECT_FALSE(plat::IsKeyHeld(plat::VK_LEFT));
  EXPECT_NE(0, plat::ReadJoystick(0, reading));
  EXPECT_EQ(7u, reading.x);
}

TEST(KeySourceTest, ScriptedKeysAndJoysticks) {
  plat::cScriptedKeySource keys;
  plat::SetKeySource(&keys);
  keys.SetKey('Z', true);
  keys.SetKey(0, true);
  keys.SetKey(255, true);
  keys.SetKey(9999, true);
  EXPECT_TRUE(plat::IsKeyHeld('Z'));
  EXPECT_FALSE(plat::IsKeyHeld('X'));
  for (int code : {0, -1, 255, 256, 9999}) EXPECT_FALSE(plat::IsKeyHeld(code)) << code;

  plat::sJoyReading reading;
  EXPECT_NE(0, plat::ReadJoystick(2, reading));
  keys.SetJoystick(2, plat::sJoyReading{1, 65535, 0x80000001u});
  ASSERT_EQ(0, plat::ReadJoystick(2, reading));
  EXPECT_EQ(65535u, reading.y);
  EXPECT_EQ(0x80000001u, reading.buttons);
  keys.RemoveJoystick(2);
  EXPECT_NE(0, plat::ReadJoystick(2, reading));
  EXPECT_NE(0, plat::ReadJoystick(plat::kMaxJoysticks, reading));
  EXPECT_EQ(4, keys.JoystickReadCount());
  plat::SetKeySource(nullptr);
}

class SdlKeySourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ResetMessageCoreForTests();
    std::string error;
    m_Window = plat::cSdlWindow::Create("", 100, 100, 640, 480, &error);
    if (!m_Window) GTEST_SKIP() << "no SDL video: " << error;
    m_Keys = plat::cSdlKeySource::Create();
    m_Window->PumpEvents();
    m_Window->SetMessageTarget(plat::CreateWindowHandle(IgnoreMessage));
    m_Window->SetKeySink(m_Keys.get());
  }

  void TearDown() override {
    if (m_Window) m_Window->SetKeySink(nullptr);
    m_Keys.reset();
    m_Window.reset();
    plat::ResetMessageCoreForTests();
  }

  void Key(int scancode, bool down, bool repeat = false) {
    m_Window->PushKeyForTests(scancode, down, repeat);
    m_Window->PumpEvents();
  }

  std::unique_ptr<plat::cSdlWindow> m_Window;
  std::unique_ptr<plat::cSdlKeySource> m_Keys;
};

TEST_F(SdlKeySourceTest, KeysAreHeldByTheirVirtualKeyCodes) {
  Key(kScanLeft, true);
  Key(kScanZ, true);
  Key(kScanKeypad4, true);
  Key(kScanF1, true);
  for (int code : {plat::VK_LEFT, int{'Z'}, 0x64, plat::VK_F1}) EXPECT_TRUE(m_Keys->IsKeyHeld(code)) << code;
  EXPECT_FALSE(m_Keys->IsKeyHeld(plat::VK_RIGHT));
  Key(kScanLeft, false);
  EXPECT_FALSE(m_Keys->IsKeyHeld(plat::VK_LEFT));
  EXPECT_TRUE(m_Keys->IsKeyHeld('Z'));
  m_Keys->ReleaseAllKeys();
  EXPECT_FALSE(m_Keys->IsKeyHeld('Z'));
}

TEST_F(SdlKeySourceTest, ModifiersHoldTheirGenericAndTheirSidedCode) {
  Key(kScanLeftShift, true);
  Key(kScanRightShift, true);
  EXPECT_TRUE(m_Keys->IsKeyHeld(plat::VK_SHIFT));
  EXPECT_TRUE(m_Keys->IsKeyHeld(plat::VK_LSHIFT));
  EXPECT_TRUE(m_Keys->IsKeyHeld(plat::VK_RSHIFT));
  // One shift up: the other still holds the generic code.
  Key(kScanLeftShift, false);
  EXPECT_TRUE(m_Keys->IsKeyHeld(plat::VK_SHIFT));
  EXPECT_FALSE(m_Keys->IsKeyHeld(plat::VK_LSHIFT));
  // A second down without an up (a repeat, or a lost event) counts once.
  Key(kScanRightCtrl, true);
  Key(kScanRightCtrl, true, true);
  Key(kScanRightCtrl, true);
  Key(kScanRightCtrl, false);
  EXPECT_FALSE(m_Keys->IsKeyHeld(plat::VK_CONTROL));
  EXPECT_FALSE(m_Keys->IsKeyHeld(plat::VK_RCONTROL));
}

TEST_F(SdlKeySourceTest, JoysticksComeAndGoByDeviceIndex) {
  const int id = m_Keys->AttachVirtualJoystickForTests(4);
  if (id < 0) GTEST_SKIP() << "no virtual joysticks in this SDL";
  plat::sJoyReading reading;
  EXPECT_NE(0, m_Keys->ReadJoystick(0, reading));  // not seen before a pump
  m_Window->PumpEvents();
  ASSERT_EQ(0, m_Keys->ReadJoystick(0, reading));
  EXPECT_EQ(32768u, reading.x);

  m_Keys->SetVirtualJoystickForTests(id, -32768, 32767, 0x5);
  m_Window->PumpEvents();
  ASSERT_EQ(0, m_Keys->ReadJoystick(0, reading));
  EXPECT_EQ(0u, reading.x);
  EXPECT_EQ(65535u, reading.y);
  EXPECT_EQ(0x5u, reading.buttons);
  EXPECT_NE(0, m_Keys->ReadJoystick(1, reading));

  m_Keys->DetachVirtualJoystickForTests(id);
  m_Window->PumpEvents();
  EXPECT_NE(0, m_Keys->ReadJoystick(0, reading));

  // Plugged in again, it is found again.
  const int again = m_Keys->AttachVirtualJoystickForTests(2);
  ASSERT_GE(again, 0);
  m_Window->PumpEvents();
  EXPECT_EQ(0, m_Keys->ReadJoystick(0, reading));
  m_Keys->DetachVirtualJoystickForTests(again);
}

}  // namespace
