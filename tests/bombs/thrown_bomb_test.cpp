// The thrown bomb: taking, aiming, the arc, the flight tests and the preview.
#include <cmath>
#include <vector>

#include "bomb_fixture.h"
#include "platform/input.h"

using ThrownBomb = BombTest;

TEST_F(ThrownBomb, RefillPutsSpentSlotsIntoTheStockAtTheParkingPlace) {
  thrown.x[7] = 300;
  thrownFrame(KEY_UP);
  for (int i = 0; i < 10; i++) {
    EXPECT_EQ(thrown.state[i], BOMB_READY);
    EXPECT_EQ(thrown.x[i], -50.0f);
    EXPECT_EQ(thrown.y[i], -50.0f);
  }
}

TEST_F(ThrownBomb, TakingNeedsAFreshPressNoOtherBombKeyAndStock) {
  bombs.thrownBombCount = 0;
  thrownFrame(KEY_PRESSED);
  bombs.thrownBombCount = 3;
  thrownFrame(KEY_PRESSED, KEY_HELD);
  thrownFrame(KEY_PRESSED, 0, KEY_PRESSED);
  for (int i = 0; i < 10; i++) EXPECT_EQ(thrown.state[i], BOMB_READY);
  thrownFrame(KEY_PRESSED, KEY_RELEASED);  // a key let go does not count
  EXPECT_EQ(thrown.state[0], BOMB_HELD);
  EXPECT_EQ(bombs.aimAngle[0], AIM_START_ANGLE);
  // A second press while one is held takes nothing.
  thrownFrame(KEY_PRESSED);
  EXPECT_EQ(thrown.state[1], BOMB_READY);
}

TEST_F(ThrownBomb, SingleFramePressKeepsTheBombHeldUntilTheNextRelease) {
  thrownFrame(KEY_PRESSED);
  thrownFrame(KEY_UP);
  thrownFrame(KEY_UP);
  EXPECT_EQ(thrown.state[0], BOMB_HELD);
  EXPECT_EQ(thrown.x[0], -50.0f);
  thrownFrame(KEY_PRESSED);  // nothing new is taken
  EXPECT_EQ(thrown.state[1], BOMB_READY);
  thrownFrame(KEY_HELD);
  thrownFrame(KEY_RELEASED);
  EXPECT_EQ(thrown.state[0], BOMB_LIVE);
}

TEST_F(ThrownBomb, NeverMoreInFlightThanTheCount) {
  setStageSize(60, 200);
  playerX = 1000;
  playerY = 1000;
  for (int n = 0; n < 4; n++) {
    thrownFrame(KEY_PRESSED);
    thrownFrame(KEY_HELD);
    thrownFrame(KEY_RELEASED);
  }
  int live = 0;
  for (int i = 0; i < 10; i++) live += thrown.state[i] == BOMB_LIVE;
  EXPECT_EQ(live, 3);
  EXPECT_EQ(thrown.state[3], BOMB_READY);
}

// Takes a bomb and aims it for `frames` frames (the press included).
static void takeAndAim(ThrownBomb* t, int frames) {
  for (int f = 0; f < frames; f++) t->thrownFrame(f == 0 ? KEY_PRESSED : KEY_HELD);
}

// Takes a bomb and throws it at 45 degrees, or at the steepest 79 with Down held.
static void throwBomb(ThrownBomb* t, bool steep = false) {
  headlessSetKey(VK_DOWN, steep);
  takeAndAim(t, steep ? 17 : 2);
  headlessSetKey(VK_DOWN, 0);
  t->thrownFrame(KEY_RELEASED);
}

TEST_F(ThrownBomb, HoldingDownSeventeenFramesReachesSeventyNineAndStops) {
  headlessSetKey(VK_DOWN, 1);
  takeAndAim(this, 17);
  EXPECT_EQ(bombs.aimAngle[0], -79);
  thrownFrame(KEY_HELD);
  thrownFrame(KEY_HELD);
  EXPECT_EQ(bombs.aimAngle[0], -79);
  headlessSetKey(VK_DOWN, 0);
  headlessSetKey(VK_UP, 1);
  for (int f = 0; f < 30; f++) thrownFrame(KEY_HELD);
  EXPECT_EQ(bombs.aimAngle[0], -45);  // flattest is 45 degrees
}

TEST_F(ThrownBomb, FacingLeftTheAngleRunsUpToMinusEleven) {
  facing = -1;
  headlessSetKey(VK_DOWN, 1);
  takeAndAim(this, 16);
  EXPECT_EQ(bombs.aimAngle[0], -13);
  thrownFrame(KEY_HELD);
  EXPECT_EQ(bombs.aimAngle[0], -11);
  thrownFrame(KEY_HELD);
  EXPECT_EQ(bombs.aimAngle[0], -11);
  EXPECT_EQ(bombs.throwDirX[0], -1);
  EXPECT_EQ(bombs.aimBase[0], -90);
  EXPECT_EQ(bombs.mirrorSign[0], 1);
}

TEST_F(ThrownBomb, TurningRoundKeepsTheElevationAndBothKeysLeaveIt) {
  facing = -1;
  headlessSetKey(VK_DOWN, 1);
  takeAndAim(this, 5);  // elevation 55
  EXPECT_EQ(bombs.aimAngle[0], -35);
  headlessSetKey(VK_UP, 1);
  thrownFrame(KEY_HELD);
  EXPECT_EQ(bombs.aimAngle[0], -35);
  headlessSetKey(VK_DOWN, 0);
  headlessSetKey(VK_UP, 0);
  facing = 1;
  thrownFrame(KEY_HELD);
  EXPECT_EQ(bombs.aimAngle[0], -55);
  facing = -1;
  thrownFrame(KEY_HELD);
  EXPECT_EQ(bombs.aimAngle[0], -35);
}

TEST_F(ThrownBomb, AtFortyFiveTheBombAdvancesElevenAndAHalfAFrame) {
  throwBomb(this);
  ASSERT_EQ(thrown.state[0], BOMB_LIVE);
  EXPECT_NEAR(bombs.throwRange[0], -331.53f, 0.01f);
  // The first flight frame: height 0, one horizontal step.
  EXPECT_FLOAT_EQ(thrown.x[0], 11.5f + 111 - 8);
  EXPECT_FLOAT_EQ(thrown.y[0], 124 - 6);
  float lastX = thrown.x[0], lastY = thrown.y[0];
  thrownFrame(KEY_UP);
  EXPECT_NEAR(thrown.x[0] - lastX, 11.5f, 1e-4);
  EXPECT_LT(thrown.y[0], lastY);  // rising
  for (int f = 0; f < 5; f++) {
    lastX = thrown.x[0];
    thrownFrame(KEY_UP);
    EXPECT_NEAR(thrown.x[0] - lastX, 11.5f, 1e-3);
  }
}

TEST_F(ThrownBomb, AtSeventyNineFromTheLeftEdgeTheStepIsAboutThree) {
  playerX = 0;
  playerY = 300;
  throwBomb(this, true);
  EXPECT_NEAR(bombs.throwRange[0], -124.19f, 0.01f);
  float x0 = thrown.x[0];
  EXPECT_NEAR(x0, 3.0f + 3, 0.01f);
  thrownFrame(KEY_UP);
  EXPECT_NEAR(thrown.x[0] - x0, 2.997f, 0.002f);
}

TEST_F(ThrownBomb, FarBelowTheThrowerItFallsAlongAStraightLine) {
  setStageSize(200, 40);
  throwBomb(this);
  std::vector<float> ys{thrown.y[0]};
  for (int f = 0; f < 40 && thrown.state[0] == BOMB_LIVE; f++) {
    thrownFrame(KEY_UP);
    ys.push_back(thrown.y[0]);
  }
  // Find the first frame that started below launchY + 49 and check that
  // every later step repeats the one before it.
  size_t first = 0;
  while (first < ys.size() && !(ys[first] > playerY + 49)) first++;
  ASSERT_LT(first + 3, ys.size());
  float step = ys[first + 1] - ys[first];
  EXPECT_GT(step, 0);
  for (size_t k = first + 1; k + 1 < ys.size(); k++) EXPECT_NEAR(ys[k + 1] - ys[k], step, 1e-3);
}

TEST_F(ThrownBomb, LeavingThroughTheSidesOrBottomVanishesWithoutABlast) {
  setStageSize(12, 14);
  int before = stage.blocksCrushed;
  for (int dir : {1, -1}) {
    facing = dir;
    throwBomb(this);
    int slot = 0;  // back in the stock, so taken again
    int frames = 0;
    while (thrown.state[slot] == BOMB_LIVE && frames < 200) {
      thrownFrame(KEY_UP);
      frames++;
    }
    EXPECT_EQ(thrown.state[slot], BOMB_SPENT);
    EXPECT_LT(frames, 200);
  }
  EXPECT_EQ(stage.blocksCrushed, before);
  EXPECT_EQ(countCrushEffects(), 0);
}

TEST_F(ThrownBomb, AboveTheTopEdgeItIsNotRemoved) {
  setStageSize(10, 40);
  playerY = 30;
  throwBomb(this, true);
  bool wasAbove = false;
  for (int f = 0; f < 60 && thrown.state[0] == BOMB_LIVE; f++) {
    thrownFrame(KEY_UP);
    if (thrown.y[0] < -30) {
      wasAbove = true;
      EXPECT_EQ(thrown.state[0], BOMB_LIVE);
    }
  }
  EXPECT_TRUE(wasAbove);
}

TEST_F(ThrownBomb, MeetingAWallOnTheFirstFrameStillBlastsThreeByThree) {
  // First flight box at (114.5, 118): centre (5, 4), right column 5;
  // (3, 4) and (5, 6) lie just outside the square.
  const struct {
    int row, col, kind, after;
  } cells[] = {{5, 5, BLOCK_STRONG, BLOCK_STRONG}, {4, 5, BLOCK_MEDIUM, EMPTY},
               {6, 5, BLOCK_MEDIUM, EMPTY},        {4, 3, BLOCK_WEAK, EMPTY},
               {6, 4, BLOCK_WEAK, EMPTY},          {3, 4, BLOCK_WEAK, BLOCK_WEAK},
               {5, 6, BLOCK_WEAK, BLOCK_WEAK}};
  for (const auto& k : cells) put(k.row, k.col, k.kind);
  int before = stage.blocksCrushed;
  throwBomb(this);
  EXPECT_EQ(thrown.state[0], BOMB_BLAST);
  for (const auto& k : cells) EXPECT_EQ(cell(k.row, k.col).kind, k.after) << k.row << "," << k.col;
  EXPECT_EQ(stage.blocksCrushed, before + 4);
}

TEST_F(ThrownBomb, UnpressedSwitchStopsItAndIsPressed) {
  putGate(1, 30);
  put(5, 5, SWITCH_A, 0, 1, 30);
  throwBomb(this);
  EXPECT_EQ(thrown.state[0], BOMB_BLAST);
  EXPECT_EQ(cell(5, 5).state, 1);
  EXPECT_EQ(cell(1, 30).state, 1);
}

// The preview of slot 0 after aiming with Q held (the arc starts at 0).
static std::vector<std::pair<int, int>> previewDots(ThrownBomb* t, float camX, float camY) {
  std::vector<int> xs(5000), ys(5000);
  int n = computeThrowPreview(0, camX, camY, t->facing, xs.data(), ys.data(), 5000);
  std::vector<std::pair<int, int>> out;
  for (int k = 0; k < n && k < 5000; k++) out.push_back({xs[k], ys[k]});
  return out;
}

TEST_F(ThrownBomb, PreviewWithoutAnyWallEndsAtTheStageEdge) {
  setStageSize(20, 30);
  playerX = 300;
  playerY = 100;
  takeAndAim(this, 2);
  auto dots = previewDots(this, 0, 0);
  ASSERT_FALSE(dots.empty());
  EXPECT_LT(bombs.arcU[0] + bombs.startX[0], 30 * 25 + 3);
  for (auto& d : dots) {
    EXPECT_LT(d.first, 30 * 25 + 19);
    EXPECT_LT(d.second, 20 * 25 + 3);
  }
}
