#include "platform/PathResolver.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include "platform/TextCodec.h"

namespace plat {
namespace fs = std::filesystem;
namespace {

char FoldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares UTF-8 names folding A-Z only: other letters (accented, full width)
// keep their case, as the bytes of a multi-byte character must not change.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return FoldAsciiCase(x) == FoldAsciiCase(y); });
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// The name of the entry of `folder` that matches `name` but for ASCII case.
// Several matches (possible on Linux) resolve to the smallest name, so the
// answer does not depend on the order of the listing.
std::optional<std::string> FindEntryIgnoringCase(const fs::path& folder, std::string_view name) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> found;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoringAsciiCase(entry, name) && (!found || entry < *found)) found = std::move(entry);
  }
  if (ec) return std::nullopt;
  return found;
}

std::vector<std::string_view> SplitComponents(std::string_view path) {
  std::vector<std::string_view> components;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) components.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

bool HasDrivePrefix(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string NativePath(std::string_view programPath) {
  // Convert before touching separators: a CP932 trail byte can be 0x5C.
  std::string path = Cp932ToUtf8(programPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  std::string_view rest = path;
  if (HasDrivePrefix(rest)) rest.remove_prefix(2);

  const bool absolute = !rest.empty() && rest.front() == '/';
  const bool trailingSeparator = !rest.empty() && rest.back() == '/';

  std::string result = absolute ? "/" : "";
  fs::path folder = absolute ? fs::path("/") : fs::path(".");
  bool resolving = true;  // below a missing component nothing can exist
  for (std::string_view component : SplitComponents(rest)) {
    std::string name(component);
    if (resolving && component != "." && component != ".." && !Exists(folder / name)) {
      if (std::optional<std::string> match = FindEntryIgnoringCase(folder, name)) {
        name = std::move(*match);
      } else {
        resolving = false;
      }
    }
    if (!result.empty() && result.back() != '/') result += '/';
    result += name;
    folder /= name;
  }
  if (trailingSeparator && !result.empty() && result.back() != '/') result += '/';
  return result;
}

std::string ProgramPath(std::string_view nativePath) {
  // Slashes are swapped in UTF-8, where 0x2F and 0x5C never occur inside a character.
  std::string path(nativePath);
  std::replace(path.begin(), path.end(), '/', '\\');
  return Utf8ToCp932(path);
}

std::string CurrentDirectory() {
  std::error_code ec;
  const fs::path cwd = fs::current_path(ec);
  if (ec) return {};
  return ProgramPath(cwd.string());
}

bool FileExists(std::string_view programPath) {
  if (programPath.empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(NativePath(programPath), ec);
}

bool DirectoryExists(std::string_view programPath) {
  if (programPath.empty()) return false;
  std::error_code ec;
  return fs::is_directory(NativePath(programPath), ec);
}

int FirstExistingFile(const std::vector<std::string>& candidates) {
  if (candidates.empty()) return -1;
  auto oneByOne = [&] {
    for (std::size_t i = 0; i < candidates.size(); ++i) {
      if (FileExists(candidates[i])) return static_cast<int>(i);
    }
    return -1;
  };
  // The last component in UTF-8, where a slash never lies inside a character.
  auto lastName = [](std::string_view programPath) {
    std::string path = Cp932ToUtf8(programPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
  };
  if (candidates.front().empty()) return oneByOne();
  const fs::path folder = fs::path(NativePath(candidates.front())).parent_path();
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  if (ec) return oneByOne();
  std::set<std::string> entries;
  for (; it != fs::directory_iterator(); it.increment(ec)) entries.insert(it->path().filename().string());
  if (ec) return oneByOne();
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const std::string name = lastName(candidates[i]);
    if (name.empty() || name == "." || name == ".." || HasDrivePrefix(candidates[i])) return oneByOne();
    // As NativePath resolves it: the exact name, else the smallest name that
    // matches but for ASCII case (the set is in that order).
    const std::string* resolved = entries.count(name) != 0 ? &name : nullptr;
    if (resolved == nullptr) {
      for (const std::string& entry : entries) {
        if (EqualsIgnoringAsciiCase(entry, name)) {
          resolved = &entry;
          break;
        }
      }
    }
    if (resolved != nullptr && fs::is_regular_file(folder / *resolved, ec)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace plat
