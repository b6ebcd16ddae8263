// bmp\hbt\hbtNN.dat: the 8-bit mode's blend tables.

#include <algorithm>
#include <cstring>

#include "fuzz/FuzzSupport.h"
#include "graphics/BlendTable.h"

// Whatever its length, a file fills the table's first entries with its bytes
// and nothing more: the entries past a short file keep what they held.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static DDBLENDTABLE table;
  static DDBLENDTABLE untouched;
  untouched.fill(0xA5);
  table = untouched;
  TakeBlendTableBytes(table, std::span<const std::uint8_t>(data, size));
  const std::size_t taken = std::min(size, table.size());
  if (taken > 0 && std::memcmp(table.data(), data, taken) != 0) __builtin_trap();
  if (std::memcmp(table.data() + taken, untouched.data(), table.size() - taken) != 0) __builtin_trap();
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  std::vector<std::uint8_t> whole(65536);
  for (std::size_t k = 0; k < whole.size(); ++k) whole[k] = static_cast<std::uint8_t>((k >> 8) + (k & 0xFF));
  return {whole, std::vector<std::uint8_t>(whole.begin(), whole.begin() + 300), {}};
}
