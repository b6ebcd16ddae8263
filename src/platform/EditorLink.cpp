#include "platform/EditorLink.h"

#include <atomic>

#include "platform/MessageCore.h"

namespace plat {
namespace {

// The process registers no window under the editor's class, so the search
// over its own windows never finds one.
class cLocalEditorLink final : public cEditorLink {
 public:
  HWND FindEditorWindow(const std::string&, const std::string&) override { return nullptr; }
  LRESULT SendCopyData(HWND editor, HWND sender, const COPYDATASTRUCT& data) override {
    return SendMessage(editor, WM_COPYDATA, reinterpret_cast<WPARAM>(sender), reinterpret_cast<LPARAM>(&data));
  }
};

cLocalEditorLink g_LocalLink;
std::atomic<cEditorLink*> g_Link{nullptr};

}  // namespace

void SetEditorLink(cEditorLink* link) { g_Link.store(link); }

cEditorLink& EditorLink() {
  cEditorLink* link = g_Link.load();
  return link != nullptr ? *link : g_LocalLink;
}

bool NotifyEditorWindow(const std::string& className, const std::string& title, HWND sender,
                        std::uint32_t dwData, std::int32_t value) {
  cEditorLink& link = EditorLink();
  const HWND editor = link.FindEditorWindow(className, title);
  if (editor == nullptr) return false;
  COPYDATASTRUCT data;
  data.dwData = dwData;
  data.cbData = sizeof(value);
  data.lpData = &value;
  link.SendCopyData(editor, sender, data);
  return true;
}

}  // namespace plat
