// The scenes that start a stage, the return to the title, and the way a
// run moves from one home stage to the next.
#include <cstdio>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/os.h"
#include "platform/trig.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

static void clearBombStates(GameSession& s) {
  for (int i = 0; i < 10; i++) {
    s.barrel.state[i] = 0;
    s.thrown.state[i] = 0;
    s.rolling.state[i] = 0;
  }
}

// A map that cannot be used is said in an error box (on the error stream
// too) and the player goes back to the title instead of into an empty
// stage with nothing to stand on.
static bool enterMap(int32_t n) {
  char problem[256];
  if (loadStage(n, problem, sizeof problem)) return true;
  char text[300];
  std::snprintf(text, sizeof text, "Mapロードエラー:%s", problem);
  osMessageBox(text, "エラー", MB_ICONHAND);
  returnToTitle();
  return false;
}

static void startStageSurfaces() {
  createStageSurfaces();
  setUpStage();
  fillFlightTables();
}

void sceneNewRun() {
  GameSession& s = app.session;
  loadSaves(&s.playerX, &s.playerY);
  clearStageGrid();
  if (!enterMap(stage.homeStage)) return;
  startStageSurfaces();
  s.playerAnim = 0;
  clearBombStates(s);
  // A run always starts on the home stage's start point.
  s.playerX = (float)stage.playerStartX;
  s.playerY = (float)stage.playerStartY;
  player.stageWarpPhase = 0;
  player.warpFrame = 0;
  app.fadeState = FADE_NONE;
  saveCheckpoint((int32_t)s.playerX, (int32_t)s.playerY);
  musicCommand(MUSIC_FADE_IN, &assets.mainMusic);
  updateCamera(s.playerX, s.playerY, &s.cameraX, &s.cameraY, &s.screenX, &s.screenY);
  s.fadeLevel = 100;
  app.fadeState = FADE_BRIGHTENING;
  app.scene = SCENE_PLAY;
}

void sceneStageEnter() {
  GameSession& s = app.session;
  if (assets.stageSurface) freeStageSurfaces();
  freeCrushEffects();
  freeMovingPlatforms();
  // Timers of the stage left behind would act on cells of the next one.
  freeSwitchTimers();
  clearStageGrid();
  if (!enterMap(stage.currentStage)) return;
  if (player.previousStage < 10) app.parTimeSeconds = stage.parMinutes * 60 + stage.parSeconds;
  startStageSurfaces();
  s.playerAnim = 0;
  clearBombStates(s);
  player.warpTargetX = stage.playerStartX;
  player.warpTargetY = stage.playerStartY;
  s.playerX = (float)stage.playerStartX;
  s.playerY = (float)stage.playerStartY;
  saveCheckpoint(stage.playerStartX, stage.playerStartY);
  if (stage.currentStage == 42) {
    musicCommand(MUSIC_STOP, &assets.mainMusic);
    musicCommand(MUSIC_FADE_IN, &assets.bossMusic);
  } else {
    musicCommand(MUSIC_FADE_IN, &assets.mainMusic);
  }
  app.scene = SCENE_PLAY;
}

void resetRunCounters() {
  app.missCount = 0;
  app.stageStartMs = 0;
  app.stageElapsedMs = 0;
  app.stageMinutes = 0;
  app.stageSeconds = 0;
  stage.blocksCrushed = 0;
  stage.blocksTotal = 0;
  bombs.barrelBombCount = 0;
  bombs.thrownBombCount = 3;
  bombs.rollingBombCount = 0;
  stage.barrelBombFound = 0;
  stage.rollingBombFound = 0;
}

void startNewAttempt() {
  resetRunCounters();
  app.stageStartMs = osNowMs();
}

void startOnStage(int n) {
  if (n >= 0 && n <= 3) {
    stage.homeStage = n;
    app.scene = SCENE_NEW_RUN;
    return;
  }
  // As a stage door of home stage 0: a new attempt, the stage clock
  // restarted, and the screen black with the door's appearing to come.
  stage.homeStage = 0;
  stage.currentStage = 0;
  startNewAttempt();
  player.previousStage = 0;
  stage.currentStage = n;
  player.warpUpLatch = 1;
  player.stageWarpPhase = 2;
  player.warpFrame = 15;
  app.fadeState = FADE_BRIGHTENING;
  app.session.fadeLevel = 100;
  app.scene = SCENE_STAGE_ENTER;
}

void leaveStage(int bossMusicCommand) {
  freeCrushEffects();
  freeMovingPlatforms();
  // Timers left running would act on the cells of whatever stage comes next.
  freeSwitchTimers();
  if (stage.currentStage == 42)
    musicCommand(bossMusicCommand, &assets.bossMusic);
  else
    musicCommand(MUSIC_FADE_OUT, &assets.mainMusic);
  freeStageSurfaces();
}

void returnToTitle() {
  leaveStage(MUSIC_FADE_OUT);
  app.scene = SCENE_TITLE_ENTER;
  stage.currentStage = 0;
  resetRunCounters();
  saveCheckpoint(-1, -1);
}

void advanceHome() {
  if (stage.homeStage == 0 && stage.currentStage == 11) {
    stage.homeStage = 1;
  } else if (stage.homeStage == 1 && stage.currentStage == 21) {
    stage.homeStage = 2;
  } else if (stage.homeStage == 2 && stage.currentStage == 31) {
    stage.homeStage = 3;
  } else if (stage.homeStage == 3 && stage.currentStage == 42) {
    playMusicFile("bgm/title.mp3");
    playEnding();
    app.scene = SCENE_TITLE_ENTER;
    stopMusicFile("bgm");
  }
  stage.currentStage = stage.homeStage;
  saveProgress(-1, -1);
}
