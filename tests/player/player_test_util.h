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
  // The movement step alone: jumping, falling, platforms, without the run keys.
  static void move() {
    updatePlayerMovement(&s().playerX, &s().playerY, s().barrel.x, s().barrel.y, s().barrel.state,
                         &s().verticalState);
  }
  // One play frame of the player: running, then the movement step.
  static void frame() {
    updatePlayerActions(&s().playerX, &s().playerY, &s().facing);
    move();
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
  // A vertical gate at (row, col) with its three parts below.
  static void putGate(int row, int col) {
    put(row, col, GATE_VERTICAL);
    for (int r = 1; r <= 3; r++) put(row + r, col, GATE_VERTICAL_PART, row, col);
  }
  static void removeFloor() {
    for (int c = 0; c < 30; c++) stage.grid[10][c].kind = EMPTY;
  }
  // A still platform standing in for the stage's own list.
  static MovingPlatform platformAt(float x, float y, int direction, int axis) {
    return {x, y, x, y, x, y, direction, axis, nullptr};
  }
  static void barrelAt(int slot, int state, float x, float y) {
    s().barrel.state[slot] = state;
    s().barrel.x[slot] = x;
    s().barrel.y[slot] = y;
  }
  TempFolder saves{"puxten-player"};
};
