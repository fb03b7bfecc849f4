// The camera at the stage's edges, the stage surfaces and the player's shadow.
#include <cmath>
#include <limits>

#include "app/screens_fixture.h"
#include "app/shadow.h"

using CameraTest = ScreensTest;

struct View {
  float cx, cy, sx, sy;
};

static View follow(float px, float py) {
  GameSession& s = app.session;
  updateCamera(px, py, &s.cameraX, &s.cameraY, &s.screenX, &s.screenY);
  return {s.cameraX, s.cameraY, s.screenX, s.screenY};
}

TEST_F(CameraTest, NarrowStageSnapsBetween25AndItsRightEdge) {
  for (int cols : {10, 20, 26}) {
    resetGame();
    stage.stageCols = cols;
    stage.stageRows = 60;
    float right = std::max(0, cols * 25 - 650);
    for (float px : {0.f, 324.9f, 325.f, 500.f}) {
      View v = follow(px, 700);
      EXPECT_EQ(v.cx, px < 325 ? 25.f : right) << "cols " << cols << " px " << px;
      EXPECT_FLOAT_EQ(v.sx, px - v.cx) << "cols " << cols << " px " << px;
    }
  }
}

TEST_F(CameraTest, ShortStageHoldsTheBottomEdgeEvenAboveTheTop) {
  stage.stageCols = 100;
  stage.stageRows = 10;  // 250 px: the bottom edge test comes first
  for (float py : {60.f, 100.f, 200.f}) {
    View v = follow(1000, py);
    EXPECT_EQ(v.cy, -250.f) << py;
    EXPECT_FLOAT_EQ(v.sy, py + 250) << py;
  }
  // Only a player above that line reaches the top test.
  View v = follow(1000, 0);
  EXPECT_EQ(v.cy, 50.f);
  EXPECT_FLOAT_EQ(v.sy, -50.f);
  stage.stageRows = 21;  // 525 px: 25 or 50, never the middle
  EXPECT_EQ(follow(1000, 400).cy, 25.f);
  EXPECT_EQ(follow(1000, 300).cy, 50.f);
}

TEST_F(CameraTest, StageSurfacesFollowTheStageAndFreeTwice) {
  makeStage(12, 30, -1);
  ASSERT_NE(assets.stageSurface, nullptr);
  EXPECT_EQ(logicalWidth(assets.stageSurface), 750);
  EXPECT_EQ(logicalHeight(assets.stageSurface), 300);
  freeStageSurfaces();
  EXPECT_EQ(assets.stageSurface, nullptr);
  EXPECT_EQ(assets.darkBackdrop, nullptr);
  freeStageSurfaces();     // several ways out of a stage free them
  presentStageView(0, 0);  // nothing to show, nothing happens
}

TEST_F(CameraTest, DamagedStageSizeMakesNoAbsurdSurface) {
  stage.stageRows = -3;
  stage.stageCols = 1 << 30;
  createStageSurfaces();
  EXPECT_EQ(logicalHeight(assets.stageSurface), 0);
  EXPECT_EQ(logicalWidth(assets.stageSurface), GRID_SIZE * TILE_SIZE);
}

class ShadowTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    makeStage(20, 30, 10);  // floor top at y 250
  }
  static float landing(float x, float y) {
    float py = -1;
    EXPECT_EQ(shadowLanding(x, y, &py), 1);
    return py;
  }
};

TEST_F(ShadowTest, PassableKindsAndSolidOnes) {
  const int passable[] = {EMPTY, SWITCH_C, WARP, GOAL_CHEST, TIMED_SWITCH, STAGE_DOOR};
  for (int kind : passable) {
    stage.grid[9][4].kind = (int8_t)kind;
    EXPECT_EQ(isSolidForShadow(100, 200), 0) << kind;
  }
  const int solid[] = {WALL, HAZARD_A, GATE_VERTICAL, 11, 127, -128};
  for (int kind : solid) {
    stage.grid[9][4].kind = (int8_t)kind;
    EXPECT_EQ(isSolidForShadow(100, 200), 1) << kind;
  }
  // The cell of the lowest pixel row: y + 49.
  stage.grid[9][4].kind = EMPTY;
  EXPECT_EQ(isSolidForShadow(100, 200), 0);
  EXPECT_EQ(isSolidForShadow(100, 201), 1);
  // Outside the grid nothing is solid.
  EXPECT_EQ(isSolidForShadow(-30, 200), 0);
  EXPECT_EQ(isSolidForShadow(100, 9000), 0);
}

TEST_F(ShadowTest, SearchStopsAtTheGridsEdge) {
  for (int c = 0; c < 30; c++) stage.grid[10][c].kind = EMPTY;  // a bottomless stage
  float py = 0;
  EXPECT_EQ(shadowLanding(100, 200, &py), 0);
  EXPECT_EQ(shadowLanding(-5000, -3000, &py), 0);
  EXPECT_EQ(shadowLanding(100, -1e9f, &py), 0);
  EXPECT_EQ(shadowLanding(100, std::numeric_limits<float>::quiet_NaN(), &py), 0);
  EXPECT_EQ(shadowLanding(std::numeric_limits<float>::infinity(), 0, &py), 0);
  // A solid cell in the grid's very last row is still found.
  stage.grid[GRID_SIZE - 1][4].kind = WALL;
  EXPECT_EQ(shadowLanding(100, 200, &py), 1);
  EXPECT_EQ(py, (GRID_SIZE - 1) * 25);
}
