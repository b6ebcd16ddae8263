#include "platform/CommandLine.h"

#include <charconv>
#include <string_view>

#include "platform/TextCodec.h"

namespace plat {
namespace {

constexpr std::string_view kShowCommandOption = "--show-command=";

bool ParseShowCommand(std::string_view text, int* value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [next, error] = std::from_chars(text.data(), end, *value);
  return error == std::errc() && next == end;
}

}  // namespace

sCommandLine ParseCommandLine(int argc, const char* const* argv) {
  sCommandLine result;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i] != nullptr ? argv[i] : "";
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && argument.starts_with(kShowCommandOption)) {
      int value = 0;
      if (ParseShowCommand(argument.substr(kShowCommandOption.size()), &value)) {
        result.showCommand = value;
      } else {
        result.problems.emplace_back(argument);
      }
    } else if (!optionsEnded && argument.starts_with("--")) {
      result.problems.emplace_back(argument);
    } else if (result.stagePath.empty() && !argument.empty()) {
      result.stagePath = Utf8ToCp932(argument);
    } else {
      result.problems.emplace_back(argument);
    }
  }
  return result;
}

}  // namespace plat
