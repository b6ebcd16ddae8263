#include "SampleFiles.h"

#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/PathResolver.h"

namespace samplegame {

bool WriteSampleFiles(const std::filesystem::path& workingFolder, const std::vector<cSampleFile>& files,
                      std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(workingFolder, ec);
  if (ec) {
    error = "cannot create " + workingFolder.string() + ": " + ec.message();
    return false;
  }
  const std::string rootProgramPath = plat::ProgramPath(std::filesystem::absolute(workingFolder).string());
  for (const cSampleFile& file : files) {
    const std::filesystem::path native = plat::NativePath(rootProgramPath + "\\" + file.m_strPath);
    std::filesystem::create_directories(native.parent_path(), ec);
    if (ec) {
      error = "cannot create " + native.parent_path().string() + ": " + ec.message();
      return false;
    }
    std::string reason;
    if (!plat::WriteFileAtomically(native.string(), file.m_Bytes, &reason)) {
      error = "cannot write " + native.string() + ": " + reason;
      return false;
    }
  }
  return true;
}

}  // namespace samplegame
