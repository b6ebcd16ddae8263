// Message texts with '#' escapes: arbitrary bytes taken as CP932 (stray lead
// bytes, a lead byte at the very end, escapes cut short, endless digits)
// expanded with variables that echo their number. The expansion must end,
// stay within its text, and leave a text without '#' unchanged.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "world/Message.h"

namespace {

int32_t EchoVariable(char kind, int number) {
  if (number < 1 || number > 1000) __builtin_trap();
  return kind == 'C' ? number * 37 - 18000 : -number;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::string text = original;
  ExpandMessageVars(text, EchoVariable);
  if (original.find('#') == std::string::npos && text != original) __builtin_trap();
  // Every escape turns at least two bytes into at most twelve.
  if (text.size() > original.size() * 6 + 1) __builtin_trap();
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  const char* const texts[] = {
      "#C5.",           "#C5_4Z.",          "#S3_3P.",  "score #c12_6z. left #s1000",
      "#X5 #C0 #C1001", "\x82\xA0#C1.\x82", "#5s_9pz.", "#C99999999999999999999",
      "\x81#C5.",
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  for (const char* t : texts) seeds.emplace_back(t, t + std::string_view(t).size());
  return seeds;
}
