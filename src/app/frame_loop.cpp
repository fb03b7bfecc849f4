// The frame loop: one frame every 40 ms, and the scene machine.
#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/display.h"
#include "platform/os.h"

void runFrameLoop() {
  askStartupMode();
  loadAssets();
  for (int i = 0; i < 10; i++) openSoundChannel("SE/TaruBomb.wav", i);
  app.session = GameSession{};
  osBeforeFirstFrame();
  do {
    runFrame();
  } while (!app.quitRequested);
  freeAssets();
}

static void doSceneWork() {
  switch (app.scene) {
    case SCENE_TITLE_ENTER:
      app.frameCount = 0;
      musicCommand(MUSIC_FADE_IN, &assets.titleMusic);
      app.scene = SCENE_TITLE;
      break;
    case SCENE_TITLE: updateTitleMenu(); break;
    case SCENE_NEW_RUN: sceneNewRun(); break;
    case SCENE_PLAY: playFrame(); break;
    case SCENE_MISS: missScreenFrame(); break;
    case SCENE_STAGE_ENTER: sceneStageEnter(); break;
    case SCENE_RESULT: resultScreenFrame(); break;
  }
}

void runFrame() {
  GameSession& s = app.session;
  s.frameStartMs = osNowMs();
  updateMusic(&assets.mainMusic);
  updateMusic(&assets.titleMusic);
  updateMusic(&assets.bossMusic);
  app.frameCount += 1;
  doSceneWork();
  presentFrame(windowSurface(), assets.backBufferDC);
  // A slow frame is not made up: the game slows down instead.
  int32_t spent = osMsSince(s.frameStartMs);
  if (spent < FRAME_MS) osSleepMs(FRAME_MS - spent);
  pumpMessages();
}
