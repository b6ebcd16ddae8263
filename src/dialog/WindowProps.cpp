#include "dialog/WindowProps.h"

#include <map>
#include <string>
#include <utility>

namespace {

std::map<std::pair<HWND, std::string>, void*>& Props() {
  static std::map<std::pair<HWND, std::string>, void*> props;
  return props;
}

}  // namespace

bool SetProp(HWND window, const char* name, void* value) {
  if (window == nullptr || name == nullptr) return false;
  Props()[{window, name}] = value;
  return true;
}

void* GetProp(HWND window, const char* name) {
  if (window == nullptr || name == nullptr) return nullptr;
  const auto found = Props().find({window, name});
  return found != Props().end() ? found->second : nullptr;
}

void* RemoveProp(HWND window, const char* name) {
  if (window == nullptr || name == nullptr) return nullptr;
  const auto found = Props().find({window, name});
  if (found == Props().end()) return nullptr;
  void* value = found->second;
  Props().erase(found);
  return value;
}

void RemoveAllProps(HWND window) {
  std::erase_if(Props(), [window](const auto& entry) { return entry.first.first == window; });
}

void ResetWindowPropsForTests() { Props().clear(); }
