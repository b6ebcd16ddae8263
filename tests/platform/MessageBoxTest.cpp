#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/MessageBox.h"
#include "support/Utf8Text.h"

namespace {

// Sets or clears an environment variable for the life of the object.
class cScopedEnv {
 public:
  cScopedEnv(const char* name, std::optional<std::string> value) : m_Name(name) {
    if (const char* old = std::getenv(name)) m_Old = old;
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  ~cScopedEnv() {
    if (m_Old) {
      setenv(m_Name, m_Old->c_str(), 1);
    } else {
      unsetenv(m_Name);
    }
  }
  cScopedEnv(const cScopedEnv&) = delete;
  cScopedEnv& operator=(const cScopedEnv&) = delete;

 private:
  const char* m_Name;
  std::optional<std::string> m_Old;
};

class MessageBoxTest : public testing::Test {
 protected:
  void TearDown() override { plat::SetMessageBoxSink({}); }
};

struct cSeenBox {
  std::string text;
  std::string caption;
  UINT type = 0;
};

TEST_F(MessageBoxTest, SinkSeesTheCp932BoxAndAnswersForTheUser) {
  std::vector<cSeenBox> seen;
  plat::SetMessageBoxSink([&](const std::string& text, const std::string& caption, UINT type) {
    seen.push_back({text, caption, type});
    return IDNO;
  });
  EXPECT_EQ(plat::MessageBox("メモリが不足しています！", "エラー", MB_YESNO | MB_ICONERROR), IDNO);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "メモリが不足しています！");
  EXPECT_EQ(seen[0].caption, "\x83\x47\x83\x89\x81\x5B");  // CP932, not converted
  EXPECT_EQ(seen[0].type, MB_YESNO | MB_ICONERROR);
}

// Without a sink and without a display, the text goes to standard error and
// the answer comes from KESTROVA_MESSAGEBOX_ANSWER, limited to the box's buttons.
TEST_F(MessageBoxTest, HeadlessBoxUsesTheScriptedAnswer) {
  struct Case {
    UINT type;
    std::optional<std::string> answer;
    int expected;
  };
  const Case cases[] = {
      {MB_OK, std::nullopt, IDOK},
      {MB_OK, "ok", IDOK},
      {MB_OK, "cancel", IDOK},
      {MB_OK | MB_ICONERROR, "no", IDOK},
      {MB_OKCANCEL, std::nullopt, IDOK},
      {MB_OKCANCEL, "cancel", IDCANCEL},
      {MB_OKCANCEL, "Cancel", IDCANCEL},
      {MB_OKCANCEL, "yes", IDOK},
      {MB_YESNO, std::nullopt, IDYES},
      {MB_YESNO, "yes", IDYES},
      {MB_YESNO, "no", IDNO},
      {MB_YESNO | MB_ICONQUESTION, "no", IDNO},
      {MB_YESNO, "ok", IDYES},
      {MB_YESNO, "", IDYES},
      {MB_YESNO, "maybe", IDYES},
  };
  struct Headless {
    const char* name;
    std::optional<std::string> display;
    std::optional<std::string> driver;
  };
  // No display at all; a display the dummy driver must not touch; a display
  // that cannot be opened, so SDL fails and the box falls back.
  const Headless modes[] = {
      {"no display", std::nullopt, std::nullopt},
      {"dummy driver", ":0", "dummy"},
      {"unreachable display", ":4242", std::nullopt},
  };
  for (const Headless& mode : modes) {
    cScopedEnv display("DISPLAY", mode.display);
    cScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    cScopedEnv driver("SDL_VIDEODRIVER", mode.driver);
    for (const Case& c : cases) {
      cScopedEnv answer("KESTROVA_MESSAGEBOX_ANSWER", c.answer);
      testing::internal::CaptureStderr();
      const int result = plat::MessageBox("表示できません", "エラー", c.type);
      const std::string stderrText = testing::internal::GetCapturedStderr();
      EXPECT_EQ(result, c.expected) << mode.name << ", type " << c.type << ", answer " << c.answer.value_or("(unset)");
      EXPECT_NE(stderrText.find(Utf8(u8"エラー: 表示できません\n")), std::string::npos) << mode.name << ": " << stderrText;
    }
  }
}

TEST_F(MessageBoxTest, RemovingTheSinkReturnsToTheScriptedAnswer) {
  cScopedEnv display("DISPLAY", std::nullopt);
  cScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
  cScopedEnv answer("KESTROVA_MESSAGEBOX_ANSWER", "no");
  plat::SetMessageBoxSink([](const std::string&, const std::string&, UINT) { return IDCANCEL; });
  EXPECT_EQ(plat::MessageBox("a", "b", MB_YESNO), IDCANCEL);
  plat::SetMessageBoxSink({});
  testing::internal::CaptureStderr();
  EXPECT_EQ(plat::MessageBox("a", "b", MB_YESNO), IDNO);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "b: a\n");
}

// Boxes can come from any thread while another thread swaps the sink; every
// box must reach one of the installed sinks.
TEST_F(MessageBoxTest, SinkCanBeSwappedWhileBoxesAreShown) {
  plat::SetMessageBoxSink([](const std::string&, const std::string&, UINT) { return IDYES; });
  std::atomic<int> unexpected{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> callers;
  for (int t = 0; t < 3; ++t) {
    callers.emplace_back([&] {
      while (!stop) {
        const int answer = plat::MessageBox("text", "caption", MB_YESNO);
        if (answer != IDYES && answer != IDNO) ++unexpected;
      }
    });
  }
  for (int i = 0; i < 2000; ++i) {
    const int answer = (i % 2 == 0) ? IDNO : IDYES;
    plat::SetMessageBoxSink([answer](const std::string&, const std::string&, UINT) { return answer; });
  }
  stop = true;
  for (std::thread& caller : callers) caller.join();
  EXPECT_EQ(unexpected, 0);
}

}  // namespace
