// Shared set-up for the screen tests: a fresh game, a 640 x 480 back buffer,
// plain-coloured sheets in place of the game's pictures and a save folder
// of the test's own.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/display.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/input.h"
#include "player/player_state.h"
#include "stage/stage_state.h"
#include "test_support.h"

// A sheet of one colour (0x00RRGGBB).
inline Sprite solidSprite(int w, int h, uint32_t pixel) {
  Sprite s = createBlankSprite(w, h);
  std::fill(s->pixels.begin(), s->pixels.end(), pixel);
  return s;
}

// The pixel at device point (x, y) of the surface's picture.
inline uint32_t pixelAt(Sprite s, int x, int y) {
  return s->pixels[(size_t)(y - s->originY) * s->width + (x - s->originX)];
}

class ScreensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGame();
    resetHeadlessScreen();
    headlessAudioReset();
    assets.backBufferDC = createBackBuffer();
    // Pictures the screens draw; white is the transparent key, so the
    // sheets that must show up are coloured.
    assets.playerSheet = solidSprite(400, 1450, 0x00FF00);
    assets.blackSheet = solidSprite(640, 480, 0x000000);
    assets.titleBackdrop = solidSprite(1464, 480, 0x404040);
    assets.titleSheet = createBlankSprite(640, 480);
    assets.menuLitSheet = createBlankSprite(640, 480);
    assets.menuDimSheet = createBlankSprite(640, 480);
    assets.menuGlowSheet = createBlankSprite(640, 480);
    assets.blastSheet = createBlankSprite(3250, 250);
    assets.missMenuSheet = createBlankSprite(1280, 480);
    assets.resultPanel = createBlankSprite(640, 480);
    assets.resultSheet = createBlankSprite(450, 202);
    assets.keyIconSheet = solidSprite(300, 100, 0xFF0000);
    assets.bombSheet = createBlankSprite(600, 400);
    assets.shadowSheet = solidSprite(20, 5, 0x000000);
    assets.tileSheet = createBlankSprite(500, 500);
    assets.aimSheet = createBlankSprite(100, 100);
    assets.stageBackdrop = createBlankSprite(640, 480);
    assets.crushSheet = createBlankSprite(500, 100);
    assets.warpSheet = createBlankSprite(800, 50);
    assets.arrowSprite = createBlankSprite(50, 50);
    assets.spareSheet = createBlankSprite(50, 50);
    setSaveFolder(saves.path().c_str());
  }

  // The player at stage (400, 200), seen at (300, 200) with the camera at
  // (100, 0): where the miss and result screens take over.
  void standOnScreen() {
    s().playerX = 400;
    s().playerY = 200;
    s().cameraX = 100;
    s().cameraY = 0;
    s().screenX = 300;
    s().screenY = 200;
  }

  void TearDown() override {
    stage.platforms = nullptr;  // the tests' platforms are not heap records
    headlessReleaseAllKeys();
    freeStageSurfaces();
    Sprite* sheets[] = {
        &assets.backBufferDC, &assets.playerSheet,   &assets.blackSheet,   &assets.titleBackdrop,
        &assets.titleSheet,   &assets.menuLitSheet,  &assets.menuDimSheet, &assets.menuGlowSheet,
        &assets.blastSheet,   &assets.missMenuSheet, &assets.resultPanel,  &assets.resultSheet,
        &assets.keyIconSheet, &assets.bombSheet,     &assets.shadowSheet,  &assets.tileSheet,
        &assets.aimSheet,     &assets.stageBackdrop, &assets.crushSheet,   &assets.warpSheet,
        &assets.arrowSprite,  &assets.spareSheet};
    for (Sprite* s : sheets) {
      freeSprite(*s);
      *s = nullptr;
    }
  }

  // A stage of the given size with a wall floor on row floorRow (none if
  // negative), its surfaces made as a stage start makes them.
  static void makeStage(int rows, int cols, int floorRow) {
    stage.stageRows = rows;
    stage.stageCols = cols;
    if (floorRow >= 0)
      for (int c = 0; c < cols; c++) stage.grid[floorRow][c].kind = WALL;
    createStageSurfaces();
  }

  static GameSession& s() { return app.session; }

  // Runs step until done() holds, at most limit times; returns how many ran.
  template <class Done>
  static int runUntil(void (*step)(), Done done, int limit = 500) {
    int n = 0;
    for (; n < limit && !done(); n++) step();
    return n;
  }

  static int wavesPlayed(const std::string& path) {
    int n = 0;
    for (const std::string& line : headlessAudio.log)
      if (line == "wave " + path) n++;
    return n;
  }

  TempFolder saves{"puxten-screens"};
};
