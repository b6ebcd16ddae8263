#pragma once
// Pieces shared by the record-format tests: a temporary working folder, the
// report captured in it, and file helpers.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Log.h"

namespace recordtest {

// Makes a fresh folder the working folder, with the report written into it,
// and restores the previous working folder afterwards.
class cTempFolder {
 public:
  cTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrova_data_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_Folder = pattern;
    m_Previous = std::filesystem::current_path();
    std::filesystem::current_path(m_Folder);
    ResetLogsForTests();
    ReportInit("Report_Game.txt");
  }
  ~cTempFolder() {
    ResetLogsForTests();
    std::error_code ec;
    std::filesystem::current_path(m_Previous, ec);
    std::filesystem::remove_all(m_Folder, ec);
  }
  cTempFolder(const cTempFolder&) = delete;
  cTempFolder& operator=(const cTempFolder&) = delete;

  const std::filesystem::path& Native() const { return m_Folder; }

 private:
  std::filesystem::path m_Folder;
  std::filesystem::path m_Previous;
};

inline std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  const std::string text = ReadFileText(path);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReportText() { return ReadFileText("Report_Game.txt"); }

}  // namespace recordtest
