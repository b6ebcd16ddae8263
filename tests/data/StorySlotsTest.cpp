#include "data/StorySlots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RecordTestSupport.h"
#include "core/SafeAccess.h"
#include "data/SystemData.h"
#include "data/WorldMap.h"

namespace {

namespace fs = std::filesystem;

TEST(StorySlotsTest, SlotFileNames) {
  EXPECT_EQ(MakeStoryFileName(0), "user_data\\story\\Story01.dat");
  EXPECT_EQ(MakeStoryFileName(8), "user_data\\story\\Story09.dat");
  EXPECT_EQ(MakeStoryFileName(98), "user_data\\story\\Story99.dat");
  EXPECT_EQ(MakeStoryFileName(99), "");
  EXPECT_EQ(MakeStoryFileName(-1), "");
}

TEST(StorySlotsTest, SaveDateText) {
  cSlotInfo slot;
  slot.m_SaveTime = cSaveTime{2012, 4, 5, 27, 9, 5, 59, 999};
  EXPECT_EQ(FormatSlotDate(slot), "");  // not used: no date
  slot.m_bUsed = 1;
  EXPECT_EQ(FormatSlotDate(slot), "2012/04/27 09:05\n");
}

TEST(StorySlotsTest, SlotListStopsAtTheLastSlot) {
  cSafeVector<cSlotInfo> slots;
  ResetStorySlots(slots);
  ASSERT_EQ(slots.size(), 99u);
  slots[96].m_bUsed = 1;
  slots[96].m_SaveTime = cSaveTime{2020, 1, 0, 2, 3, 4, 0, 0};

  const cSlotListLayout layout = LayoutSlotList(10, 20, slots, 95, 10);
  EXPECT_EQ(layout.box, (cSlotListRect{10, 20, 320, 160}));
  // Rows 96 to 99, then the list ends; the separator under the row where it
  // ends is still drawn.
  ASSERT_EQ(layout.separators.size(), 5u);
  EXPECT_EQ(layout.separators[0], (cSlotListRect{10, 35, 320, 1}));
  EXPECT_EQ(layout.separators[4], (cSlotListRect{10, 99, 320, 1}));
  const std::vector<cSlotListText> texts = {
      {26, 20, "96"}, {26, 36, "97"}, {74, 36, "2020/01/02 03:04\n"}, {26, 52, "98"}, {26, 68, "99"},
  };
  EXPECT_EQ(layout.texts, texts);
}

TEST(StorySlotsTest, SlotListOfUnusedSlotsShowsOnlyNumbers) {
  cSafeVector<cSlotInfo> slots;
  ResetStorySlots(slots);
  const cSlotListLayout layout = LayoutSlotList(0, 0, slots, 0, 3);
  EXPECT_EQ(layout.separators.size(), 2u);  // none under the last row
  const std::vector<cSlotListText> texts = {{16, 0, "1"}, {16, 16, "2"}, {16, 32, "3"}};
  EXPECT_EQ(layout.texts, texts);

  const cSafeVector<cSlotInfo> none;
  EXPECT_TRUE(LayoutSlotList(0, 0, none, 0, 3).texts.empty());
  EXPECT_TRUE(LayoutSlotList(0, 0, slots, -5, 3).texts.empty());
  EXPECT_EQ(LayoutSlotList(0, 0, slots, 0, -2).box.height, 0);
}

class StorySlotScanTest : public ::testing::Test {
 protected:
  StorySlotScanTest() {
    ResetSystemDataForTests();
    g_WorldMap.Reset();
    ResetStorySlots(g_StorySlots);
    ClearFatalPendingForTests();
    fs::create_directories(m_Folder.Path() / "user_data" / "story");
  }
  ~StorySlotScanTest() override { ResetStorySlots(g_StorySlots); }

  static void WriteSlot(int slot, const cSaveTime& time) {
    cProgress p;
    p.m_SaveTime = time;
    ASSERT_TRUE(p.SaveFile(MakeStoryFileName(slot)));
  }

  recordtest::cTempFolder m_Folder;
};

TEST_F(StorySlotScanTest, ScanMarksTheSlotsWithFiles) {
  cSafeVector<cSlotInfo> slots;
  ResetStorySlots(slots);
  ScanStorySlots(slots);
  for (const cSlotInfo& slot : slots) EXPECT_EQ(slot.m_bUsed, 0);

  const cSaveTime first{2011, 2, 1, 3, 4, 5, 6, 7};
  const cSaveTime last{2030, 12, 2, 31, 23, 59, 58, 0};
  WriteSlot(0, first);
  WriteSlot(98, last);
  ScanStorySlots(slots);
  EXPECT_EQ(slots[0].m_bUsed, 1);
  EXPECT_EQ(slots[0].m_SaveTime, first);
  EXPECT_EQ(slots[98].m_bUsed, 1);
  EXPECT_EQ(slots[98].m_SaveTime, last);
  for (int n = 1; n < 98; ++n) EXPECT_EQ(slots[n].m_bUsed, 0) << n;

  // A slot whose file went away is no longer used.
  fs::remove(m_Folder.Path() / "user_data" / "story" / "Story01.dat");
  ScanStorySlots(slots);
  EXPECT_EQ(slots[0].m_bUsed, 0);
  EXPECT_EQ(slots[98].m_bUsed, 1);
}

TEST_F(StorySlotScanTest, DamagedFileCountsAsUsedWithoutAnotherSlotsDate) {
  cSafeVector<cSlotInfo> slots;
  ResetStorySlots(slots);
  WriteSlot(0, cSaveTime{2011, 2, 1, 3, 4, 5, 6, 7});
  recordtest::WriteFileBytes(m_Folder.Path() / "user_data" / "story" / "Story02.dat", {0x0D, 0x03, 0, 0, 9});
  ScanStorySlots(slots);
  EXPECT_EQ(slots[1].m_bUsed, 1);
  EXPECT_EQ(slots[1].m_SaveTime, cSaveTime{});
  EXPECT_NE(recordtest::ReportText().find("Story02.dat"), std::string::npos);
}

TEST_F(StorySlotScanTest, SaveUpdatesItsHeaderWithoutAScan) {
  cProgress p;
  ASSERT_TRUE(p.SaveStory(4));
  EXPECT_EQ(g_StorySlots[4].m_bUsed, 1);
  EXPECT_EQ(g_StorySlots[4].m_SaveTime, p.m_SaveTime);
  for (int n = 0; n < kStorySlotCount; ++n) EXPECT_EQ(g_StorySlots[n].m_bUsed, n == 4 ? 1 : 0) << n;
  // A scan finds the same.
  cSafeVector<cSlotInfo> scanned;
  ResetStorySlots(scanned);
  ScanStorySlots(scanned);
  EXPECT_EQ(scanned[4].m_SaveTime, p.m_SaveTime);
}

}  // namespace
