// The editor link: without an editor nothing is sent; with one the notice is
// a copy-data message carrying one 32-bit value.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/EditorLink.h"

namespace {

struct sNotice {
  HWND editor;
  HWND sender;
  std::uintptr_t dwData;
  DWORD cbData;
  std::int32_t value;
};

class cFakeEditorLink final : public plat::cEditorLink {
 public:
  HWND FindEditorWindow(const std::string& className, const std::string& title) override {
    m_Searches.push_back(className + "|" + title);
    return m_Editor;
  }
  LRESULT SendCopyData(HWND editor, HWND sender, const COPYDATASTRUCT& data) override {
    sNotice notice{editor, sender, data.dwData, data.cbData, 0};
    if (data.cbData == sizeof(std::int32_t)) std::memcpy(&notice.value, data.lpData, sizeof(notice.value));
    m_Notices.push_back(notice);
    return 1;
  }

  HWND m_Editor = nullptr;
  std::vector<std::string> m_Searches;
  std::vector<sNotice> m_Notices;
};

class EditorLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::SetEditorLink(&m_Link); }
  void TearDown() override { plat::SetEditorLink(nullptr); }
  cFakeEditorLink m_Link;
};

HWND FakeHandle(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

TEST_F(EditorLinkTest, NothingIsSentWithoutAnEditorWindow) {
  EXPECT_FALSE(plat::NotifyEditorWindow("Kestrova4_Editor", "title", FakeHandle(7), 1, 1));
  EXPECT_EQ(m_Link.m_Searches.size(), 1u);
  EXPECT_TRUE(m_Link.m_Notices.empty());
}

TEST_F(EditorLinkTest, TheNoticeCarriesTheTagTheValueAndTheSender) {
  m_Link.m_Editor = FakeHandle(42);
  ASSERT_TRUE(plat::NotifyEditorWindow("Kestrova4_Editor", "title", FakeHandle(7), 0, -3));
  ASSERT_EQ(m_Link.m_Notices.size(), 1u);
  const sNotice& notice = m_Link.m_Notices[0];
  EXPECT_EQ(notice.editor, FakeHandle(42));
  EXPECT_EQ(notice.sender, FakeHandle(7));
  EXPECT_EQ(notice.dwData, 0u);
  EXPECT_EQ(notice.cbData, 4u);
  EXPECT_EQ(notice.value, -3);
  EXPECT_EQ(m_Link.m_Searches[0], "Kestrova4_Editor|title");
}

TEST(EditorLinkDefaultTest, TheDefaultLinkFindsNoEditor) {
  plat::SetEditorLink(nullptr);
  EXPECT_EQ(plat::EditorLink().FindEditorWindow("Kestrova4_Editor", "x"), nullptr);
  EXPECT_FALSE(plat::NotifyEditorWindow("Kestrova4_Editor", "x", nullptr, 1, 1));
}

}  // namespace
