#pragma once
// Paths inside the program keep the form of the game data: CP932 bytes,
// backslashes, relative to the working folder ("data\stg4\Stage1.stg4_781").
// The resolver turns them into Linux paths at the file-system boundary:
// CP932 to UTF-8 first (a trail byte can be 0x5C), then backslashes to slashes,
// and each component matched case-insensitively (ASCII letters only) when the
// exact name is missing, since data authored on Windows mixes cases.
//
// Full paths in program form start with a backslash: the working folder
// /home/a/game is "\home\a\game". A drive prefix such as "C:" is ignored.

#include <string>
#include <string_view>
#include <vector>

namespace plat {

// The Linux path (UTF-8) for a program path. Components that exist under some
// other letter case resolve to the existing name; missing ones stay as written,
// so the result can be used to create files too.
std::string NativePath(std::string_view programPath);

// The program form (CP932, backslashes) of a Linux path.
std::string ProgramPath(std::string_view nativePath);

// The working folder in program form ("\home\a\game"); empty when it cannot be read.
std::string CurrentDirectory();

// True when the program path names an existing regular file / folder.
bool FileExists(std::string_view programPath);
bool DirectoryExists(std::string_view programPath);

// The index of the first of `candidates` that names an existing regular file,
// as FileExists would answer for each in turn, or -1. The candidates must
// differ only in their last component: their folder is read once for all of
// them instead of once for each name that is missing.
int FirstExistingFile(const std::vector<std::string>& candidates);

}  // namespace plat
