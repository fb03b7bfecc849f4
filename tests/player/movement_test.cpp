// Running, jumping, falling, walls, platforms and barrels.
#include "player_test_util.h"

using PlayerRun = PlayerTest;
using PlayerJump = PlayerTest;
using PlayerRide = PlayerTest;

TEST_F(PlayerRun, AcceleratesToSixAndBrakesToRest) {
  key(VK_RIGHT, 1);
  float x = px();
  for (int want = 1; want <= 8; want++) {
    frame();
    float expected = want < 6 ? want : 6;
    EXPECT_EQ(player.speedX, expected);
    EXPECT_EQ(px(), x + expected);
    x = px();
  }
  EXPECT_EQ(s().facing, 1);
  key(VK_RIGHT, 0);
  for (int want = 5; want >= 0; want--) {
    frame();
    EXPECT_EQ(player.speedX, want);
  }
  frame();
  EXPECT_EQ(player.speedX, 0);
  EXPECT_EQ(s().facing, 1);  // braking keeps the facing
  key(VK_LEFT, 1);
  frames(7);
  EXPECT_EQ(player.speedX, -6);
  EXPECT_EQ(s().facing, -1);
}

TEST_F(PlayerRun, BothKeysBrakeToZeroFacingLeft) {
  key(VK_RIGHT, 1);
  key(VK_LEFT, 1);
  frames(5);
  EXPECT_EQ(px(), 100);
  EXPECT_EQ(s().facing, -1);
  key(VK_LEFT, 0);
  frames(6);
  ASSERT_EQ(player.speedX, 6);
  key(VK_LEFT, 1);
  // Each key's own step cancels out, and the brake takes one more step.
  for (int want : {4, 3, 2, 1, 0, 0}) {
    frame();
    EXPECT_EQ(player.speedX, want);
  }
  player.speedX = -3;
  frame();
  EXPECT_EQ(player.speedX, -2);
}

TEST_F(PlayerRun, ClampedToTheStageSides) {
  px() = 2;
  key(VK_LEFT, 1);
  frames(3);
  EXPECT_EQ(px(), 0);
  key(VK_LEFT, 0);
  px() = 720;
  key(VK_RIGHT, 1);
  frames(5);
  EXPECT_EQ(px(), 30 * 25 - 25);
}

struct RunInto {
  int kind;
  bool passes;
};
void PrintTo(const RunInto& c, std::ostream* os) { *os << "kind " << c.kind; }

class PlayerRunInto : public PlayerTest, public testing::WithParamInterface<RunInto> {};

// Walls, blocks, gates and unknown kinds stop a run from either side at the
// cell's edge; warps, doors, switches and chests are passed through.
TEST_P(PlayerRunInto, StopsAtSolidCellsOnly) {
  put(8, 10, GetParam().kind, 0, 29);
  put(9, 10, GetParam().kind, 0, 29);
  for (int dir : {1, -1}) {
    px() = dir > 0 ? 100 : 400;
    player.speedX = 0;
    key(VK_RIGHT, dir > 0);
    key(VK_LEFT, dir < 0);
    frames(40);
    if (GetParam().passes) {
      EXPECT_TRUE(dir > 0 ? px() > 300 : px() < 200) << px();
    } else {
      EXPECT_EQ(px(), dir > 0 ? 225 : 275);
      EXPECT_EQ(player.speedX, 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PlayerRunInto,
    testing::Values(RunInto{WALL, false}, RunInto{BLOCK_WEAK, false}, RunInto{WEIGHT_SWITCH, false},
                    RunInto{GATE_VERTICAL, false}, RunInto{7, false}, RunInto{27, false},
                    RunInto{33, false}, RunInto{-5, false}, RunInto{GATE_VERTICAL_PART, false},
                    RunInto{GATE_HORIZONTAL_PART, false}, RunInto{WARP, true},
                    RunInto{STAGE_DOOR, true}, RunInto{SWITCH_A, true}, RunInto{SWITCH_B, true},
                    RunInto{SWITCH_C, true}, RunInto{CRUSHER_SWITCH, true},
                    RunInto{TIMED_SWITCH, true}, RunInto{GOAL_CHEST, true},
                    RunInto{CHEST_ROLLING_BOMB, true}, RunInto{CHEST_BARREL_BOMB, true},
                    RunInto{CHEST_THROWN_BOMB, true}));

TEST_F(PlayerJump, TheFirstFrameNeverJumps) {
  key(VK_SPACE, 1);
  frame();
  EXPECT_EQ(py(), 200);
  EXPECT_EQ(s().verticalState, ON_GROUND);
  frames(5);
  EXPECT_EQ(py(), 200);  // space still held since the start
}

TEST_F(PlayerJump, RisesByTheJumpTableThenLands) {
  frame();  // stand once with space up
  EXPECT_EQ(player.jumpLock, 0);
  EXPECT_EQ(player.speedY, 1.5f);
  key(VK_SPACE, 1);
  float y = py();
  float rise = 14.5f;
  for (int i = 0; i < 10; i++) {
    frame();
    EXPECT_FLOAT_EQ(y - py(), rise) << "frame " << i;
    EXPECT_EQ(s().verticalState, RISING);
    y = py();
    rise -= 1.5f;
  }
  EXPECT_FLOAT_EQ(py(), 200 - 77.5f);
  frame();
  EXPECT_EQ(s().verticalState, FALLING);
  frames(20);
  EXPECT_EQ(py(), 200);
  EXPECT_EQ(s().verticalState, ON_GROUND);
}

TEST_F(PlayerJump, OneJumpPerPress) {
  frame();
  key(VK_SPACE, 1);
  frames(30);  // up, down and standing with space still held
  EXPECT_EQ(py(), 200);
  EXPECT_EQ(player.jumpLock, 1);
  frames(5);
  EXPECT_EQ(py(), 200);
  key(VK_SPACE, 0);
  frame();
  key(VK_SPACE, 1);
  frame();
  EXPECT_FLOAT_EQ(py(), 200 - 14.5f);
}

TEST_F(PlayerJump, NoJumpAfterWalkingOffALedge) {
  // A ledge of two cells over a pit; the floor lies far below.
  removeFloor();
  for (int c = 0; c < 30; c++) stage.grid[18][c].kind = WALL;
  put(10, 4, WALL);
  frame();
  EXPECT_EQ(py(), 200);
  key(VK_RIGHT, 1);
  int guard = 0;
  while (s().verticalState != FALLING && guard++ < 40) frame();
  ASSERT_EQ(s().verticalState, FALLING);
  key(VK_SPACE, 1);
  float y = py();
  frame();
  EXPECT_GT(py(), y);  // still going down
  EXPECT_GT(player.speedY, 0);
}

TEST_F(PlayerJump, CeilingEndsTheJumpAtItsBottomEdge) {
  put(6, 4, WALL);
  frame();
  key(VK_SPACE, 1);
  frame();
  EXPECT_FLOAT_EQ(py(), 185.5f);
  frame();  // 172.5 would reach row 6
  EXPECT_EQ(py(), 175);
  EXPECT_EQ(player.speedY, 1.5f);
  EXPECT_EQ(s().verticalState, RISING);
}

TEST_F(PlayerJump, FallSpeedIsCappedAfterEachMove) {
  removeFloor();
  stage.stageRows = 200;
  py() = 0;
  float y = py();
  float moves[12];
  for (float& m : moves) {
    frame();
    m = py() - y;
    y = py();
  }
  for (int i = 0; i < 8; i++) EXPECT_FLOAT_EQ(moves[i], 1.5f * (i + 1));
  // From then on the capped 12 plus this frame's 1.5.
  for (int i = 8; i < 12; i++) EXPECT_FLOAT_EQ(moves[i], 13.5f);
  EXPECT_EQ(player.speedY, 12);
}

TEST_F(PlayerJump, FallingOutOfTheStageRespawns) {
  removeFloor();
  stage.stageRows = 12;  // bottom edge at 300
  py() = 248;
  player.speedY = 3;
  frame();
  EXPECT_EQ(px(), RESPAWN_X);
  EXPECT_EQ(py(), RESPAWN_Y);
  EXPECT_EQ(player.speedY, 0);
}

TEST_F(PlayerJump, TheTopEdgeStopsTheJump) {
  py() = 10;
  player.speedY = -14;
  frame();
  EXPECT_EQ(py(), 0);
}

class PlayerTinyStage : public PlayerTest, public testing::WithParamInterface<int> {};

// No room for the player: every frame puts it back at the respawn point,
// where it lands on the floor row.
TEST_P(PlayerTinyStage, StaysSafe) {
  stage.stageRows = GetParam();
  stage.stageCols = 1;
  py() = 0;
  frames(3);
  EXPECT_EQ(px(), RESPAWN_X);
  EXPECT_EQ(py(), 200);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlayerTinyStage, testing::Values(0, 1, 2));

TEST_F(PlayerJump, PositionsFarOutsideTheGridReadOnlyEmptyCells) {
  for (float far : {1e7f, -1e7f, 1e30f, -1e30f}) {
    EXPECT_EQ(checkFeetRow(far, far), 0);
    EXPECT_EQ(checkHeadRow(-far, far), 0);
    EXPECT_EQ(checkLeftColumn(far, -far), 0);
    EXPECT_EQ(checkRightColumn(far, far), 0);
  }
}

TEST_F(PlayerRide, HorizontalPlatformCarriesThePlayer) {
  MovingPlatform p = platformAt(100, 150, -1, 0);
  stage.platforms = &p;
  py() = 102;
  key(VK_SPACE, 0);
  move();
  EXPECT_EQ(py(), 100);
  EXPECT_EQ(px(), 97);
  EXPECT_EQ(s().verticalState, ON_GROUND);
  EXPECT_EQ(player.jumpLock, 0);
}

TEST_F(PlayerRide, VerticalPlatformsLeaveTheEighthPixelOffsets) {
  MovingPlatform up = platformAt(100, 150, -1, 1);
  stage.platforms = &up;
  py() = 102;
  move();
  EXPECT_EQ(py(), 100.125f);  // feet 0.125 px inside a rising platform
  EXPECT_EQ(px(), 100);

  MovingPlatform down = platformAt(100, 150, 1, 1);
  stage.platforms = &down;
  py() = 102;
  move();
  EXPECT_EQ(py(), 99.875f);
}

TEST_F(PlayerRide, OnlyTheFirstPlatformInListOrderCarries) {
  MovingPlatform second = platformAt(110, 150, 1, 0);
  MovingPlatform first = platformAt(90, 152, -1, 0);
  first.next = &second;
  stage.platforms = &first;
  py() = 102;
  move();
  EXPECT_EQ(py(), 102);
  EXPECT_EQ(px(), 97);
}

TEST_F(PlayerRide, FeetExactlyOnThePlatformTopAreNotCarried) {
  MovingPlatform p = platformAt(100, 150, 1, 0);
  stage.platforms = &p;
  py() = 98.5f;  // feet reach exactly 150 this frame
  move();
  EXPECT_EQ(py(), 100);
  EXPECT_EQ(px(), 100);
  EXPECT_EQ(s().verticalState, FALLING);
  // Sideways, touching edges do not count either.
  p.x = 125;
  py() = 102;
  move();
  EXPECT_EQ(s().verticalState, FALLING);
}

TEST_F(PlayerRide, StandsOnASetDownBarrel) {
  bombs.barrelBombCount = 2;
  barrelAt(0, BOMB_HELD, 100, 180);  // in hand: not a floor
  barrelAt(1, BOMB_LIVE, 95, 180);
  frame();
  EXPECT_EQ(py(), 200);  // the floor first, then the barrel's top: 130
  py() = 130;
  frame();
  EXPECT_EQ(py(), 130);
  EXPECT_EQ(s().verticalState, ON_GROUND);
  EXPECT_EQ(player.jumpLock, 0);
  // Jumping off a barrel works like jumping off the floor.
  key(VK_SPACE, 1);
  frame();
  EXPECT_FLOAT_EQ(py(), 130 - 14.5f);
}

TEST_F(PlayerRide, HeldOrOutOfCountBarrelsAreNotFloors) {
  removeFloor();
  stage.stageRows = 100;
  bombs.barrelBombCount = 1;
  barrelAt(0, BOMB_HELD, 100, 180);
  barrelAt(1, BOMB_LIVE, 100, 180);  // beyond the count
  py() = 130;
  frame();
  EXPECT_FLOAT_EQ(py(), 131.5f);
  EXPECT_EQ(s().verticalState, FALLING);
}

TEST_F(PlayerRide, ABarrelOnAHorizontalPlatformCarriesThePlayer) {
  MovingPlatform p = platformAt(100, 200, 1, 0);
  stage.platforms = &p;
  bombs.barrelBombCount = 1;
  barrelAt(0, BOMB_LIVE, 100, 180);
  py() = 129;
  move();
  EXPECT_EQ(py(), 130);
  EXPECT_EQ(px(), 103);
}
