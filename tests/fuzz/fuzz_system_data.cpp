// data\System.dat: the system data with its lists, menus and System.ini keys,
// in any data version from 1 to the current one.

#include "data/SystemData.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return fuzzsupport::FuzzRecordFile<cSystemData>(data, size);
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  cSystemData system;
  std::vector<std::vector<std::uint8_t>> seeds;
  seeds.push_back(system.MakeFileBytes());

  system.m_strTitle = "Fuzz";
  system.m_Messages[22] = "%s%d";
  system.m_MapMenu[1].m_bEnabled = 0;
  system.m_RankGenreSets[0].m_Genres = {1, 0, 1};
  system.m_IniKeys.resize(6);
  // One seed on each side of the versions at which parts of the file begin or
  // the upgrades change lists.
  for (int version : {100, 160, 185, 192, 201, 221, 260, 280, 500, 501, 566, 586, 673, 674, 756, DATA_VERSION}) {
    seeds.push_back(system.MakeFileBytes(version));
  }
  return seeds;
}
