#include "core/SoundRequest.h"

#include <gtest/gtest.h>

#include <vector>

#include "CoreTestSupport.h"
#include "core/AppMessages.h"

namespace {

struct cSent {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<cSent> g_Sent;

LRESULT RecordingProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
  g_Sent.push_back({message, wParam, lParam});
  return 0;
}

class SoundRequestTest : public coretest::cCoreFixture {
 protected:
  void SetUp() override {
    cCoreFixture::SetUp();
    g_Sent.clear();
    g_hMainWnd = plat::CreateWindowHandle(&RecordingProc);
  }
  std::vector<int> SentSlots() const {
    std::vector<int> slots;
    for (const cSent& s : g_Sent) {
      EXPECT_EQ(s.message, WM_APP_PLAY_SOUND);
      EXPECT_EQ(s.lParam, 0);
      slots.push_back(static_cast<int>(s.wParam));
    }
    return slots;
  }
};

TEST_F(SoundRequestTest, SlotsSentToMainWindow) {
  struct Case {
    const char* name;
    void (*request)();
    std::vector<int> slots;
  };
  const Case cases[] = {
      {"system 0", [] { PlaySystemSound(0); }, {0}},
      {"system 16", [] { PlaySystemSound(16); }, {16}},
      {"data 0 is none", [] { PlayDataSound(0); }, {}},
      {"data 3", [] { PlayDataSound(3); }, {19}},
      {"data 1", [] { PlayDataSound(1); }, {17}},
      // A negative number (bad data) reaches the system slots below 16.
      {"data -1", [] { PlayDataSound(-1); }, {15}},
      {"data max", [] { PlayDataSound(32767); }, {32783}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_Sent.clear();
    c.request();
    EXPECT_EQ(SentSlots(), c.slots);
  }
}

TEST_F(SoundRequestTest, NothingHappensWithoutMainWindow) {
  g_hMainWnd = nullptr;
  PlaySystemSound(2);
  PlayDataSound(2);
  EXPECT_TRUE(g_Sent.empty());
}

}  // namespace
