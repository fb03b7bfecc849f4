// Warps inside a stage, stage doors and angleBetween.
#include <cmath>

#include "player_test_util.h"

using PlayerWarp = PlayerTest;
using PlayerDoor = PlayerTest;

// A warp at (8, 4), right where the player stands, leading 300 px right.
static void placeWarp() { PlayerTest::put(8, 4, WARP, 8, 16); }

TEST_F(PlayerWarp, StandingInFrontShowsTheArrow) {
  placeWarp();
  frame();
  EXPECT_EQ(stage.grid[8][4].state, 1);
  EXPECT_EQ(player.localWarpPhase, 0);
  // Stepping away so that x + 6.25 leaves the cell clears it.
  px() = 119;
  checkHeadRow(px(), py());
  EXPECT_EQ(stage.grid[8][4].state, 0);
  px() = 118.5f;
  checkHeadRow(px(), py());
  EXPECT_EQ(stage.grid[8][4].state, 1);
}

TEST_F(PlayerWarp, UpEntersAndSavesTheDestination) {
  placeWarp();
  key(VK_UP, 1);
  EXPECT_EQ(checkHeadRow(100, 200), 0);  // an entry is no ceiling
  EXPECT_EQ(player.localWarpPhase, 1);
  EXPECT_EQ(player.warpTargetX, 400);
  EXPECT_EQ(player.warpTargetY, 200);
  EXPECT_EQ(player.warpUpLatch, 1);
  EXPECT_EQ(stage.grid[8][4].state, 0);
  EXPECT_EQ(stage.lastSavedX, 400);
  EXPECT_EQ(stage.lastSavedY, 200);
}

TEST_F(PlayerWarp, AHeldUpKeyMustBeReleasedInFrontFirst) {
  placeWarp();
  player.warpUpLatch = 1;  // Up still held from an earlier entry
  key(VK_UP, 1);
  frames(5);
  EXPECT_EQ(player.localWarpPhase, 0);
  EXPECT_EQ(stage.grid[8][4].state, 1);
  key(VK_UP, 0);
  frame();
  EXPECT_EQ(player.warpUpLatch, 0);
  key(VK_UP, 1);
  frame();
  EXPECT_EQ(player.localWarpPhase, 1);
}

TEST_F(PlayerWarp, VanishFlyAndAppearOnTheTarget) {
  placeWarp();
  key(VK_UP, 1);
  frame();
  ASSERT_EQ(player.localWarpPhase, 1);
  ASSERT_EQ(py(), 200);
  // Vanishing: cells 0 .. 14, one per frame.
  for (int i = 0; i < 15; i++) {
    EXPECT_EQ(player.localWarpPhase, 1);
    updateLocalWarp(&px(), &py(), 300, 300);
  }
  ASSERT_EQ(player.localWarpPhase, 2);
  EXPECT_EQ(player.warpFrame, 15);
  EXPECT_FLOAT_EQ(player.warpStep, 10);
  // Flight: 10 px a frame, within 12 px of the target on the 29th frame.
  int flightFrames = 0;
  while (player.localWarpPhase == 2 && flightFrames++ < 100)
    flyLocalWarp(&px(), &py(), player.warpTargetX, player.warpTargetY);
  EXPECT_EQ(flightFrames, 29);
  EXPECT_NEAR(px(), 390, 1e-3);
  EXPECT_NEAR(py(), 200, 1e-3);
  // Appearing: cells 15 down to 0, then the player stands on the target.
  for (int i = 0; i < 16; i++) {
    EXPECT_EQ(player.localWarpPhase, 3);
    updateLocalWarp(&px(), &py(), 300, 300);
  }
  EXPECT_EQ(player.localWarpPhase, 0);
  EXPECT_EQ(player.warpFrame, 0);
  EXPECT_EQ(px(), 400);
  EXPECT_EQ(py(), 200);
}

// A link past the stage (a damaged snapshot can hold one) lands on the
// nearest cell of the 30 x 20 stage, reached by a normal flight.
TEST_F(PlayerWarp, ADamagedWarpLinkIsHeldToTheStage) {
  put(8, 4, WARP, INT32_MAX, -200000000);
  key(VK_UP, 1);
  checkHeadRow(100, 200);
  ASSERT_EQ(player.localWarpPhase, 1);
  EXPECT_EQ(player.warpTargetY, 19 * TILE_SIZE);
  EXPECT_EQ(player.warpTargetX, 0);
  for (int i = 0; i < 15; i++) updateLocalWarp(&px(), &py(), 300, 300);
  int n = 0;
  while (player.localWarpPhase == 2 && n++ < 1000)
    flyLocalWarp(&px(), &py(), player.warpTargetX, player.warpTargetY);
  EXPECT_LT(n, MAX_FLIGHT_FRAMES);
  for (int i = 0; i < 16; i++) updateLocalWarp(&px(), &py(), 300, 300);
  EXPECT_EQ(player.localWarpPhase, 0);
  EXPECT_EQ(px(), 0);
  EXPECT_EQ(py(), 19 * TILE_SIZE);
}

static void placeDoor(int target) { PlayerTest::put(8, 4, STAGE_DOOR, target); }

// A door from a home stage (below 10) starts a new attempt: every run counter
// goes back to its start value. A door from stage 10 or above keeps them.
class PlayerDoorFrom : public PlayerTest, public testing::WithParamInterface<int> {};

TEST_P(PlayerDoorFrom, OnlyAHomeStageResetsTheRunCounters) {
  const int from = GetParam();
  // Each run counter, what it holds before the door, and its start value.
  struct {
    int32_t* value;
    int32_t held, start;
  } counters[] = {{&app.missCount, 4, 0},          {&app.stageStartMs, 100, 7000},
                  {&app.stageElapsedMs, 65000, 0}, {&app.stageMinutes, 1, 0},
                  {&app.stageSeconds, 5, 0},       {&stage.blocksCrushed, 7, 0},
                  {&stage.blocksTotal, 12, 0},     {&bombs.barrelBombCount, 2, 0},
                  {&bombs.thrownBombCount, 5, 3},  {&bombs.rollingBombCount, 1, 0},
                  {&stage.barrelBombFound, 1, 0},  {&stage.rollingBombFound, 1, 0}};
  stage.currentStage = from;
  placeDoor(21);
  for (const auto& c : counters) *c.value = c.held;
  headless.nowMs = 7000;
  key(VK_UP, 1);
  frame();
  EXPECT_EQ(player.stageWarpPhase, 1);
  EXPECT_EQ(player.stageChangePending, 1);
  EXPECT_EQ(player.warpUpLatch, 1);
  EXPECT_EQ(player.previousStage, from);
  EXPECT_EQ(stage.currentStage, 21);
  for (size_t i = 0; i < std::size(counters); i++)
    EXPECT_EQ(*counters[i].value, from < 10 ? counters[i].start : counters[i].held) << i;
}

INSTANTIATE_TEST_SUITE_P(Stages, PlayerDoorFrom, testing::Values(2, 10));

TEST_F(PlayerDoor, VanishingFadesAndEntersTheNewStage) {
  stage.currentStage = 1;
  placeDoor(12);
  key(VK_UP, 1);
  frame();
  player.warpTargetX = 40;
  player.warpTargetY = 60;
  for (int i = 1; i <= 15; i++) {
    updateStageWarp(&px(), &py(), 300, 300);
    EXPECT_EQ(app.fadeState, i >= 4 ? 1 : 0) << "frame " << i;
    EXPECT_EQ(app.scene, i < 15 ? SCENE_PLAY : SCENE_STAGE_ENTER) << "frame " << i;
  }
  EXPECT_EQ(player.stageWarpPhase, 2);
  EXPECT_EQ(player.stageChangePending, 0);
  EXPECT_EQ(px(), 40);
  EXPECT_EQ(py(), 60);
  // Appearing after the stage change: cells 15 down to 0.
  app.scene = SCENE_PLAY;
  for (int i = 0; i < 16; i++) {
    EXPECT_EQ(player.stageWarpPhase, 2);
    updateStageWarp(&px(), &py(), 300, 300);
  }
  EXPECT_EQ(player.stageWarpPhase, 0);
  EXPECT_EQ(player.warpFrame, 0);
  EXPECT_EQ(app.scene, SCENE_PLAY);
}

TEST(PlayerAngle, WholeDegreesBetweenTwoPoints) {
  EXPECT_EQ(angleBetween(10, 0, 0, 0), 0);
  EXPECT_EQ(angleBetween(0, 10, 0, 0), 90);
  EXPECT_EQ(angleBetween(0, -10, 0, 0), 270);
  EXPECT_EQ(angleBetween(-10, 0, 0, 0), 180);
  EXPECT_EQ(angleBetween(5, 5, 5, 5), 270);
  EXPECT_EQ(angleBetween(-40, 400, 300, 350), 171);
  EXPECT_EQ(angleBetween(10, 10, 0, 0), 45);
  EXPECT_EQ(angleBetween(10, -1, 0, 0), 355);  // -5.7 truncates to -5
}

TEST_F(PlayerWarp, AnEntryInTheLaterHeadCheckIsNoCeiling) {
  // A rising platform lifts the player's head in front of a warp after the
  // frame's first head check: the entry happens in the second one.
  stage.grid[10][4].kind = EMPTY;
  put(7, 4, WARP, 2, 2);
  MovingPlatform p = platformAt(100, 230, -1, 1);
  stage.platforms = &p;
  key(VK_UP, 1);
  move();
  EXPECT_EQ(player.localWarpPhase, 1);
  EXPECT_EQ(py(), 180.125f);  // left where the platform put it
  EXPECT_EQ(player.speedY, 1.5f);
}
