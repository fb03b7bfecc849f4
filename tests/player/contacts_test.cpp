// Switches, chests, the goal chest and hazards on contact.
#include "player_test_util.h"

using PlayerContact = PlayerTest;

// The player at y = 200 spans rows 8 and 9; cell (9, 5) covers x 125 .. 150.

TEST_F(PlayerContact, SwitchesNeedAStrictOverlapOfTheNarrowedBox) {
  put(9, 5, SWITCH_A, 0, 29);
  EXPECT_EQ(checkRightColumn(106.25f, 200), 0);  // x + 18.75 is exactly 125
  EXPECT_EQ(stage.grid[9][5].state, 0);
  EXPECT_EQ(checkRightColumn(106.5f, 200), 0);
  EXPECT_EQ(stage.grid[9][5].state, 1);
  // From the other side the narrowed box ends at x + 6.25.
  put(9, 5, SWITCH_B, 0, 29);
  EXPECT_EQ(checkLeftColumn(143.75f, 200), 0);
  EXPECT_EQ(stage.grid[9][5].state, 0);
  checkLeftColumn(143.5f, 200);
  EXPECT_EQ(stage.grid[9][5].state, 1);
}

TEST_F(PlayerContact, ChestsAndHazardsTouchInclusively) {
  for (int kind : {CHEST_ROLLING_BOMB, CHEST_BARREL_BOMB, CHEST_THROWN_BOMB}) {
    put(9, 5, kind);
    checkRightColumn(106, 200);
    EXPECT_EQ(stage.grid[9][5].state, 0) << "kind " << kind;
    checkRightColumn(106.25f, 200);
    EXPECT_EQ(stage.grid[9][5].state, 1) << "kind " << kind;
  }
  // An opened chest is left to its animation.
  stage.grid[9][5].state = 2;
  checkRightColumn(110, 200);
  EXPECT_EQ(stage.grid[9][5].state, 2);

  put(9, 5, HAZARD_B);
  checkRightColumn(106, 200);
  EXPECT_EQ(app.scene, SCENE_PLAY);
  EXPECT_EQ(checkRightColumn(106.25f, 200), 0);  // hazards do not block
  EXPECT_EQ(app.scene, SCENE_MISS);
}

TEST_F(PlayerContact, AWallAboveEndsTheWalkBeforeAChest) {
  put(8, 5, WALL);
  put(9, 5, CHEST_BARREL_BOMB);
  EXPECT_EQ(checkRightColumn(110, 200), 1);
  EXPECT_EQ(stage.grid[9][5].state, 0);
  // With the chest above the wall it is opened, and the wall still blocks.
  put(8, 5, CHEST_BARREL_BOMB);
  put(9, 5, WALL);
  EXPECT_EQ(checkRightColumn(110, 200), 1);
  EXPECT_EQ(stage.grid[8][5].state, 1);
}

TEST_F(PlayerContact, WalkingIntoASwitchOpensItsGate) {
  putGate(2, 20);
  put(9, 6, SWITCH_A, 2, 20);
  key(VK_RIGHT, 1);
  frames(15);
  EXPECT_EQ(stage.grid[9][6].state, 1);
  EXPECT_EQ(stage.grid[2][20].state, 1);
  for (int r = 3; r <= 5; r++) EXPECT_EQ(stage.grid[r][20].kind, EMPTY);
  EXPECT_GT(px(), 150);  // the switch never stopped the player
}

TEST_F(PlayerContact, CrusherSwitchCrushesTheBlocksAround) {
  put(9, 6, CRUSHER_SWITCH, 9, 6);
  put(5, 10, BLOCK_WEAK);
  put(4, 12, BLOCK_MEDIUM);
  put(3, 14, BLOCK_STRONG);
  stage.blocksCrushed = 0;
  checkRightColumn(140, 200);
  EXPECT_EQ(stage.grid[9][6].state, 1);
  EXPECT_EQ(stage.grid[5][10].kind, EMPTY);
  EXPECT_EQ(stage.grid[4][12].kind, EMPTY);
  EXPECT_EQ(stage.grid[3][14].kind, EMPTY);
  EXPECT_EQ(stage.blocksCrushed, 3);
  EXPECT_EQ(stage.grid[10][0].kind, WALL);  // walls stay
  // Standing on it drives it again, which finds nothing left.
  checkRightColumn(140, 200);
  EXPECT_EQ(stage.blocksCrushed, 3);
}

TEST_F(PlayerContact, TimedSwitchActsOncePerPressAndAgainAfterItsTimer) {
  putGate(2, 20);
  put(9, 5, TIMED_SWITCH, 2, 20);
  checkRightColumn(110, 200);
  EXPECT_EQ(stage.grid[9][5].state, 1);
  EXPECT_EQ(stage.grid[2][20].state, 1);
  EXPECT_EQ(countSwitchTimers(), 1);
  for (int i = 0; i < 10; i++) checkRightColumn(110, 200);
  EXPECT_EQ(countSwitchTimers(), 1);  // standing on it adds no more timers

  // The timer runs out: the gate closes and the switch pops up.
  headless.nowMs += SWITCH_HOLD_MS + 40;
  updateStageTimers();
  ASSERT_EQ(stage.grid[9][5].state, 0);
  ASSERT_EQ(stage.grid[3][20].kind, GATE_VERTICAL_PART);
  // Still standing there: pressed again, the gate reopens.
  checkRightColumn(110, 200);
  EXPECT_EQ(stage.grid[9][5].state, 1);
  EXPECT_EQ(stage.grid[2][20].state, 1);
  EXPECT_EQ(stage.grid[3][20].kind, EMPTY);
  EXPECT_EQ(countSwitchTimers(), 1);
}

TEST_F(PlayerContact, GoalChestClearsTheStageEveryTime) {
  put(9, 5, GOAL_CHEST);
  checkRightColumn(110, 200);
  EXPECT_EQ(app.scene, SCENE_RESULT);
  EXPECT_EQ(stage.grid[9][5].state, 1);
  app.scene = SCENE_PLAY;
  checkRightColumn(110, 200);
  EXPECT_EQ(app.scene, SCENE_RESULT);
  EXPECT_EQ(stage.grid[9][5].state, 1);
}

namespace {

// A hazard under the feet, at the head, reached by a jump or walked into
// ends the attempt.
struct HazardCase {
  const char* name;
  int row, col, kind, runKey;
  int (*probe)(float x, float y);  // the one contact test, or null: frames are played
};

class PlayerHazard : public PlayerTest, public testing::WithParamInterface<HazardCase> {};

TEST_P(PlayerHazard, EndsTheAttempt) {
  const HazardCase& c = GetParam();
  put(c.row, c.col, c.kind);
  if (c.probe) {
    EXPECT_EQ(c.probe(100, 201.5f), 0);  // hazards do not block
  } else {
    frame();  // space up once, so that it can jump
    key(c.runKey, 1);
    for (int i = 0; i < 20 && app.scene == SCENE_PLAY; i++) frame();
    EXPECT_GE(px() + 18.75f, c.col * 25);  // not before the narrowed box reached it
  }
  EXPECT_EQ(app.scene, SCENE_MISS);
}

INSTANTIATE_TEST_SUITE_P(Where, PlayerHazard,
                         testing::Values(HazardCase{"Feet", 10, 4, HAZARD_A, 0, checkFeetRow},
                                         HazardCase{"Head", 8, 4, HAZARD_C, 0, checkHeadRow},
                                         HazardCase{"Jump", 6, 4, HAZARD_D, VK_SPACE, nullptr},
                                         HazardCase{"Side", 9, 6, HAZARD_B, VK_RIGHT, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST_F(PlayerContact, FeetAndHeadRowsIgnoreSwitchesAndChestsAndStopAtSolidCells) {
  put(10, 4, SWITCH_A, 0, 29);
  put(8, 4, CHEST_BARREL_BOMB);
  EXPECT_EQ(checkFeetRow(100, 201.5f), 0);
  EXPECT_EQ(checkHeadRow(100, 201.5f), 0);
  EXPECT_EQ(stage.grid[10][4].state, 0);
  EXPECT_EQ(stage.grid[8][4].state, 0);
  put(10, 4, WALL);
  EXPECT_EQ(checkFeetRow(100, 201.5f), 1);
  put(8, 5, GATE_HORIZONTAL_PART);
  EXPECT_EQ(checkHeadRow(110, 200), 1);
  put(8, 5, -3);
  EXPECT_EQ(checkHeadRow(110, 200), 1);
}
