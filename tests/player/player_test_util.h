// Shared set-up for the player tests: a hand-built stage and frame stepping.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/headless/headless.h"
#include "platform/input.h"
#include "player/player_state.h"
#include "stage/stage_state.h"
#include "temp_folder.h"

// A 20 x 30 stage with a wall floor on row 10; the player stands at
// (100, 200), feet on the floor.
class PlayerTest : public ::testing::Test {
 public:
  void SetUp() override {
    resetGame();
    headlessReset();
    setSaveFolder(saves.path().c_str());
    stage.stageRows = 20;
    stage.stageCols = 30;
    for (int c = 0; c < 30; c++) stage.grid[10][c].kind = WALL;
    app.scene = SCENE_PLAY;
    s().playerX = 100;
    s().playerY = 200;
  }
  void TearDown() override {
    stage.platforms = nullptr;  // the tests' platforms are not heap records
    headlessReleaseAllKeys();
  }
  static GameSession& s() { return app.session; }
  static float& px() { return app.session.playerX; }
  static float& py() { return app.session.playerY; }
  // One play frame of the player: running, then jumping and falling.
  static void frame() {
    updatePlayerActions(&s().playerX, &s().playerY, &s().facing);
    updatePlayerMovement(&s().playerX, &s().playerY, s().barrel.x, s().barrel.y, s().barrel.state,
                         &s().verticalState);
  }
  static void frames(int n) {
    for (int i = 0; i < n; i++) frame();
  }
  static void key(int vk, int held) { headlessSetKey(vk, held); }
  static void put(int row, int col, int kind, int linkRow = 0, int linkCol = 0) {
    MapCell& c = stage.grid[row][col];
    c.kind = (int8_t)kind;
    c.linkRow = linkRow;
    c.linkCol = linkCol;
    c.state = 0;
  }
  TempFolder saves{"puxten-player"};
};
