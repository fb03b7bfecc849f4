// The rolling bomb: carrying, rolling, falling, platforms and wall blasts.
#include <vector>

#include "bomb_fixture.h"

class RollingBomb : public BombTest {
 public:
  void SetUp() override {
    BombTest::SetUp();
    bombs.rollingBombCount = 1;
  }
  void setRolling(int i, float x, float y, int dir) {
    rolling.state[i] = BOMB_LIVE;
    rolling.x[i] = x;
    rolling.y[i] = y;
    bombs.rollDirection[i] = dir;
  }
};

TEST_F(RollingBomb, CountZeroOrAnotherKeyTakesNothing) {
  bombs.rollingBombCount = 0;
  rollingFrame(KEY_PRESSED);
  EXPECT_EQ(rolling.state[0], BOMB_READY);
  bombs.rollingBombCount = 1;
  rollingFrame(KEY_PRESSED, KEY_HELD);
  rollingFrame(KEY_PRESSED, 0, KEY_PRESSED);
  EXPECT_EQ(rolling.state[0], BOMB_READY);
}

TEST_F(RollingBomb, CarriedBesideThePlayerFromTheFirstHeldFrame) {
  rollingFrame(KEY_PRESSED);
  EXPECT_EQ(rolling.state[0], BOMB_HELD);
  EXPECT_EQ(rolling.x[0], -50.0f);  // not yet on the press frame
  rollingFrame(KEY_HELD);
  EXPECT_FLOAT_EQ(rolling.x[0], 112.0f);
  EXPECT_FLOAT_EQ(rolling.y[0], 115.0f);
  EXPECT_EQ(bombs.rollDirection[0], 1);
  facing = -1;
  rollingFrame(KEY_HELD);
  EXPECT_FLOAT_EQ(rolling.x[0], 98.0f);
  EXPECT_EQ(bombs.rollDirection[0], -1);
  // A second press while held takes nothing.
  bombs.rollingBombCount = 2;
  rollingFrame(KEY_PRESSED);
  EXPECT_EQ(rolling.state[1], BOMB_READY);
}

TEST_F(RollingBomb, LetGoInMidAirFallsFasterUpToTenAndRollsEight) {
  setStageSize(60, 60);
  rollingFrame(KEY_PRESSED);
  rollingFrame(KEY_HELD);
  rollingFrame(KEY_RELEASED);
  EXPECT_EQ(rolling.state[0], BOMB_LIVE);
  EXPECT_FLOAT_EQ(rolling.x[0], 112.0f);  // no roll on the release frame
  EXPECT_FLOAT_EQ(rolling.y[0], 116.0f);
  std::vector<float> dy;
  for (int f = 0; f < 12; f++) {
    float x = rolling.x[0], y = rolling.y[0];
    rollingFrame(KEY_UP);
    EXPECT_FLOAT_EQ(rolling.x[0] - x, 8.0f);
    dy.push_back(rolling.y[0] - y);
  }
  std::vector<float> expected{2, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10, 10};
  for (size_t k = 0; k < expected.size(); k++) EXPECT_FLOAT_EQ(dy[k], expected[k]) << k;
}

TEST_F(RollingBomb, RollingOffTheLeftEdgeVanishesWithoutABlast) {
  fillRow(10, WALL);
  setRolling(0, 5, 230, -1);
  rollingFrame(KEY_UP);
  EXPECT_EQ(rolling.state[0], BOMB_SPENT);
  EXPECT_EQ(bombs.rollFallSpeed[0], 0.0f);
  rollingFrame(KEY_UP);
  EXPECT_EQ(rolling.state[0], BOMB_READY);
  EXPECT_EQ(rolling.x[0], -50.0f);
}

TEST_F(RollingBomb, MediumBlockStopsItButStaysWeakBlockGoes) {
  fillRow(10, WALL);
  for (int kind : {BLOCK_MEDIUM, BLOCK_WEAK}) {
    put(9, 8, kind);
    int before = stage.blocksCrushed;
    setRolling(0, 150, 230, 1);
    for (int f = 0; f < 10 && rolling.state[0] == BOMB_LIVE; f++) rollingFrame(KEY_UP);
    EXPECT_EQ(rolling.state[0], BOMB_BLAST);
    EXPECT_EQ(cell(9, 8).kind, kind == BLOCK_WEAK ? EMPTY : kind);
    EXPECT_EQ(stage.blocksCrushed, before + (kind == BLOCK_WEAK));
  }
}

TEST_F(RollingBomb, RollsThroughPressedSwitchesButGoesOffOnUnpressedOnes) {
  fillRow(10, WALL);
  putGate(2, 30);
  put(9, 8, SWITCH_A, 1, 0, 0);
  put(9, 14, SWITCH_B, 0, 2, 30);
  setRolling(0, 100, 230, 1);
  int frames = 0;
  while (rolling.state[0] == BOMB_LIVE && frames < 100) {
    rollingFrame(KEY_UP);
    frames++;
  }
  EXPECT_EQ(rolling.state[0], BOMB_BLAST);
  EXPECT_FLOAT_EQ(rolling.x[0], 332.0f);  // first x whose right edge reaches column 14
  EXPECT_EQ(cell(9, 14).state, 1);
  EXPECT_EQ(cell(9, 14).kind, SWITCH_B);
  EXPECT_EQ(cell(2, 30).state, 1);
  EXPECT_EQ(cell(3, 30).kind, EMPTY);
  EXPECT_EQ(bombs.rollFallSpeed[0], 0.0f);
}

TEST_F(RollingBomb, TimedSwitchWallOnTheLeftGetsTwoTimers) {
  fillRow(10, WALL);
  putGate(2, 30);
  put(9, 3, TIMED_SWITCH, 0, 2, 30);
  setRolling(0, 150, 230, -1);
  for (int f = 0; f < 20 && rolling.state[0] == BOMB_LIVE; f++) rollingFrame(KEY_UP);
  EXPECT_EQ(rolling.state[0], BOMB_BLAST);
  EXPECT_FLOAT_EQ(rolling.x[0], 94.0f);
  EXPECT_EQ(countSwitchTimers(), 2);
  EXPECT_EQ(cell(9, 3).state, 1);
  EXPECT_EQ(cell(2, 30).state, 1);
}

TEST_F(RollingBomb, RidesAPlatformFromRest) {
  MovingPlatform p{200, 300, 200, 300, 300, 300, -1, 0, nullptr};
  stage.platforms = &p;
  setRolling(0, 190, 276, 1);
  bombs.rollFallSpeed[0] = 5;
  rollingFrame(KEY_UP);
  // Rolled to 198, fell 6 to 282, set on the platform and carried left.
  EXPECT_FLOAT_EQ(rolling.x[0], 195.0f);
  EXPECT_FLOAT_EQ(rolling.y[0], 280.0f);
  EXPECT_EQ(bombs.rollFallSpeed[0], 0.0f);
}
