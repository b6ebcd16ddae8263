#include "world/ReplayInput.h"

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "core/StringUtil.h"
#include "data/Progress.h"
#include "data/StageData.h"
#include "world/KeyInput.h"

namespace {

// The first file version that ends with the progress record.
constexpr int kReplayProgressVersion = 173;

const char* const kReplayLoadFailedText = "リプレイファイル %s の読み込みに失敗しました！";

// One channel's runs against its words: as many of each, every run a frame or
// more. Empty when they agree, else what is wrong.
std::string ChannelProblem(const char* channel, const cSafeVector<uint16_t>& words, const cSafeVector<int32_t>& runs) {
  if (words.size() != runs.size()) {
    return FormatText("%zu %s words but %zu runs", words.size(), channel, runs.size());
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (runs[static_cast<int>(i)] < 1) {
      return FormatText("%s run %zu lasts %d frames", channel, i, runs[static_cast<int>(i)]);
    }
  }
  return {};
}

// Appends a frame of `word` to one channel.
void RecordWord(cSafeVector<uint16_t>& words, cSafeVector<int32_t>& runs, uint16_t word) {
  if (!words.empty() && words.back() == word && !runs.empty() && runs.back() < INT32_MAX) {
    ++runs.back();
    return;
  }
  words.push_back(word);
  runs.push_back(1);
}

// Plays a frame of one channel into `word`; false when the channel is spent.
bool PlayWord(const cSafeVector<uint16_t>& words, const cSafeVector<int32_t>& runs, int32_t& position,
              int32_t& played, uint16_t& word) {
  if (position < 0 || position >= static_cast<int>(words.size()) || position >= static_cast<int>(runs.size())) {
    return false;
  }
  word = words[position];
  if (++played >= runs[position]) {
    played = 0;
    ++position;
  }
  return true;
}

}  // namespace

cReplayInput::cReplayInput() { Clear(); }

cReplayInput::cReplayInput(const cReplayInput& other)
    : cDataRecord(other),
      m_DirWords(other.m_DirWords),
      m_ButtonWords(other.m_ButtonWords),
      m_DirRuns(other.m_DirRuns),
      m_ButtonRuns(other.m_ButtonRuns),
      m_Seed(other.m_Seed),
      m_nFileVersion(other.m_nFileVersion) {}

cReplayInput& cReplayInput::operator=(const cReplayInput& other) {
  if (&other == this) return *this;
  cDataRecord::operator=(other);
  m_DirWords = other.m_DirWords;
  m_ButtonWords = other.m_ButtonWords;
  m_DirRuns = other.m_DirRuns;
  m_ButtonRuns = other.m_ButtonRuns;
  m_Seed = other.m_Seed;
  m_nFileVersion = other.m_nFileVersion;
  return *this;
}

void cReplayInput::RegisterMembers(int /*nVersion*/) {
  ClearMembers();
  RegisterInt(m_Seed);
}

bool cReplayInput::Read(cByteReader& in) {
  if (!cDataRecord::Read(in)) return false;
  cSafeVector<uint16_t> dirWords;
  cSafeVector<uint16_t> buttonWords;
  cSafeVector<int32_t> dirRuns;
  cSafeVector<int32_t> buttonRuns;
  if (!ReadValueList(in, dirWords) || !ReadValueList(in, buttonWords) || !ReadValueList(in, dirRuns) ||
      !ReadValueList(in, buttonRuns)) {
    return false;
  }
  std::string problem = ChannelProblem("direction", dirWords, dirRuns);
  if (problem.empty()) problem = ChannelProblem("button", buttonWords, buttonRuns);
  if (!problem.empty()) {
    in.Fail(problem);
    return false;
  }
  m_DirWords = std::move(dirWords);
  m_ButtonWords = std::move(buttonWords);
  m_DirRuns = std::move(dirRuns);
  m_ButtonRuns = std::move(buttonRuns);
  ResetPlayback();
  return true;
}

void cReplayInput::Write(cByteWriter& out) {
  cDataRecord::Write(out);
  WriteValueList(out, m_DirWords);
  WriteValueList(out, m_ButtonWords);
  WriteValueList(out, m_DirRuns);
  WriteValueList(out, m_ButtonRuns);
}

void cReplayInput::Clear() {
  cDataRecord::Clear();
  m_DirWords.clear();
  m_ButtonWords.clear();
  m_DirRuns.clear();
  m_ButtonRuns.clear();
  m_nFileVersion = 0;
  ResetPlayback();
}

bool cReplayInput::HoldsStartLives() const { return m_nFileVersion >= kReplayProgressVersion; }

bool cReplayInput::HoldsCarriedStart() const { return m_nFileVersion >= kHeroStartVersion; }

void cReplayInput::ResetPlayback() {
  m_DirPos = 0;
  m_ButtonPos = 0;
  m_DirPlayed = 0;
  m_ButtonPlayed = 0;
}

void cReplayInput::RecordFrame(const cKeyInput& keys) {
  RecordWord(m_DirWords, m_DirRuns, keys.m_Dir);
  RecordWord(m_ButtonWords, m_ButtonRuns, keys.m_Buttons);
}

int cReplayInput::PlayFrame(cKeyInput& keys) {
  const auto spent = [](int32_t position, const cSafeVector<uint16_t>& words) {
    return position >= static_cast<int>(words.size());
  };
  if (spent(m_DirPos, m_DirWords) || spent(m_ButtonPos, m_ButtonWords)) return 1;
  uint16_t dir = keys.m_Dir;
  uint16_t buttons = keys.m_Buttons;
  if (!PlayWord(m_DirWords, m_DirRuns, m_DirPos, m_DirPlayed, dir)) return 1;
  if (!PlayWord(m_ButtonWords, m_ButtonRuns, m_ButtonPos, m_ButtonPlayed, buttons)) return 1;
  keys.m_Dir = dir;
  keys.m_Buttons = buttons;
  return 0;
}

std::int64_t cReplayInput::FrameCount() const {
  std::int64_t frames = 0;
  for (int32_t run : m_DirRuns) frames += run;
  return frames;
}

// ---- files -------------------------------------------------------------------------

std::vector<std::uint8_t> cReplayInput::MakeFileBytes(cStageData& stage, cStageData& asStarted, cProgress& progress) {
  cByteWriter out;
  BeginDataWrite(out);
  stage.SaveForReplay(out, asStarted);
  Write(out);
  progress.Write(out);
  return out.TakeBytes();
}

int cReplayInput::SaveFile(std::string_view path, cStageData& stage, cStageData& asStarted, cProgress& progress) {
  if (!SaveIsTrusted(path)) return 0;
  return SaveDataFile(path, MakeFileBytes(stage, asStarted, progress)) ? 1 : 0;
}

int cReplayInput::LoadFromReader(cByteReader& in, std::string_view name, int previousVersion, cStageData& stage,
                                 cStageData& target, cProgress& progress) {
  // Everything is read into fresh records first: a file that fails anywhere
  // changes nothing.
  cStageData readStage;
  cReplayInput readKeys;
  cProgress readProgress(progress);
  bool read = readStage.Read(in);
  if (read && !readStage.HasHero()) in.Fail("the stage has no hero");
  read = read && !in.Failed() && readKeys.Read(in);
  const bool hasProgress = in.Version() >= kReplayProgressVersion;
  if (read && hasProgress) read = readProgress.Read(in);
  if (!read || in.Failed()) {
    ReportDataReadFailure(in, name);
    g_ReadVersion = previousVersion;
    return 0;
  }
  stage = std::move(readStage);
  target.CopyStartParts(stage);
  target.ClearDefinitionLists();
  *this = readKeys;
  m_nFileVersion = in.Version();
  ResetPlayback();
  if (hasProgress) progress = std::move(readProgress);
  return 1;
}

int cReplayInput::LoadFromBytes(std::span<const std::uint8_t> bytes, std::string_view name, cStageData& stage,
                                cStageData& target, cProgress& progress) {
  const int previousVersion = g_ReadVersion;
  cByteReader in(bytes);
  if (!BeginDataRead(in, name)) return 0;
  return LoadFromReader(in, name, previousVersion, stage, target, progress);
}

int cReplayInput::LoadFile(std::string_view path, cStageData& stage, cStageData& target, cProgress& progress) {
  // The path may be the stage's own, which the read replaces: keep a copy.
  const std::string file(path);
  const int previousVersion = g_ReadVersion;
  cByteReader in;
  int loaded = 0;
  if (OpenDataRead(file, in)) loaded = LoadFromReader(in, file, previousVersion, stage, target, progress);
  // Every restart of the replay reads the file named by the stage again.
  if (loaded != 0) stage.m_Path = file;
  // A missing file fails the reader nothing: the caller tells of it.
  if (loaded == 0 && in.Failed()) ErrorBoxf(kReplayLoadFailedText, file.c_str());
  return loaded;
}
