#pragma once
// The player's command line. Two things reach it from outside: the show
// command the starter asks for (the editor starts the player with 5, which
// marks a test play started by the editor) and the path of a stage file to
// play at once.
//
//   kestrova4 [--show-command=N] [stage file]
//
// The stage path is the first argument that is not an option; it is turned
// into the program's own form (CP932) here, at the edge.

#include <string>
#include <vector>

namespace plat {

// Show commands the player uses.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;

struct sCommandLine {
  int showCommand = SW_SHOWNORMAL;
  std::string stagePath;               // CP932; empty when none was given
  std::vector<std::string> problems;   // arguments that were not understood (UTF-8)
};

sCommandLine ParseCommandLine(int argc, const char* const* argv);

}  // namespace plat
