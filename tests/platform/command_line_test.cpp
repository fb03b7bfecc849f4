// The game's command line, run with no display at all.
#include <gtest/gtest.h>

#include "puxten_version.h"
#include "test_support.h"

struct CommandLineCase {
  const char* name;
  std::string args;
  int exitCode;
  std::vector<std::string> said;  // every one of these appears in the output
};

class GameCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(GameCommandLine, AnswersWithoutADisplay) {
  const CommandLineCase& c = GetParam();
  std::string out;
  int code = runCapture("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= '" +
                            std::string(PUXTEN_GAME) + "' " + c.args,
                        &out);
  EXPECT_EQ(code, c.exitCode) << out;
  for (const std::string& s : c.said) EXPECT_NE(out.find(s), std::string::npos) << s << "\n" << out;
}

INSTANTIATE_TEST_SUITE_P(
    Options, GameCommandLine,
    ::testing::Values(
        CommandLineCase{"Help",
                        "--help",
                        0,
                        {"--window", "--fullscreen", "--new-game", "--data DIR", "--version"}},
        CommandLineCase{"Version", "--window --version", 0, {"puxten " PUXTEN_VERSION "\n"}},
        CommandLineCase{"Unknown", "--no-such-option", 2, {"unknown option --no-such-option"}},
        CommandLineCase{"NoValue", "--window --data", 2, {"missing value after --data"}},
        // Options and data are read before the display is looked for.
        CommandLineCase{
            "NoDisplay", std::string("--window --data ") + PUXTEN_DATA_DIR, 2, {"no display"}},
        CommandLineCase{"NewGameAndDemo",
                        std::string("--new-game --play-demo x --data ") + PUXTEN_DATA_DIR,
                        2,
                        {"--new-game and --play-demo cannot be used together"}}),
    [](const auto& info) { return std::string(info.param.name); });
