// The keyboard hook's rules per key and state: what reaches the active dialog
// as a posted WM_KEYDOWN, WM_KEYUP or message 2024, and what stays with the
// input method or the focused control.
#include <gtest/gtest.h>

#include <vector>

#include "dialog/Hook.h"
#include "dialog/WindowProps.h"
#include "platform/MessageCore.h"
#include "platform/VirtualKeys.h"

namespace {

struct sPosted {
  UINT message;
  WPARAM key;
};

class HookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::ResetMessageCoreForTests();
    ResetKeyboardHookForTests();
    ResetWindowPropsForTests();
    m_Window = plat::CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  }
  void TearDown() override {
    ResetKeyboardHookForTests();
    ResetWindowPropsForTests();
    plat::ResetMessageCoreForTests();
  }

  void Open(int passControl = 0) {
    ASSERT_TRUE(m_Hook.Attach(m_Window, passControl));
    SetActiveWindow(m_Window);
  }
  void SetComposition(int state) {
    SetCompositionQuery([state](HWND) { return state; });
  }
  std::vector<sPosted> Posted() {
    std::vector<sPosted> posted;
    MSG msg;
    while (plat::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) posted.push_back({msg.message, msg.wParam});
    return posted;
  }
  void Press(int key) { KeyboardHookProc(HC_ACTION, static_cast<WPARAM>(key), 1); }
  void Release(int key) { KeyboardHookProc(HC_ACTION, static_cast<WPARAM>(key), static_cast<LPARAM>(0xC0000001u)); }

  HWND m_Window = nullptr;
  cHook m_Hook;
};

TEST_F(HookTest, PressesAndReleasesPerKeyAndComposition) {
  struct sCase {
    const char* name;
    int key;
    bool release;
    int composition;  // 1 composing, 0 not, -1 no input context
    UINT expected;    // 0: nothing posted
  };
  const sCase cases[] = {
      {"Enter without composition", plat::VK_RETURN, false, 0, WM_KEYDOWN},
      {"Enter while composing stays with the input method", plat::VK_RETURN, false, 1, 0},
      {"Tab is never copied", plat::VK_TAB, false, 0, 0},
      {"Down outside composition is 2024", plat::VK_DOWN, false, 0, WM_APP_DIALOG_KEY},
      {"Down while composing is a key press", plat::VK_DOWN, false, 1, WM_KEYDOWN},
      {"Down without an input context is a key press", plat::VK_DOWN, false, -1, WM_KEYDOWN},
      {"Space is a navigation key", plat::VK_SPACE, false, 0, WM_APP_DIALOG_KEY},
      {"Delete is a navigation key", plat::VK_DELETE, false, 0, WM_APP_DIALOG_KEY},
      {"F8 is a navigation key", plat::VK_F8, false, 0, WM_APP_DIALOG_KEY},
      {"A letter is a key press", 'A', false, 0, WM_KEYDOWN},
      {"A release is a key release", 'A', true, 0, WM_KEYUP},
      {"Tab's release is copied", plat::VK_TAB, true, 0, WM_KEYUP},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    SetComposition(c.composition);
    if (c.release) Release(c.key);
    else Press(c.key);
    const std::vector<sPosted> posted = Posted();
    if (c.expected == 0) {
      EXPECT_TRUE(posted.empty());
    } else {
      ASSERT_EQ(posted.size(), 1u);
      EXPECT_EQ(posted[0].message, c.expected);
      EXPECT_EQ(posted[0].key, static_cast<WPARAM>(c.key));
    }
  }
}

TEST_F(HookTest, KeysOfTheMainWindowAreNotCopied) {
  Open();
  SetActiveWindow(nullptr);  // the main window has the keyboard
  Press('A');
  Press(plat::VK_DOWN);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(HookTest, AWindowWithoutItsHookIsNotServed) {
  Open();
  const HWND other = plat::CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  SetActiveWindow(other);
  Press('A');
  EXPECT_TRUE(Posted().empty());
}

TEST_F(HookTest, ControlWordHoldsBackCopiesOfAPassControlDialog) {
  Open(1);
  Press(plat::VK_CONTROL);
  EXPECT_EQ(HookControlKeyWord(), 1);
  EXPECT_TRUE(Posted().empty());  // Control itself is held back too
  Press('C');
  Release('C');
  EXPECT_TRUE(Posted().empty());
  Release(plat::VK_CONTROL);
  EXPECT_EQ(HookControlKeyWord(), 0);
  const std::vector<sPosted> posted = Posted();
  ASSERT_EQ(posted.size(), 1u);  // the release of Control clears the word first
  EXPECT_EQ(posted[0].message, WM_KEYUP);
  Press('C');
  EXPECT_EQ(Posted().size(), 1u);
}

TEST_F(HookTest, AModalDialogGetsControlCombinations) {
  Open(0);
  Press(plat::VK_CONTROL);
  Press('C');
  EXPECT_EQ(Posted().size(), 2u);
}

TEST_F(HookTest, NothingIsCopiedBeforeTheHookIsInstalledOrAfterItIsRemoved) {
  SetHookInstallFailsForTests(true);
  EXPECT_FALSE(m_Hook.Attach(m_Window, 0));
  SetActiveWindow(m_Window);
  Press('A');
  EXPECT_TRUE(Posted().empty());
  SetHookInstallFailsForTests(false);
  Open();
  UnhookKeyboard();
  Press('A');
  EXPECT_TRUE(Posted().empty());
}

}  // namespace
