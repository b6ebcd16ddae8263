// sample_game FOLDER [WORKING_FOLDER]: writes the sample game's data tree into
// FOLDER (the build writes it as default\ beside the player) and, given the
// player's working folder, the game's pictures (bmp\ and backgrounds), its
// sounds and music (wave\, se\, bgm\) and its System.ini into it.

#include <cstdio>
#include <string>

#include "SampleBitmaps.h"
#include "SampleGame.h"
#include "SampleSounds.h"
#include "SampleSystemData.h"
#include "SampleSystemIni.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s FOLDER [WORKING_FOLDER]\n", argv[0]);
    return 2;
  }
  std::string error;
  if (!samplegame::WriteSampleGame(argv[1], error) || !samplegame::WriteSampleSystemData(argv[1], error)) {
    std::fprintf(stderr, "sample_game: %s\n", error.c_str());
    return 1;
  }
  if (argc == 3 &&
      (!samplegame::WriteSampleBitmaps(argv[2], error) || !samplegame::WriteSampleSounds(argv[2], error) ||
       !samplegame::WriteSampleSystemIni(argv[2], error))) {
    std::fprintf(stderr, "sample_game: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
