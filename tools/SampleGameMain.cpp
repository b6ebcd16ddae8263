// sample_game FOLDER: writes the sample game's data tree into FOLDER (the
// build writes it as default\ beside the player).

#include <cstdio>
#include <string>

#include "SampleGame.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  std::string error;
  if (!samplegame::WriteSampleGame(argv[1], error)) {
    std::fprintf(stderr, "sample_game: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
