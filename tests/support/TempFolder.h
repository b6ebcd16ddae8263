#pragma once
// A fresh folder under the system temporary folder for one test, removed with
// everything in it when the object goes. A working-folder object also makes
// it the current folder and puts the previous one back before the removal,
// since the player resolves its paths against the current folder.

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace testsupport {

class cTempFolder {
 public:
  enum eUse { kJustMake, kMakeWorkingFolder };

  explicit cTempFolder(const std::string& prefix, eUse use = kJustMake) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
    m_Folder = pattern;
    if (use == kMakeWorkingFolder) {
      m_Previous = std::filesystem::current_path();
      std::filesystem::current_path(m_Folder);
    }
  }
  ~cTempFolder() {
    std::error_code ec;
    if (!m_Previous.empty()) std::filesystem::current_path(m_Previous, ec);
    std::filesystem::remove_all(m_Folder, ec);
  }
  cTempFolder(const cTempFolder&) = delete;
  cTempFolder& operator=(const cTempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_Folder; }

 private:
  std::filesystem::path m_Folder;
  std::filesystem::path m_Previous;  // empty unless the folder was entered
};

}  // namespace testsupport
