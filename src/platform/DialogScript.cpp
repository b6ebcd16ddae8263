#include "platform/DialogScript.h"

#include <atomic>
#include <deque>
#include <mutex>

namespace plat {

namespace {

std::mutex g_ScriptMutex;
std::deque<sDialogInput> g_Queue;
std::atomic<bool> g_ScriptOnly{false};

}  // namespace

sDialogInput sDialogInput::KeyPress(int virtualKey, bool shift) {
  sDialogInput input;
  input.kind = eDialogInput::Key;
  input.key = virtualKey;
  input.shift = shift;
  return input;
}

sDialogInput sDialogInput::Typed(std::string utf8) {
  sDialogInput input;
  input.kind = eDialogInput::Text;
  input.text = std::move(utf8);
  return input;
}

sDialogInput sDialogInput::Composing(std::string utf8) {
  sDialogInput input;
  input.kind = eDialogInput::Composition;
  input.text = std::move(utf8);
  return input;
}

sDialogInput sDialogInput::ClickAt(int x, int y, bool doubleClick) {
  sDialogInput input;
  input.kind = doubleClick ? eDialogInput::DoubleClick : eDialogInput::Click;
  input.x = x;
  input.y = y;
  return input;
}

sDialogInput sDialogInput::Answer(eDialogAnswer answer, std::string text) {
  sDialogInput input;
  input.kind = eDialogInput::Answer;
  input.answer = answer;
  input.text = std::move(text);
  return input;
}

void PushDialogInput(sDialogInput input) {
  const std::lock_guard<std::mutex> lock(g_ScriptMutex);
  g_Queue.push_back(std::move(input));
}

bool TakeDialogInput(sDialogInput* input) {
  const std::lock_guard<std::mutex> lock(g_ScriptMutex);
  if (g_Queue.empty()) return false;
  *input = std::move(g_Queue.front());
  g_Queue.pop_front();
  return true;
}

bool HasDialogInput() {
  const std::lock_guard<std::mutex> lock(g_ScriptMutex);
  return !g_Queue.empty();
}

void ClearDialogScript() {
  const std::lock_guard<std::mutex> lock(g_ScriptMutex);
  g_Queue.clear();
  g_ScriptOnly.store(false);
}

void SetDialogScriptOnly(bool on) { g_ScriptOnly.store(on); }
bool IsDialogScriptOnly() { return g_ScriptOnly.load(); }

}  // namespace plat
