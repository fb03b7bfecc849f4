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
  // Pictures are loaded when first needed, but a damaged one stops the
  // start: loading it ends the run with its error.
  const char* error = nullptr;
  if (const char* damaged = firstDamagedPicture(&error)) loadSprite(damaged);
  assets.backBufferDC = createBackBuffer();
  openMusic("bgm/main.mp3", &assets.mainMusic);
  openMusic("bgm/title.mp3", &assets.titleMusic);
  openMusic("bgm/boss.mp3", &assets.bossMusic);
  // What the title draws besides its own pictures.
  assets.playerSheet = loadSprite(PLAYER_SHEET.file);
  assets.blastSheet = loadSprite(BLAST_SHEET.file);
  assets.blackSheet = loadSprite(BLACK_SHEET.file);
}

// Pictures are loaded the first time their scene needs them (the title's
// when it is first drawn, the stage's when a stage starts): a run that never
// shows them never holds them, and the first picture comes sooner.
static void loadOnce(Sprite* slot, const char* file) {
  if (!*slot) *slot = loadSprite(file);
}

void holdTitlePictures() {
  // Only the logo's first frame is drawn.
  if (!assets.titleSheet)
    assets.titleSheet = loadSpritePart(TITLE_SHEET.file, SCREEN_PICTURE.w, SCREEN_PICTURE.h);
  loadOnce(&assets.titleBackdrop, TITLE_BACKDROP.file);
  loadOnce(&assets.menuDimSheet, MENU_DIM_SHEET.file);
  loadOnce(&assets.menuLitSheet, MENU_LIT_SHEET.file);
  loadOnce(&assets.menuGlowSheet, MENU_GLOW_SHEET.file);
}

// A stage needs none of the title's pictures: they are let go while it
// plays and loaded again when the title returns.
void releaseTitlePictures() {
  for (Sprite* s : {&assets.titleSheet, &assets.titleBackdrop, &assets.menuDimSheet,
                    &assets.menuLitSheet, &assets.menuGlowSheet}) {
    freeSprite(*s);
    *s = nullptr;
  }
}

void holdMissMenuPictures() { loadOnce(&assets.missMenuSheet, MISS_MENU_SHEET.file); }

void holdStagePictures() {
  releaseTitlePictures();
  if (!assets.tileSheet) {
    assets.tileSheet = loadSprite(TILE_SHEET.file);
    // Tiles are drawn keyed at 31 x 31 from 50 x 50 cells.
    prepareDrawnCells(assets.tileSheet, 50, 50, 31, 31, COLOR_WHITE);
    prepareKeyRuns(assets.tileSheet, COLOR_WHITE);
  }
  if (!assets.crushSheet) assets.crushSheet = loadSpriteShrunk(CRUSH_SHEET.file, CRUSH_SHRINK);
  loadOnce(&assets.bombSheet, BOMB_SHEET.file);
  loadOnce(&assets.aimSheet, AIM_SHEET.file);
  loadOnce(&assets.stageBackdrop, STAGE_BACKDROP.file);
  loadOnce(&assets.spareSheet, SPARE_SHEET.file);
  loadOnce(&assets.shadowSheet, SHADOW_SHEET.file);
  loadOnce(&assets.keyIconSheet, KEY_ICON_SHEET.file);
  loadOnce(&assets.arrowSprite, ARROW_SHEET.file);
  loadOnce(&assets.warpSheet, WARP_SHEET.file);
}

// The result screen's pictures wait for the first cleared stage.
void holdResultPictures() {
  loadOnce(&assets.resultPanel, RESULT_PANEL.file);
  loadOnce(&assets.resultSheet, RESULT_SHEET.file);
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
  setDisplayMode(0, 0, 320, 200, 1, "タイトルです");
  runFrameLoop();
  shutdownProgram(EXIT_CHOSEN_QUIT);
}
