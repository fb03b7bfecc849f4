// The SDL back end driven in-process on SDL's dummy display: virtual game
// controllers play the game, and a pause hides its time from the game.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/data_path.h"
#include "platform/display.h"
#include "platform/os.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/trig.h"
#include "stage/stage_state.h"
#include "test_support.h"

namespace {

// Settings file, save folder and data for one game, on the dummy display
// unless DISPLAY names a real one.
void startGame(const std::string& settings, bool dummyDisplay = true) {
  std::string dir = makeTempDir();
  ASSERT_EQ(mkdir((dir + "/puxten").c_str(), 0700), 0);
  writeFile(dir + "/puxten/settings.ini", settings);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  if (dummyDisplay) setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // The dummy display never has the focus that pads otherwise need.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  ASSERT_EQ(sdlStartOn(), 1);
  ASSERT_TRUE(enterDataFolder(PUXTEN_DATA_DIR));
  setSaveFolder((dir + "/save").c_str());
  resetGame();
  fillTrigTables();
  setDisplayMode(200, 200, 640, 480, 0, "PUXTEN");
  loadAssets();
  app.session = GameSession{};
}

void runFrames(int n) {
  for (int i = 0; i < n; i++) runFrame();
}

// Home stage 0 with the player standing still on the ground.
void enterHomeStage() {
  stage.homeStage = 0;
  app.scene = SCENE_NEW_RUN;
  for (int i = 0; i < 200 && app.scene != SCENE_PLAY; i++) runFrame();
  ASSERT_EQ(app.scene, SCENE_PLAY);
  runFrames(25);
}

struct VirtualPad {
  SDL_Joystick* joystick = nullptr;
  int index = -1;

  void attach() {
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "test pad";
    index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    joystick = SDL_JoystickOpen(index);
    ASSERT_NE(joystick, nullptr);
    runFrames(1);  // the back end opens it as a game controller
  }
  void detach() {
    SDL_JoystickClose(joystick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    joystick = nullptr;  // pressing it does nothing now
    runFrames(1);
  }
  // Holds a button for some frames, then lets it go for one.
  void press(SDL_GameControllerButton b, int frames) {
    SDL_JoystickSetVirtualButton(joystick, b, 1);
    runFrames(frames);
    SDL_JoystickSetVirtualButton(joystick, b, 0);
    runFrames(1);
  }
};

const char* QUIET_SETTINGS = "display = window\npause_on_focus_loss = no\n";

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

}  // namespace
