#include "sound/MidiOut.h"

#include <algorithm>
#include <string>

#include "core/PathUtil.h"

void cMidiOut::SetChannels(int count) { m_Players.resize(static_cast<std::size_t>(std::max(count, 0))); }

bool cMidiOut::PlayFile(int channel, std::string_view path, int loop) {
  StopAll(1);
  for (std::unique_ptr<cMidiStream>& player : m_Players) player.reset();
  std::string extension;
  if (!GetExtension(extension, path) || extension != "mid") return false;
  if (channel < 0 || static_cast<std::size_t>(channel) >= m_Players.size()) return false;
  std::unique_ptr<cMidiStream>& player = m_Players[static_cast<std::size_t>(channel)];
  player = std::make_unique<cMidiStream>(path);
  if (!player->HasImage()) return false;
  player->Play(loop);
  return true;
}

void cMidiOut::StopAll(int pause) {
  for (const std::unique_ptr<cMidiStream>& player : m_Players) {
    if (player) player->Stop(pause);
  }
}

void cMidiOut::Release() {
  for (std::unique_ptr<cMidiStream>& player : m_Players) player.reset();
  m_Players.clear();
}

cMidiStream* cMidiOut::Player(int channel) const {
  if (channel < 0 || static_cast<std::size_t>(channel) >= m_Players.size()) return nullptr;
  return m_Players[static_cast<std::size_t>(channel)].get();
}
