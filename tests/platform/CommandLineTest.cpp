#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CommandLine.h"

namespace {

TEST(CommandLineTest, ShowCommandAndStagePath) {
  struct sCase {
    std::vector<const char*> arguments;
    int showCommand;
    std::string stagePath;
    std::size_t problems;
  };
  const sCase cases[] = {
      {{}, plat::SW_SHOWNORMAL, "", 0},
      {{"--show-command=5"}, 5, "", 0},
      {{"data/stg4/a.stg4", "--show-command=5"}, 5, "data/stg4/a.stg4", 0},
      {{"--show-command=x"}, plat::SW_SHOWNORMAL, "", 1},
      {{"--show-command="}, plat::SW_SHOWNORMAL, "", 1},
      {{"--show-command=5x"}, plat::SW_SHOWNORMAL, "", 1},
      {{"--what"}, plat::SW_SHOWNORMAL, "", 1},
      {{"a.stg4", "b.stg4"}, plat::SW_SHOWNORMAL, "a.stg4", 1},
      {{"--", "--show-command=5"}, plat::SW_SHOWNORMAL, "--show-command=5", 0},
      // The path reaches the program in its own code page.
      {{"\xE3\x82\xB9.stg4"}, plat::SW_SHOWNORMAL, "\x83\x58.stg4", 0},
  };
  for (const sCase& test : cases) {
    std::vector<const char*> argv{"kestrova4"};
    argv.insert(argv.end(), test.arguments.begin(), test.arguments.end());
    const plat::sCommandLine line = plat::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    const std::string label = test.arguments.empty() ? "(none)" : test.arguments.front();
    EXPECT_EQ(line.showCommand, test.showCommand) << label;
    EXPECT_EQ(line.stagePath, test.stagePath) << label;
    EXPECT_EQ(line.problems.size(), test.problems) << label;
  }
}

}  // namespace
