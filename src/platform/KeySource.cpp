#include "platform/KeySource.h"

namespace plat {
namespace {

std::atomic<cKeySource*> g_KeySource{nullptr};

bool IsVirtualKey(int virtualKey) { return virtualKey > 0 && virtualKey < kVirtualKeyCount - 1; }

bool IsJoystickIndex(int index) { return index >= 0 && index < kMaxJoysticks; }

}  // namespace

void SetKeySource(cKeySource* source) { g_KeySource.store(source); }

cKeySource* GetKeySource() { return g_KeySource.load(); }

bool IsKeyHeld(int virtualKey) {
  cKeySource* source = g_KeySource.load();
  return source != nullptr && source->IsKeyHeld(virtualKey);
}

int ReadJoystick(int index, sJoyReading& reading) {
  cKeySource* source = g_KeySource.load();
  return source != nullptr ? source->ReadJoystick(index, reading) : 1;
}

// ---- scripted ------------------------------------------------------------------

cScriptedKeySource::cScriptedKeySource() {
  for (std::atomic<bool>& key : m_Keys) key.store(false);
}

void cScriptedKeySource::SetKey(int virtualKey, bool held) {
  if (IsVirtualKey(virtualKey)) m_Keys[static_cast<std::size_t>(virtualKey)].store(held);
}

void cScriptedKeySource::ReleaseAllKeys() {
  for (std::atomic<bool>& key : m_Keys) key.store(false);
}

void cScriptedKeySource::SetJoystick(int index, const sJoyReading& reading) {
  if (!IsJoystickIndex(index)) return;
  std::lock_guard lock(m_JoystickMutex);
  m_Attached[static_cast<std::size_t>(index)] = true;
  m_Readings[static_cast<std::size_t>(index)] = reading;
}

void cScriptedKeySource::RemoveJoystick(int index) {
  if (!IsJoystickIndex(index)) return;
  std::lock_guard lock(m_JoystickMutex);
  m_Attached[static_cast<std::size_t>(index)] = false;
}

bool cScriptedKeySource::IsKeyHeld(int virtualKey) {
  return IsVirtualKey(virtualKey) && m_Keys[static_cast<std::size_t>(virtualKey)].load();
}

int cScriptedKeySource::ReadJoystick(int index, sJoyReading& reading) {
  m_JoystickReads.fetch_add(1);
  if (!IsJoystickIndex(index)) return 1;
  std::lock_guard lock(m_JoystickMutex);
  if (!m_Attached[static_cast<std::size_t>(index)]) return 1;
  reading = m_Readings[static_cast<std::size_t>(index)];
  return 0;
}

}  // namespace plat
