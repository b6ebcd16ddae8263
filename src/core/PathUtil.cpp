#include "core/PathUtil.h"

#include <cstddef>
#include <vector>

#include "core/StringUtil.h"
#include "platform/PathResolver.h"

namespace {

constexpr int kHighestFileNumber = 999;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char letter = path[0];
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

// The components of a path, split at separators that are not trail bytes of
// a double-byte character. Empty components are dropped.
std::vector<std::string> SplitComponents(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (std::size_t i = 0; i < path.size();) {
    if (i + 1 < path.size() && IsMbcsPair(path.data() + i)) {
      current.append(path.substr(i, 2));
      i += 2;
    } else if (IsSeparator(path[i])) {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
      ++i;
    } else {
      current.push_back(path[i]);
      ++i;
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

// "." dropped, ".." taking back the component before it (never above the root).
std::vector<std::string> Normalise(const std::vector<std::string>& parts) {
  std::vector<std::string> result;
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!result.empty()) result.pop_back();
      continue;
    }
    result.push_back(part);
  }
  return result;
}

// The last byte of the path is a separator of its own (not a trail byte).
bool EndsWithSeparator(std::string_view path) {
  if (path.empty() || !IsSeparator(path.back())) return false;
  std::size_t i = 0;
  std::size_t lastSeparator = std::string_view::npos;
  while (i < path.size()) {
    if (i + 1 < path.size() && IsMbcsPair(path.data() + i)) {
      i += 2;
    } else {
      if (IsSeparator(path[i])) lastSeparator = i;
      ++i;
    }
  }
  return lastSeparator == path.size() - 1;
}

std::string JoinFull(const std::vector<std::string>& parts) {
  if (parts.empty()) return "\\";
  std::string path;
  for (const std::string& part : parts) {
    path += '\\';
    path += part;
  }
  return path;
}

}  // namespace

bool IsRelativePath(std::string_view path) {
  if (!path.empty() && IsSeparator(path[0])) return false;
  return !HasDrive(path);
}

bool ToRelativePath(std::string& path) {
  if (IsRelativePath(path)) return true;
  // The working folder has no drive, so a path on a drive has no way to it.
  if (HasDrive(path)) return false;
  const std::string currentDirectory = plat::CurrentDirectory();
  if (currentDirectory.empty()) return false;

  const std::vector<std::string> from = Normalise(SplitComponents(currentDirectory));
  const std::vector<std::string> to = Normalise(SplitComponents(path));
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;

  std::string relative;
  for (std::size_t i = common; i < from.size(); ++i) relative += relative.empty() ? ".." : "\\..";
  for (std::size_t i = common; i < to.size(); ++i) {
    if (!relative.empty()) relative += '\\';
    relative += to[i];
  }
  if (relative.empty()) relative = ".";
  path = std::move(relative);
  return true;
}

bool ToFullPath(std::string& path) {
  if (!IsRelativePath(path)) return true;
  const std::string currentDirectory = plat::CurrentDirectory();
  if (currentDirectory.empty()) return false;

  std::vector<std::string> parts = SplitComponents(currentDirectory);
  const std::vector<std::string> relative = SplitComponents(path);
  parts.insert(parts.end(), relative.begin(), relative.end());
  std::string full = JoinFull(Normalise(parts));
  // A folder named with a trailing separator keeps it, so a file name can be
  // appended to the result as to the original.
  if (EndsWithSeparator(path) && full.back() != '\\') full += '\\';
  path = std::move(full);
  return true;
}

void StripDirectory(std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size();) {
    if (IsMbcsPair(path.c_str() + i)) {
      i += 2;
    } else {
      if (path[i] == '\\') start = i + 1;
      ++i;
    }
  }
  path.erase(0, start);
}

bool ChangeExtension(std::string& dest, std::string_view source, const char* extension) {
  std::string result(source);
  const std::size_t dot = result.rfind('.');
  if (dot == std::string::npos) {
    dest = std::move(result);
    return false;
  }
  if (extension != nullptr) {
    result.resize(dot + 1);
    result += extension;
  } else {
    result.resize(dot);
  }
  dest = std::move(result);
  return true;
}

bool RemoveExtension(std::string& path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos) return false;
  path.resize(dot);
  return true;
}

bool GetExtension(std::string& dest, std::string_view path) {
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return false;
  dest.assign(path.substr(dot + 1));
  return true;
}

bool InsertDigits(std::string& dest, std::string_view source, int digitA, int digitB) {
  if (digitA < 0 || digitA > 9 || digitB < 0 || digitB > 9) return false;
  const std::size_t dot = source.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string result(source.substr(0, dot));
  result += '_';
  result += static_cast<char>('0' + digitA);
  result += static_cast<char>('0' + digitB);
  result.append(source.substr(dot));
  dest = std::move(result);
  return true;
}

bool FindLastNumberedFile(std::string& dest, std::string_view source, const char* extension) {
  std::string base;
  ChangeExtension(base, source, extension);
  std::vector<std::string> candidates;
  candidates.reserve(kHighestFileNumber + 1);
  for (int number = kHighestFileNumber; number >= 0; --number) {
    std::string& candidate = candidates.emplace_back();
    FormatString(candidate, "%s_%d%d%d", base.c_str(), number / 100, number / 10 % 10, number % 10);
  }
  const int found = plat::FirstExistingFile(candidates);
  if (found < 0) return false;
  dest = std::move(candidates[static_cast<std::size_t>(found)]);
  return true;
}
