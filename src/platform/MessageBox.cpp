#include "platform/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/TextCodec.h"

namespace plat {
namespace {

constexpr UINT kButtonTypeMask = 0x000F;
constexpr UINT kIconMask = 0x00F0;

struct cButton {
  int id;
  const char* label;  // UTF-8
  const char* answerName;  // the name KESTROVA_MESSAGEBOX_ANSWER uses
};

const char* Utf8Label(const char8_t* text) { return reinterpret_cast<const char*>(text); }

const cButton kOk{IDOK, Utf8Label(u8"OK"), "ok"};
const cButton kCancel{IDCANCEL, Utf8Label(u8"キャンセル"), "cancel"};
const cButton kYes{IDYES, Utf8Label(u8"はい"), "yes"};
const cButton kNo{IDNO, Utf8Label(u8"いいえ"), "no"};

// The buttons of the box, the default (Return) one first and the one Escape
// answers last. Types we do not know show a single OK button.
std::vector<cButton> ButtonsOf(UINT type) {
  switch (type & kButtonTypeMask) {
    case MB_OKCANCEL:
      return {kOk, kCancel};
    case MB_YESNO:
      return {kYes, kNo};
    default:
      return {kOk};
  }
}

std::mutex g_SinkMutex;
std::shared_ptr<const MessageBoxSink> g_Sink;

// Boxes from several threads are shown one after the other.
std::mutex g_ShowMutex;

std::shared_ptr<const MessageBoxSink> g_Overlay;

std::shared_ptr<const MessageBoxSink> CurrentSink() {
  std::lock_guard lock(g_SinkMutex);
  return g_Sink;
}

std::shared_ptr<const MessageBoxSink> CurrentOverlay() {
  std::lock_guard lock(g_SinkMutex);
  return g_Overlay;
}

void Install(std::shared_ptr<const MessageBoxSink>& slot, MessageBoxSink function) {
  std::shared_ptr<const MessageBoxSink> installed;
  if (function) installed = std::make_shared<const MessageBoxSink>(std::move(function));
  // The old one is released after the lock, in case its destruction shows a box.
  std::lock_guard lock(g_SinkMutex);
  slot.swap(installed);
}

bool HasEnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0';
}

bool DisplayPossible() {
  if (!HasEnvironmentValue("DISPLAY") && !HasEnvironmentValue("WAYLAND_DISPLAY")) return false;
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  return driver == nullptr || std::string_view(driver) != "dummy";
}

Uint32 SdlIconFlag(UINT type) {
  switch (type & kIconMask) {
    case MB_ICONERROR:
      return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
      return SDL_MESSAGEBOX_WARNING;
    default:
      return SDL_MESSAGEBOX_INFORMATION;
  }
}

// The answer of an SDL box; nullopt when SDL could not show it.
std::optional<int> ShowSdlBox(const std::string& text, const std::string& caption, UINT type,
                              const std::vector<cButton>& buttons) {
  std::vector<SDL_MessageBoxButtonData> sdlButtons;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    Uint32 flags = 0;
    if (i == 0) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    if (i + 1 == buttons.size()) flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    sdlButtons.push_back({flags, buttons[i].id, buttons[i].label});
  }
  SDL_MessageBoxData data{};
  data.flags = SdlIconFlag(type);
  data.window = nullptr;
  data.title = caption.c_str();
  data.message = text.c_str();
  data.numbuttons = static_cast<int>(sdlButtons.size());
  data.buttons = sdlButtons.data();

  int answer = -1;
  {
    std::lock_guard lock(g_ShowMutex);
    if (SDL_ShowMessageBox(&data, &answer) != 0) return std::nullopt;
  }
  // Closing the box without a button counts as the Escape button.
  if (answer < 0) answer = buttons.back().id;
  return answer;
}

// `a` folded to lower case (A-Z only) against `b`, which is lower case.
bool MatchesLowerCaseName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

// The answer named by KESTROVA_MESSAGEBOX_ANSWER when the box has that button,
// otherwise the box's first button.
int ScriptedAnswer(const std::vector<cButton>& buttons) {
  if (const char* wanted = std::getenv("KESTROVA_MESSAGEBOX_ANSWER")) {
    for (const cButton& button : buttons) {
      if (MatchesLowerCaseName(wanted, button.answerName)) return button.id;
    }
  }
  return buttons.front().id;
}

}  // namespace

int MessageBox(const std::string& text, const std::string& caption, UINT type) {
  if (const std::shared_ptr<const MessageBoxSink> sink = CurrentSink()) return (*sink)(text, caption, type);
  if (const std::shared_ptr<const MessageBoxSink> overlay = CurrentOverlay()) {
    if (const int answer = (*overlay)(text, caption, type); answer != 0) return answer;
  }

  const std::vector<cButton> buttons = ButtonsOf(type);
  const std::string utf8Text = Cp932ToUtf8(text);
  const std::string utf8Caption = Cp932ToUtf8(caption);
  if (DisplayPossible()) {
    if (std::optional<int> answer = ShowSdlBox(utf8Text, utf8Caption, type, buttons)) return *answer;
  }
  std::fprintf(stderr, "%s: %s\n", utf8Caption.c_str(), utf8Text.c_str());
  std::fflush(stderr);
  return ScriptedAnswer(buttons);
}

bool HasDisplay() { return DisplayPossible(); }

void SetMessageBoxSink(MessageBoxSink sink) { Install(g_Sink, std::move(sink)); }

void SetMessageBoxOverlay(MessageBoxSink overlay) { Install(g_Overlay, std::move(overlay)); }

}  // namespace plat
