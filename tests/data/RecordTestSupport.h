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
#include "support/TempFolder.h"

namespace recordtest {

// The test's own working folder, with the report written into it.
class cTempFolder : public testsupport::cTempFolder {
 public:
  cTempFolder() : testsupport::cTempFolder("kestrova_data", kMakeWorkingFolder) {
    ResetLogsForTests();
    ReportInit("Report_Game.txt");
  }
  ~cTempFolder() { ResetLogsForTests(); }
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
