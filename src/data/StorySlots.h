#pragma once
// The 99 story save slots. Slot n (0..98, shown to the player as n + 1) is the
// data file "user_data\story\StoryNN.dat" (NN = n + 1 in two digits) holding a
// whole progress record. So that the slot list can be shown without loading
// every game, g_StorySlots keeps a small header per slot: whether its file
// exists and when it was saved. ScanStorySlots refreshes the headers from the
// files; cProgress::SaveStory refreshes the header of the slot it wrote.

#include <cstdint>
#include <string>
#include <vector>

#include "core/SafeVector.h"
#include "data/DataRecord.h"
#include "data/Progress.h"
#include "graphics/Surface.h"

inline constexpr int kStorySlotCount = 99;

// The header of one slot. Only "used" is a registered member; the record is
// never written to a file.
class cSlotInfo : public cDataRecord {
 public:
  cSlotInfo() { Clear(); }

  void RegisterMembers(int nVersion) override;

  // Used = 1; the save time is the record's.
  void SetFromProgress(const cProgress& progress);

  std::int32_t m_bUsed = 0;  // 1: the slot's file exists
  cSaveTime m_SaveTime;      // taken from the progress record, never stored
};

// The headers of the story slots. Defined with every global object
// in app/Globals.cpp.
extern cSafeVector<cSlotInfo> g_StorySlots;

// The slot list becomes 99 fresh headers (none used), as at start-up.
void ResetStorySlots(cSafeVector<cSlotInfo>& slots);

// The file of slot n: "user_data\story\Story" and n + 1 in two digits, then
// ".dat" (slot 0: "user_data\story\Story01.dat"). Slots outside 0..98 have no
// file: "".
std::string MakeStoryFileName(int nSlot);

// Refreshes every header from the slot files: a missing file leaves the slot
// unused (its save time kept); a readable file makes it used with the file's
// save time; a file that exists but cannot be read (damaged) makes it used
// with a zero save time, and a report line names it, so the player sees the
// slot is taken and is told why it does not load.
void ScanStorySlots(cSafeVector<cSlotInfo>& slots);

// The save date of a used slot as the list shows it, "%04d/%02d/%02d %02d:%02d\n"
// (year, month, day, hour, minute); "" for a slot that is not used.
std::string FormatSlotDate(const cSlotInfo& slot);

// What the slot window is made of: a window box of the 16-dot font, 320 dots
// wide and one 16-dot row per entry; under every row but the last a separator
// line of palette colour 240, 320 by 1 dots; on each row the slot number ("%d",
// first + i + 1) at x + 16 and the save date at x + 64. Rows stop at the end of
// the slot list (the separator under the row where they stop is still there).
// DrawSlotList draws it.
struct cSlotListRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const cSlotListRect&) const = default;
};
struct cSlotListText {
  int x = 0;
  int y = 0;
  std::string text;
  bool operator==(const cSlotListText&) const = default;
};
struct cSlotListLayout {
  cSlotListRect box;
  std::vector<cSlotListRect> separators;  // filled with kSlotSeparatorColour
  std::vector<cSlotListText> texts;       // 16-dot font, in drawing order
};
inline constexpr int kSlotSeparatorColour = 240;
inline constexpr int kSlotListWidth = 320;
inline constexpr int kSlotRowHeight = 16;

cSlotListLayout LayoutSlotList(int x, int y, const cSafeVector<cSlotInfo>& slots, int first, int count);
// The slot window on the surface: the 16-dot font's box, the separators,
// then the numbers and dates in that font.
void DrawSlotList(DDSURFACEDATA* lpDst, int x, int y, const cSafeVector<cSlotInfo>& slots, int first, int count);
