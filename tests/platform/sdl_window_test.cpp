// The real game on a real (virtual) display.
#include <gtest/gtest.h>

#include "test_support.h"

TEST(SdlGame, AsksAtStartUpOpensA640x480WindowAndQuitsFromTheTitle) {
  int code = runCommand(std::string("bash ") + PUXTEN_SOURCE_DIR +
                        "/tests/platform/sdl_window_check.sh '" + PUXTEN_GAME + "' '" +
                        PUXTEN_DATA_DIR + "'");
  if (code == 77) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  EXPECT_EQ(code, 0);
}

TEST(SdlGame, SaysPlainlyWhenThereIsNoDisplay) {
  std::string dir = makeTempDir();
  int code = runCommand("cd '" + std::string(PUXTEN_DATA_DIR) +
                        "' && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= '" + PUXTEN_GAME +
                        "' >" + dir + "/out 2>&1");
  EXPECT_NE(code, 0);
  EXPECT_NE(code, 1);
  EXPECT_NE(readFile(dir + "/out").find("no display"), std::string::npos);
}
