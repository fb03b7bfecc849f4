// Moving platforms, weight switches and timed switches, frame by frame.
#include "stage_test_support.h"

class StageTimers : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    stage.stageRows = 20;
    stage.stageCols = 20;
  }
  // An open gate at (5, 5) driven by a switch of `kind` at (10, 2).
  void openGate(int gateKind, int switchKind) {
    stage.grid[5][5] = MapCell{(int8_t)gateKind, 0, 0, 1, 75, 0};
    stage.grid[10][2] = MapCell{(int8_t)switchKind, 5, 5, 1, 0, 0};
  }
  int partKind(int k) {
    return stage.grid[5][5].kind == GATE_VERTICAL ? stage.grid[5 + k][5].kind
                                                  : stage.grid[5][5 + k].kind;
  }
  // The gate's state, its switch's state and the kinds of the gate's parts.
  std::vector<int> gate() {
    return {stage.grid[5][5].state, stage.grid[10][2].state, partKind(1), partKind(2), partKind(3)};
  }
};

static std::vector<float> track(MovingPlatform* p, bool vertical, int frames) {
  std::vector<float> seen;
  for (int i = 0; i < frames; i++) {
    updateStageTimers();
    seen.push_back(vertical ? p->y : p->x);
  }
  return seen;
}

TEST_F(StageTimers, HorizontalPlatformOvershootsEachEndByUpToThreePixels) {
  addMovingPlatform(50, 100, 150, 100);
  std::vector<float> xs = track(stage.platforms, false, 34 + 35 + 2);
  std::vector<float> expected;
  for (float x = 53; x <= 152; x += 3) expected.push_back(x);  // 53 .. 152
  for (float x = 149; x >= 47; x -= 3) expected.push_back(x);  // back to 47
  expected.insert(expected.end(), {50, 53});
  EXPECT_EQ(xs, expected);
  EXPECT_EQ(stage.platforms->y, 100);
}

TEST_F(StageTimers, VerticalPlatformGoesUpFirst) {
  addMovingPlatform(50, 100, 50, 25);
  std::vector<float> ys = track(stage.platforms, true, 26 + 27 + 1);
  std::vector<float> expected;
  for (float y = 97; y >= 22; y -= 3) expected.push_back(y);   // 97 .. 22
  for (float y = 25; y <= 103; y += 3) expected.push_back(y);  // down to 103
  expected.push_back(100);
  EXPECT_EQ(ys, expected);
  EXPECT_EQ(stage.platforms->x, 50);
}

TEST_F(StageTimers, ReversedPlatformsTrembleAtTheirFarEnd) {
  addMovingPlatform(150, 100, 100, 100);  // far end to the left
  std::vector<float> xs = track(stage.platforms, false, 40);
  EXPECT_EQ(xs[0], 153);
  EXPECT_EQ(xs[1], 150);
  EXPECT_EQ(xs[18], 99);
  EXPECT_EQ(xs[19], 102);
  EXPECT_EQ(xs[39], 102);

  freeMovingPlatforms();
  addMovingPlatform(50, 25, 50, 100);  // far end below
  std::vector<float> ys = track(stage.platforms, true, 40);
  EXPECT_EQ(ys[0], 22);
  EXPECT_EQ(ys[1], 25);
  EXPECT_EQ(ys[38], 100);
  EXPECT_EQ(ys[39], 97);
  EXPECT_EQ(ys[37], 97);
}

TEST_F(StageTimers, WeightSwitchGateShutsAtTheEndOfTheFirstUnpressedFrame) {
  openGate(GATE_VERTICAL, WEIGHT_SWITCH);
  for (int k = 1; k <= 3; k++) stage.grid[5 + k][5].kind = EMPTY;
  // Pressed in this frame (a barrel bomb sets state 1 before the timers).
  updateStageTimers();
  EXPECT_EQ(gate(), (std::vector<int>{1, 0, EMPTY, EMPTY, EMPTY}));
  stage.grid[10][2].state = 1;
  updateStageTimers();
  EXPECT_EQ(stage.grid[5][5].state, 1);
  // Not pressed: the gate closes, its parts are solid at once, the picture
  // still has to slide.
  updateStageTimers();
  const int part = GATE_VERTICAL_PART;
  EXPECT_EQ(gate(), (std::vector<int>{0, 0, part, part, part}));
  EXPECT_EQ(stage.grid[5][5].progress, 75);
}

TEST_F(StageTimers, TimedSwitchHoldsItsGateForSixSeconds) {
  openGate(GATE_HORIZONTAL, TIMED_SWITCH);
  headless.nowMs = 10000;
  addSwitchTimer(10, 2);
  headless.nowMs = 15999;
  updateStageTimers();
  EXPECT_EQ(gate(), (std::vector<int>{1, 1, EMPTY, EMPTY, EMPTY}));
  EXPECT_EQ(countSwitchTimers(), 1);
  headless.nowMs = 16000;
  updateStageTimers();
  const int part = GATE_HORIZONTAL_PART;
  EXPECT_EQ(gate(), (std::vector<int>{0, 0, part, part, part}));
  EXPECT_EQ(countSwitchTimers(), 0);
}

TEST_F(StageTimers, OnlyExpiredTimersGo) {
  openGate(GATE_VERTICAL, TIMED_SWITCH);
  headless.nowMs = 1000;
  addSwitchTimer(10, 2);
  headless.nowMs = 2000;
  addSwitchTimer(10, 2);
  addSwitchTimer(3, 3);  // a cell that is no switch: it just pops its state
  stage.grid[3][3].state = 1;
  headless.nowMs = 7500;
  updateStageTimers();
  // The oldest timer closes the gate although another one is pending.
  EXPECT_EQ(stage.grid[5][5].state, 0);
  EXPECT_EQ(stage.grid[10][2].state, 0);
  EXPECT_EQ(countSwitchTimers(), 2);
  EXPECT_EQ(stage.grid[3][3].state, 1);
  headless.nowMs = 9000;
  updateStageTimers();
  EXPECT_EQ(countSwitchTimers(), 0);
  EXPECT_EQ(stage.grid[3][3].state, 0);
}

TEST_F(StageTimers, CloseLinkedGateActsOnlyForWeightAndTimedSwitches) {
  openGate(GATE_VERTICAL, SWITCH_A);
  closeLinkedGate(10, 2);
  EXPECT_EQ(stage.grid[5][5].state, 1);
  stage.grid[10][2].kind = WEIGHT_SWITCH;
  closeLinkedGate(10, 2);
  EXPECT_EQ(stage.grid[5][5].state, 0);
  EXPECT_EQ(partKind(3), GATE_VERTICAL_PART);
}

TEST_F(StageTimers, LinksAndTimersOutsideTheGridDoNothing) {
  stage.stageRows = 256;
  stage.stageCols = 256;
  stage.grid[0][0] = MapCell{WEIGHT_SWITCH, -1, 0, 0, 0, 0};
  stage.grid[0][1] = MapCell{WEIGHT_SWITCH, 0, 256, 0, 0, 0};
  stage.grid[0][2] = MapCell{TIMED_SWITCH, INT32_MAX, INT32_MIN, 1, 0, 0};
  stage.grid[255][3] = MapCell{GATE_VERTICAL, 0, 0, 1, 0, 0};
  stage.grid[1][253] = MapCell{GATE_HORIZONTAL, 0, 0, 1, 0, 0};
  stage.grid[0][4] = MapCell{WEIGHT_SWITCH, 255, 3, 0, 0, 0};
  stage.grid[0][5] = MapCell{WEIGHT_SWITCH, 1, 253, 0, 0, 0};
  addSwitchTimer(0, 2);
  addSwitchTimer(-5, 300);
  addSwitchTimer(256, 256);
  headless.nowMs = 100000;
  updateStageTimers();
  closeLinkedGate(-1, -1);
  closeLinkedGate(1000, 3);
  EXPECT_EQ(countSwitchTimers(), 0);
  EXPECT_EQ(stage.grid[0][2].state, 0);
  EXPECT_EQ(stage.grid[255][3].state, 0);
  EXPECT_EQ(stage.grid[1][253].state, 0);
  EXPECT_EQ(stage.grid[1][254].kind, GATE_HORIZONTAL_PART);
  EXPECT_EQ(stage.grid[1][255].kind, GATE_HORIZONTAL_PART);
}
