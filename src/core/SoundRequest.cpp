#include "core/SoundRequest.h"

#include "core/AppMessages.h"
#include "core/MainWindow.h"
#include "platform/MessageCore.h"

namespace {
constexpr int kFirstDataSoundSlot = 16;
}  // namespace

void PlaySystemSound(int slot) {
  plat::SendMessage(g_hMainWnd.load(), WM_APP_PLAY_SOUND, static_cast<WPARAM>(slot), 0);
}

void PlayDataSound(std::int16_t number) {
  if (number == 0) return;
  PlaySystemSound(number + kFirstDataSoundSlot);
}
