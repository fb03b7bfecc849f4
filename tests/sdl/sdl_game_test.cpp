// The SDL back end driven in-process on SDL's dummy display: virtual game
// controllers play the game, and a pause hides its time from the game.
#include <algorithm>
#include <atomic>

#include "bombs/bomb_state.h"
#include "platform/game.h"
#include "sdl/sdl_test_support.h"

namespace {

// Jumps with A: true when the player rose.
bool jumpsWithA(VirtualPad& pad) {
  float groundY = app.session.playerY;
  SDL_JoystickSetVirtualButton(pad.joystick, SDL_CONTROLLER_BUTTON_A, 1);
  runFrames(6);
  SDL_JoystickSetVirtualButton(pad.joystick, SDL_CONTROLLER_BUTTON_A, 0);
  float topY = app.session.playerY;
  runFrames(30);  // back on the ground
  return topY < groundY - 10;
}

TEST(SdlPad, StartChoosesOnTheTitleAJumpsXThrowsBAnswersNoAndReattachingWorks) {
  startGame(QUIET_SETTINGS);
  VirtualPad pad;
  pad.attach();
  runFrames(30);
  ASSERT_EQ(app.scene, SCENE_TITLE);
  ASSERT_EQ(app.title.blastState, 0);
  pad.press(SDL_CONTROLLER_BUTTON_START, 2);
  EXPECT_EQ(app.title.blastState, 1);  // the start item was chosen

  enterHomeStage();
  EXPECT_TRUE(jumpsWithA(pad));
  pad.press(SDL_CONTROLLER_BUTTON_X, 8);  // aim, then throw on release
  runFrames(1);
  bool flying = false;
  for (int i = 0; i < MAX_BOMB_SLOTS; i++) flying |= app.session.thrown.state[i] == BOMB_LIVE;
  EXPECT_TRUE(flying);

  // The quit question takes B for no and A for yes.
  for (auto [button, answer] :
       {std::pair{SDL_CONTROLLER_BUTTON_B, 7}, {SDL_CONTROLLER_BUTTON_A, 6}}) {
    static SDL_GameControllerButton pressed;
    pressed = button;
    SDL_AddTimer(
        100,
        [](Uint32, void* joystick) {
          SDL_JoystickSetVirtualButton((SDL_Joystick*)joystick, pressed, 1);
          return 0u;
        },
        pad.joystick);
    EXPECT_EQ(osMessageBox("本当に終了しますか？", "終了確認です", 0x24), answer);
    SDL_JoystickSetVirtualButton(pad.joystick, button, 0);
    runFrames(30);  // the game saw A too: back on the ground
  }

  pad.detach();
  EXPECT_FALSE(jumpsWithA(pad));  // nothing reads a pad that is gone
  pad.attach();
  EXPECT_TRUE(jumpsWithA(pad));
}

// Pushes the pause key as the player would press it.
Uint32 pressPause(Uint32, void*) {
  SDL_Event ev = {};
  ev.type = SDL_KEYDOWN;
  ev.key.keysym.scancode = SDL_SCANCODE_P;
  SDL_PushEvent(&ev);
  return 0;
}

struct Trace {
  std::vector<int32_t> clockSteps;  // the game's clock between frames
  uint64_t longestFrame = 0;        // real time of the slowest frame
  std::string moves;                // how far the player came, frame by frame
};

// The player walks right on a fresh home stage (the pad's stick held),
// paused for pauseMs half-way.
Trace walkRight(VirtualPad& pad, Uint32 pauseMs) {
  enterHomeStage();
  Trace t;
  SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTX, 32767);
  int32_t last = osNowMs();
  float startX = app.session.playerX, startY = app.session.playerY;
  for (int i = 0; i < 30; i++) {
    if (i == 15 && pauseMs) {
      pressPause(0, nullptr);
      SDL_AddTimer(pauseMs, pressPause, nullptr);
    }
    uint64_t start = SDL_GetTicks64();
    runFrame();
    t.longestFrame = std::max(t.longestFrame, SDL_GetTicks64() - start);
    t.clockSteps.push_back(app.session.frameStartMs - last);
    last = app.session.frameStartMs;
    t.moves += std::to_string(app.session.playerX - startX) + "," +
               std::to_string(app.session.playerY - startY) + " ";
  }
  SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTX, 0);
  return t;
}

TEST(SdlPause, FiveSecondsPausedLeaveTheGameAsIfNoTimePassed) {
  startGame(QUIET_SETTINGS);
  VirtualPad pad;
  pad.attach();
  Trace paused = walkRight(pad, 5000);
  ASSERT_GE(paused.longestFrame, 3000u);  // it did pause
  Trace plain = walkRight(pad, 0);
  EXPECT_EQ(paused.moves, plain.moves);
  // Yet the game's clock stepped by about a frame across the pause.
  for (int32_t step : paused.clockSteps) EXPECT_LT(step, 1000);
}

// --new-game's question, answered by a key: Y clears the saved run, N
// leaves its files byte for byte, and the game then starts from what is left.
struct NewGameCase {
  SDL_Scancode key;
  bool cleared;
};

class SdlNewGame : public ::testing::TestWithParam<NewGameCase> {};

TEST_P(SdlNewGame, YesClearsTheSavedRunNoLeavesIt) {
  startGame(QUIET_SETTINGS);
  enterHomeStage();
  stage.homeStage = 2;
  saveProgress(-1, -1);
  saveStageSnapshot();
  std::vector<std::string> saved;
  for (const char* name : savedRunFiles())
    saved.push_back(readFile(std::string(saveFolderPath()) + "/" + name));
  ASSERT_FALSE(saved.front().empty());

  // Pressed every 100 ms until answered: a press before the question is
  // up goes to the game instead.
  static SDL_Scancode answer;
  static std::atomic<bool> asking;
  answer = GetParam().key;
  asking = true;
  SDL_TimerID presser = SDL_AddTimer(
      100,
      [](Uint32 interval, void*) {
        SDL_Event ev = {};
        ev.type = SDL_KEYDOWN;
        ev.key.keysym.scancode = answer;
        if (asking) SDL_PushEvent(&ev);
        return asking ? interval : 0u;
      },
      nullptr);
  sdlOfferNewGame();
  asking = false;
  SDL_RemoveTimer(presser);

  for (size_t i = 0; i < saved.size(); i++) {
    std::string path = std::string(saveFolderPath()) + "/" + savedRunFiles()[i];
    if (GetParam().cleared)
      EXPECT_FALSE(std::filesystem::exists(path)) << path;
    else
      EXPECT_EQ(readFile(path), saved[i]) << path;
  }
  resetGame();
  loadSaves(nullptr, nullptr);
  EXPECT_EQ(stage.homeStage, GetParam().cleared ? 0 : 2);
}

INSTANTIATE_TEST_SUITE_P(Answers, SdlNewGame,
                         ::testing::Values(NewGameCase{SDL_SCANCODE_Y, true},
                                           NewGameCase{SDL_SCANCODE_N, false}));

}  // namespace
