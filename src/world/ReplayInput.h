#pragma once
// cReplayInput: the replay key record. An attempt at a stage replays exactly
// from the stage as it started, the attempt's random seed, the progress record
// at its start and the key words the hero's input device produced frame by
// frame, since the simulation is driven by nothing else. The two 16-bit words
// of cKeyInput, the direction word and the button word, are kept as two
// independent run-length channels: a held key costs one run count, and
// directions and buttons do not multiply each other's runs.
//
// Record form (the key record inside a replay file):
//   u32 1, i32 seed, u32 0              (the record base: one member, no string)
//   u32 n, n u16: the direction words   u32 n, n u16: the button words
//   u32 n, n i32: the direction runs    u32 n, n i32: the button runs
// Each channel has as many runs as words and every run is at least one frame;
// a key record that breaks this is refused.
//
// A replay file ("user_data\rpl4\<stem>_<a><b>.rpl4_781"), little-endian:
//   u32 data version; the stage as written for replays
//   (cStageData::SaveForReplay: the header, rank flags, areas, layers and
//   variable names of the stage as it started, its palette and placement
//   lists as played, the trailer); the key record; the progress record at
//   the attempt's start (cProgress), which files of version 172 and older
//   lack.
//
// Two recordings are kept: g_ReplayRec, the running attempt's (or the replay
// being played back), and g_ReplayPrev, the previous attempt's, each with the
// progress record of its start (g_ReplayRecProgress, g_ReplayPrevProgress,
// data/Progress.h). The game thread records and plays; files are written and
// read on the main thread while the requesting thread waits.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

class cKeyInput;
class cProgress;
class cStageData;

class cReplayInput : public cDataRecord {
 public:
  // Empty lists, seed 0, play counters 0.
  cReplayInput();
  // A copy takes the four lists and the seed; its play counters start at 0.
  cReplayInput(const cReplayInput& other);
  cReplayInput& operator=(const cReplayInput& other);

  // The seed, at every version; no strings.
  void RegisterMembers(int nVersion) override;
  // The key record. Refused (false, with the reason in the reader) when a
  // channel's runs and words differ in number or a run is below one frame;
  // the record then keeps its lists as they were.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  // Seed 0, the four lists emptied, the play counters 0.
  void Clear();

  // Appends one frame of the key input's direction and button words: a word
  // equal to its channel's last word lengthens the last run, any other word
  // starts a run of 1.
  void RecordFrame(const cKeyInput& keys);
  // Writes one frame's words into the key input's direction and button words
  // and returns 0; returns 1, writing nothing, once either channel has played
  // all its runs. A recording of F frames plays F frames.
  int PlayFrame(cKeyInput& keys);
  // Frames recorded on the direction channel.
  std::int64_t FrameCount() const;

  // What the progress record of the file this record was last read from
  // holds of its attempt's start: the lives it began with (files of version
  // 173 and later) and its carried start position (678 and later). A
  // recording, or a record read from an older file, holds neither.
  bool HoldsStartLives() const;
  bool HoldsCarriedStart() const;

  // The bytes of a replay file of this recording: `stage` as played with
  // `asStarted` (SaveForReplay), the key record, `progress`.
  std::vector<std::uint8_t> MakeFileBytes(cStageData& stage, cStageData& asStarted, cProgress& progress);
  // Writes the replay file through the atomic writer: 1 when it was written,
  // 0 (with a report line) when it could not be, or when a checked container
  // has failed in this process (SaveIsTrusted).
  int SaveFile(std::string_view path, cStageData& stage, cStageData& asStarted, cProgress& progress);

  // Reads a replay file: 1 when it was read whole; 0 when it is missing, or
  // when it is damaged (a report line and the box "リプレイファイル %s の読み込みに
  // 失敗しました！"): a bad version, a stage that does not read (its trailer
  // included), a stage without a hero, a refused key record, or a progress
  // record that does not read. Only a successful read changes anything: then
  // `stage` is the replay's stage, `target` gets its start parts with empty
  // definition lists (as a stage load gives it), this record the key record
  // (play counters 0), `progress` the progress record (files of version 173
  // and later), and g_ReadVersion the file's version, which every restart of
  // the replay reads it with again. The stage's path becomes `path`, so that
  // reading again through the stage's own path works any number of times.
  int LoadFile(std::string_view path, cStageData& stage, cStageData& target, cProgress& progress);
  // The same from the bytes of a file, with the report line but no box;
  // `name` labels the report line.
  int LoadFromBytes(std::span<const std::uint8_t> bytes, std::string_view name, cStageData& stage,
                    cStageData& target, cProgress& progress);

  // ---- members, in order ----
  cSafeVector<uint16_t> m_DirWords;
  cSafeVector<uint16_t> m_ButtonWords;
  cSafeVector<int32_t> m_DirRuns;
  cSafeVector<int32_t> m_ButtonRuns;
  int32_t m_Seed = 0;
  // Playback: the run being played and the frames of it already played.
  int32_t m_DirPos = 0;
  int32_t m_ButtonPos = 0;
  int32_t m_DirPlayed = 0;
  int32_t m_ButtonPlayed = 0;
  // The data version of the file the record was read from; 0 for a recording.
  int32_t m_nFileVersion = 0;

 private:
  void ResetPlayback();
  // The file after its version word; `previousVersion` comes back into
  // g_ReadVersion when it fails.
  int LoadFromReader(cByteReader& in, std::string_view name, int previousVersion, cStageData& stage,
                     cStageData& target, cProgress& progress);
};

// The recordings of the running and of the previous attempt. Defined with
// every global object in app/Globals.cpp.
extern cReplayInput g_ReplayRec;
extern cReplayInput g_ReplayPrev;
