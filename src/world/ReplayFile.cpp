#include "world/ReplayFile.h"

#include "core/AppMessages.h"
#include "core/MainWindow.h"
#include "core/PathUtil.h"
#include "core/RequestFlags.h"
#include "core/SoundRequest.h"
#include "data/DataRecord.h"
#include "data/Progress.h"
#include "data/SystemData.h"
#include "platform/KeySource.h"
#include "platform/MessageCore.h"
#include "platform/PathResolver.h"
#include "world/MainWindowRequest.h"
#include "world/ReplayInput.h"
#include "world/SystemSounds.h"

namespace {

// Calls between two refusal sounds.
constexpr int kRefusalCooldown = 60;
// The highest digit of a proposed name's number.
constexpr int kLastNameDigit = 8;

// A file request to the main window, waited for (MainWindowRequest.h).
void SendFileRequest(UINT message, WPARAM wParam) { SendMainWindowRequest(g_FileRequestDone, message, wParam); }

}  // namespace

std::string ProposeReplayFileName(std::string_view stageName, const cProgress& progress) {
  if (stageName.empty()) return {};
  std::string base(stageName);
  StripDirectory(base);
  base = kReplayFolder + base;
  if (progress.m_bVariant != 0) {
    MakeDerivedStageName(base, progress.m_bVariant, progress.m_nVariantVar, progress.m_nVariantValue);
  }
  ChangeExtension(base, base, kReplayExtension);
  std::string candidate;
  for (int a = 0; a <= kLastNameDigit; ++a) {
    for (int b = 0; b <= kLastNameDigit; ++b) {
      candidate = base;
      InsertDigits(candidate, base, a, b);
      if (!plat::FileExists(candidate) && !plat::DirectoryExists(candidate)) return candidate;
    }
  }
  return candidate;  // every name is taken: the last one, _88
}

int ChooseReplayFileName(std::string& name, std::string_view stageName, const tReplaySaveDialog& saveDialog) {
  name = ProposeReplayFileName(stageName, g_Progress);
  return saveDialog && saveDialog(name) ? 1 : 0;
}

int RequestReplaySave(bool replayPlaying) {
  if (replayPlaying || g_System.m_bReplay == 0) return 0;
  if (g_ReplayWarnCooldown > 0) --g_ReplayWarnCooldown;
  int which = 0;
  if (plat::IsKeyHeld(plat::VK_F1)) {
    which = 0;
  } else if (plat::IsKeyHeld(plat::VK_F2)) {
    which = 1;
  } else {
    return 0;
  }
  const cReplayInput& recording = which == 0 ? g_ReplayRec : g_ReplayPrev;
  if (recording.m_DirWords.empty()) {
    if (g_ReplayWarnCooldown <= 0) {
      PlaySystemSound(kSoundRefused);
      g_ReplayWarnCooldown = kRefusalCooldown;
    }
    return 0;
  }
  PlaySystemSound(kSoundDecide);
  SendFileRequest(WM_APP_SAVE_REPLAY, static_cast<WPARAM>(which));
  return 1;
}

int RequestReplayOpen() {
  SendFileRequest(WM_APP_OPEN_REPLAY, 0);
  return g_FileRequestDone.load() != 0 && g_FileRequestResult.load() != 0 ? 1 : 0;
}
