// The main of every fuzz_<type>_seeds program: writes the target's seeds as
// files seed_0, seed_1, ... into the folder named by the first argument.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/FuzzSupport.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  int index = 0;
  for (const std::vector<std::uint8_t>& seed : FuzzSeeds()) {
    std::ofstream out(folder / ("seed_" + std::to_string(index++)), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write the seeds into %s\n", argv[1]);
      return 1;
    }
  }
  return 0;
}
