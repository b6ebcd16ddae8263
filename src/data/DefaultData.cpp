#include "data/DefaultData.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "core/ErrorBox.h"
#include "core/Log.h"
#include "data/PathTable.h"
#include "platform/PathResolver.h"

namespace fs = std::filesystem;

namespace {

// The Linux path of a folder entry of the path table, without its final
// separator ("data\" -> "data"), so that it names the folder itself.
fs::path FolderPath(const char* programPath) {
  std::string native = plat::NativePath(programPath);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return fs::path(native);
}

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// True when anything (file, folder, link, even a dangling one) has this name.
bool SomethingExists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

bool AskToCreate() {
  return ShowMessageBox("データが存在しません！デフォルトデータを作成しますか？\n", "デフォルトデータ作成の確認", MB_YESNO) ==
         IDYES;
}

void ReportCopyFailure(const fs::path& path, const std::string& reason) {
  ReportPrintfLog("CreateDefaultData : %s : %s", path.c_str(), reason.c_str());
}

// Copies one entry of the source tree (links are followed: their target is
// copied). Anything that is neither a file nor a folder cannot be copied
// faithfully and fails the whole copy.
bool CopyEntry(const fs::directory_entry& entry, const fs::path& dest) {
  std::error_code ec;
  const fs::file_status status = entry.status(ec);
  if (ec) {
    ReportCopyFailure(entry.path(), ec.message());
    return false;
  }
  if (fs::is_directory(status)) {
    if (entry.is_symlink(ec)) fs::copy(entry.path(), dest, fs::copy_options::recursive, ec);
    else fs::create_directories(dest, ec);
  } else if (fs::is_regular_file(status)) {
    fs::copy_file(entry.path(), dest, fs::copy_options::none, ec);
  } else {
    ReportCopyFailure(entry.path(), "neither a file nor a folder");
    return false;
  }
  if (ec) ReportCopyFailure(entry.path(), ec.message());
  return !ec;
}

bool CopyTree(const fs::path& source, const fs::path& target) {
  std::error_code ec;
  fs::create_directory(target, ec);
  if (ec) {
    ReportCopyFailure(target, ec.message());
    return false;
  }
  fs::recursive_directory_iterator it(source, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path dest = target / it->path().lexically_relative(source);
    if (!CopyEntry(*it, dest)) return false;
  }
  if (ec) ReportCopyFailure(source, ec.message());
  return !ec;
}

// Copies the source folder to a scratch folder beside the target and renames
// it into place. Nothing is left behind on failure.
bool CopyFolderWhole(const fs::path& source, const fs::path& target) {
  fs::path scratch = target;
  scratch += ".copying";
  std::error_code ec;
  fs::remove_all(scratch, ec);  // our own leftover of an interrupted run
  bool copied = CopyTree(source, scratch);
  if (copied) {
    fs::rename(scratch, target, ec);
    if (ec) ReportCopyFailure(target, ec.message());
    copied = !ec;
  }
  if (!copied) fs::remove_all(scratch, ec);
  return copied;
}

}  // namespace

bool CreateDefaultData(HWND) {
  const fs::path data = FolderPath(g_PathTable[PATH_DATA]);
  if (IsFolder(data)) return true;
  if (SomethingExists(data)) {
    ReportPrintfLog("CreateDefaultData : %s is not a folder; it is left as it is", data.c_str());
    return false;
  }
  const fs::path source = FolderPath(g_PathTable[PATH_DEFAULT]);
  if (!IsFolder(source)) return false;
  if (!AskToCreate()) return false;
  return CopyFolderWhole(fs::absolute(source), fs::absolute(data));
}
