// Start-up, the window's messages and the orderly end of the process.
#include <cmath>

#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "bombs/bomb_state.h"
#include "platform/display.h"
#include "platform/game.h"
#include "platform/hooks.h"
#include "platform/input.h"
#include "platform/os.h"
#include "platform/sound.h"
#include "platform/text.h"
#include "platform/trig.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

AppState app;

void registerGameHooks() {
  platformHooks.pumpMessages = pumpMessages;
  platformHooks.fatalError = [] { shutdownProgram(EXIT_GAME_FAILURE); };
  playerHooks.touchedHazard = [] { app.scene = SCENE_MISS; };
  playerHooks.openedGoal = [] { app.scene = SCENE_RESULT; };
  playerHooks.leftHomeStage = startNewAttempt;
  playerHooks.doorDarkens = [] { app.fadeState = FADE_DARKENING; };
  playerHooks.doorFlightEnded = [] { app.scene = SCENE_STAGE_ENTER; };
}

// Every run, and every test, starts here.
void resetGame() {
  registerGameHooks();
  app = AppState{};
  resetStageState();
  resetStageDrawState();
  resetBombsState();
  resetPlayerState();
  resetInputState();
  resetSoundState();
  resetTrigState();
  resetTextState();
}

void pumpMessages() {
  OsEvents ev;
  osPollEvents(&ev);
  if (ev.deviceChanged) scanJoysticks();
  if (ev.closeRequested) {
    // The close box never closes silently: only Yes ends the game.
    int answer = osMessageBox("本当に終了しますか？", "終了確認です", MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) shutdownProgram(EXIT_CHOSEN_QUIT);
  }
  handleMusicNotices();
}

void askStartupMode() {
  setDisplayMode(0, 0, 1, 1, 0, "");
  int answer = osStartupAnswer();
  if (answer != IDYES && answer != IDNO)
    answer = osMessageBox("フルスクリーンで起動しますか?", "起動オプション", MB_YESNO);
  if (answer == IDYES)
    setDisplayMode(200, 200, 640, 480, 2, "PUXTEN");
  else
    setDisplayMode(200, 200, 640, 480, 0, "PUXTEN");
}

void loadAssets() {
  assets.backBufferDC = createBackBuffer();
  assets.crushSheet = loadSpriteShrunk("image/BlockCrush.bmp", CRUSH_SHRINK);
  openMusic("bgm/main.mp3", &assets.mainMusic);
  openMusic("bgm/title.mp3", &assets.titleMusic);
  openMusic("bgm/boss.mp3", &assets.bossMusic);
  assets.tileSheet = loadSprite("image/boxs.bmp");
  // Tiles are drawn keyed at 31 x 31 from 50 x 50 cells.
  prepareDrawnCells(assets.tileSheet, 50, 50, 31, 31, COLOR_WHITE);
  prepareKeyRuns(assets.tileSheet, COLOR_WHITE);
  assets.playerSheet = loadSprite("image/mchara.bmp");
  assets.bombSheet = loadSprite("image/bombs.bmp");
  assets.aimSheet = loadSprite("image/Prediction.bmp");
  assets.stageBackdrop = loadSprite("image/mapback.bmp");
  // Only the logo's first frame is drawn.
  assets.titleSheet = loadSpritePart("image/title.bmp", 640, 480);
  assets.blastSheet = loadSprite("image/Booom.bmp");
  assets.spareSheet = loadSprite("image/tchara.bmp");
  assets.blackSheet = loadSprite("image/kuro.bmp");
  assets.titleBackdrop = loadSprite("image/titleback.bmp");
  assets.shadowSheet = loadSprite("image/shadow.bmp");
  assets.keyIconSheet = loadSprite("image/QWE.bmp");
  assets.arrowSprite = loadSprite("image/allow.bmp");
  assets.menuDimSheet = loadSprite("image/title23.bmp");
  assets.menuLitSheet = loadSprite("image/title22.bmp");
  assets.missMenuSheet = loadSprite("image/GAMEOVER.bmp");
  assets.menuGlowSheet = loadSprite("image/title24.bmp");
  assets.warpSheet = loadSprite("image/warp.bmp");
  assets.resultPanel = loadSprite("image/result1.bmp");
  assets.resultSheet = loadSprite("image/result.bmp");
}

void freeAssets() {
  closeMusic(&assets.mainMusic);
  closeMusic(&assets.titleMusic);
  closeMusic(&assets.bossMusic);
  for (int i = 0; i < bombs.barrelBombCount; i++) closeSoundChannel("SE/TaruBomb.wav", i);
  Sprite* slots[] = {&assets.tileSheet,     &assets.playerSheet,   &assets.bombSheet,
                     &assets.aimSheet,      &assets.stageBackdrop, &assets.titleSheet,
                     &assets.blastSheet,    &assets.spareSheet,    &assets.blackSheet,
                     &assets.titleBackdrop, &assets.shadowSheet,   &assets.keyIconSheet,
                     &assets.arrowSprite,   &assets.menuDimSheet,  &assets.menuLitSheet,
                     &assets.crushSheet,    &assets.missMenuSheet, &assets.menuGlowSheet,
                     &assets.warpSheet,     &assets.resultPanel,   &assets.resultSheet};
  for (Sprite* s : slots) {
    freeSprite(*s);
    *s = nullptr;
  }
  freeBackBuffer(assets.backBufferDC);
  assets.backBufferDC = nullptr;
}

void shutdownProgram(int exitCode) {
  releaseTextFont();
  mciSendString("stop cdaudio");
  mciSendString("close all");
  osSetCursorVisible(1);
  osTerminate(exitCode);
}

int runStartup() {
  resetGame();
  fillTrigTables();
  setDisplayMode(0, 0, 320, 200, 1, "タイトルです");
  runFrameLoop();
  shutdownProgram(EXIT_CHOSEN_QUIT);
}
