// The choice of the player's sheet cell and its counters.
#include "platform/display.h"
#include "player_test_util.h"

using PlayerDraw = PlayerTest;

namespace {
struct Cell {
  int column, row;
};

Cell choose(int anim, int facing, int air, int run, int carrying, int holding, int pose,
            int32_t* animOut = nullptr) {
  int32_t a = anim;
  Cell c{-1, -1};
  choosePlayerCell(&a, facing, air, run, carrying, holding, pose, &c.column, &c.row);
  if (animOut) *animOut = a;
  return c;
}
}  // namespace

#define EXPECT_CELL(cell, col, rw) \
  do {                             \
    Cell got_ = (cell);            \
    EXPECT_EQ(got_.column, col);   \
    EXPECT_EQ(got_.row, rw);       \
  } while (0)

TEST(PlayerCell, RisingUsesColumnZero) {
  EXPECT_CELL(choose(5, 1, RISING, 0, 1, 1, 1), 0, 21);
  EXPECT_CELL(choose(5, -1, RISING, 0, 1, 0, 0), 0, 20);
  EXPECT_CELL(choose(5, 1, RISING, 1, 0, 1, 0), 0, 17);
  EXPECT_CELL(choose(5, -1, RISING, 0, 0, 1, 0), 0, 16);
  EXPECT_CELL(choose(5, 1, RISING, 0, 0, 0, 1), 0, 5);
  EXPECT_CELL(choose(5, -1, RISING, 0, 0, 0, 0), 0, 4);
  int32_t anim;
  choose(5, 1, RISING, 0, 0, 0, 0, &anim);
  EXPECT_EQ(anim, 5);  // not reduced while rising
}

TEST(PlayerCell, FallingAlternatesColumnsOneAndTwo) {
  int32_t anim;
  EXPECT_CELL(choose(5, 1, FALLING, 0, 1, 0, 0, &anim), 2, 21);
  EXPECT_EQ(anim, 1);
  EXPECT_CELL(choose(4, -1, FALLING, 0, 1, 0, 0), 1, 20);
  EXPECT_CELL(choose(6, 1, FALLING, 1, 0, 0, 1), 1, 5);
  EXPECT_CELL(choose(1, -1, FALLING, 0, 0, 0, 0), 2, 4);
}

TEST(PlayerCell, RunningOnTheGround) {
  int32_t anim;
  EXPECT_CELL(choose(6, 1, ON_GROUND, 1, 1, 1, 1, &anim), 6, 19);
  EXPECT_EQ(anim, 6);  // walking keeps all seven frames
  EXPECT_CELL(choose(3, 1, ON_GROUND, 1, 0, 1, 1), 3, 15);
  EXPECT_CELL(choose(3, -1, ON_GROUND, 1, 0, 0, 1), 1, 6);
  EXPECT_CELL(choose(4, -1, ON_GROUND, 1, 0, 0, 0), 4, 2);
}

TEST(PlayerCell, StandingOnTheGround) {
  int32_t anim;
  EXPECT_CELL(choose(5, 1, ON_GROUND, 0, 1, 1, 1, &anim), 0, 9);
  EXPECT_EQ(anim, 2);
  EXPECT_CELL(choose(5, -1, ON_GROUND, 0, 0, 1, 0), 0, 6);
  EXPECT_CELL(choose(5, -1, ON_GROUND, 0, 0, 0, 1), 1, 6);
  EXPECT_CELL(choose(5, 1, ON_GROUND, 0, 0, 0, 0), 2, 1);
  EXPECT_CELL(choose(6, -1, ON_GROUND, 0, 0, 0, 0, &anim), 0, 0);
  EXPECT_EQ(anim, 0);  // walking frame 6 to standing
  // Any other air state counts as the ground.
  EXPECT_CELL(choose(1, 1, 7, 0, 0, 0, 0), 1, 1);
}

TEST(PlayerCell, NoCellForAnUnknownFacing) {
  int32_t anim = 3;
  int col = -1, row = -1;
  EXPECT_EQ(choosePlayerCell(&anim, 0, ON_GROUND, 0, 0, 0, 0, &col, &row), 0);
  EXPECT_EQ(col, -1);
}
