// A game played in the real back end with uneven frames is recorded as a
// demo, replayed by the headless runner to the same state, and a demo
// changed by hand is caught where it goes another way.
#include <gtest/gtest.h>

#include "bombs/bomb_state.h"
#include "platform/game.h"
#include "sdl/sdl_test_support.h"

namespace {

// Held up this long before it starts, a frame finds its 40 ms gone.
constexpr int SLOW_FRAME_MS = 55;

void runFramesSlowingEvery(int n, int every) {
  for (int i = 0; i < n; i++) {
    if (i % every == 0) SDL_Delay(SLOW_FRAME_MS);
    runFrame();
  }
}

// The picture lines of a demo: "NOWMS KEYS c=CHECK".
std::vector<std::string> pictureLines(const std::string& demo) {
  std::vector<std::string> lines = splitLines(demo);
  std::erase_if(lines, [](const std::string& l) { return !std::isdigit((unsigned char)l[0]); });
  return lines;
}

TEST(SdlDemo, ARecordedGameReplaysHeadlessToTheSameStateAndAnEditedOneIsCaught) {
  startGame(QUIET_SETTINGS);
  std::string dir = makeTempDir();
  std::string demoPath = dir + "/game.demo";
  ASSERT_TRUE(sdlRecordDemo(demoPath.c_str(), saveFolderPath()));
  sdlSetStateCheck(stateCheck);
  VirtualPad pad;
  pad.attach();
  runFrames(30);
  pad.press(SDL_CONTROLLER_BUTTON_START, 2);  // start a run from the title
  for (int i = 0; i < 300 && app.scene != SCENE_PLAY; i++) runFrame();
  ASSERT_EQ(app.scene, SCENE_PLAY);
  runFrames(20);
  SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  runFramesSlowingEvery(40, 4);
  SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTX, 0);
  pad.press(SDL_CONTROLLER_BUTTON_A, 6);
  pad.press(SDL_CONTROLLER_BUTTON_X, 8);
  runFramesSlowingEvery(20, 3);

  std::string demo = readFile(demoPath);
  std::vector<std::string> lines = pictureLines(demo);
  ASSERT_EQ((int)lines.size(), sdl.demo.presented);
  int slowSteps = 0;
  for (size_t i = 1; i < lines.size(); i++)
    slowSteps += std::stol(lines[i]) - std::stol(lines[i - 1]) >= 50;
  EXPECT_GE(slowSteps, 10) << "the frames were not uneven";

  std::string state = dir + "/state.json";
  std::string out;
  ASSERT_EQ(runReplay("--input " + demoPath + " --state " + state, &out), 0) << out;
  std::string json = readFile(state);
  EXPECT_EQ(jsonInt(json, "frameCount"), app.frameCount);
  EXPECT_EQ(jsonInt(json, "nowMs"), app.session.frameStartMs);  // the last picture's clock
  EXPECT_EQ(jsonInt(json, "scene"), app.scene);
  EXPECT_FLOAT_EQ(jsonNumber(json, "playerX"), app.session.playerX);
  EXPECT_FLOAT_EQ(jsonNumber(json, "playerY"), app.session.playerY);
  EXPECT_EQ(jsonInt(json, "thrownBombCount"), bombs.thrownBombCount);

  // The run right, half-way, without Right: the player stops short there.
  size_t walk = lines.size() - 60;
  ASSERT_NE(lines[walk].find("Right"), std::string::npos) << lines[walk];
  size_t at = demo.find("\n" + lines[walk] + "\n");
  ASSERT_NE(at, std::string::npos);
  std::string edited = lines[walk];
  edited.replace(edited.find("Right"), 5, "-");
  writeFile(demoPath, demo.substr(0, at + 1) + edited + demo.substr(at + 1 + lines[walk].size()));
  EXPECT_EQ(runReplay("--input " + demoPath, &out), 3);
  EXPECT_NE(out.find("diverges at picture " + std::to_string(walk + 1)), std::string::npos) << out;
}

}  // namespace
