// A small hand-made stage and the slot arrays the bomb updates work on.
#pragma once
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/display.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/trig.h"
#include "stage/stage_state.h"

class BombTest : public ::testing::Test {
 public:
  BombArrays thrown{}, barrel{}, rolling{};
  float playerX = 100, playerY = 100;
  int facing = 1;
  int savedScaleMode = 0;

  void SetUp() override {
    resetGame();
    headlessReset();
    headlessAudioReset();
    fillFlightTables();
    savedScaleMode = display.scaleMode;
    display.scaleMode = 0;  // drawing tests count logical pixels
    setStageSize(20, 40);
    for (int i = 0; i < 10; i++) {
      thrown.x[i] = thrown.y[i] = barrel.x[i] = barrel.y[i] = rolling.x[i] = rolling.y[i] = -50;
    }
  }
  void TearDown() override {
    stage.platforms = nullptr;  // tests only point it at records of their own
    headlessReleaseAllKeys();
    display.scaleMode = savedScaleMode;
  }

  static void setStageSize(int rows, int cols) {
    stage.stageRows = rows;
    stage.stageCols = cols;
  }
  static MapCell& cell(int row, int col) { return stage.grid[row][col]; }
  static void put(int row, int col, int kind, int state = 0, int linkRow = 0, int linkCol = 0) {
    MapCell& c = stage.grid[row][col];
    c.kind = (int8_t)kind;
    c.state = (int8_t)state;
    c.linkRow = linkRow;
    c.linkCol = linkCol;
  }
  static void fillRow(int row, int kind) {
    for (int c = 0; c < stage.stageCols; c++) put(row, c, kind);
  }
  static void fillCol(int col, int fromRow, int toRow, int kind) {
    for (int r = fromRow; r <= toRow; r++) put(r, col, kind);
  }
  // A vertical gate at (row, col) with its three parts below.
  static void putGate(int row, int col) {
    put(row, col, GATE_VERTICAL);
    for (int i = 1; i <= 3; i++) put(row + i, col, GATE_VERTICAL_PART, 0, row, col);
  }

  void thrownFrame(int keyQ, int keyW = 0, int keyE = 0) {
    updateThrownBombs(playerX, playerY, thrown.x, thrown.y, thrown.state, keyQ, keyW, keyE, facing);
  }
  void barrelFrame(int keyW, int keyQ = 0, int keyE = 0) {
    updateBarrelBombs(playerX, playerY, barrel.x, barrel.y, barrel.state, keyQ, keyW, keyE, facing,
                      barrel.extra);
  }
  void rollingFrame(int keyE, int keyQ = 0, int keyW = 0) {
    updateRollingBombs(playerX, playerY, rolling.x, rolling.y, rolling.state, keyQ, keyW, keyE,
                       facing, rolling.extra);
  }
  // One frame of 40 ms on the virtual clock.
  static void tick() { headless.nowMs += 40; }
};
