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

// drawPlayer draws into this sheet-coloured picture: each cell of the
// sheet is filled with its own colour, so the back buffer tells the cell.
class PlayerDrawPixels : public PlayerTest {
 protected:
  void SetUp() override {
    PlayerTest::SetUp();
    savedScale = display.scaleMode;
    display.scaleMode = 0;  // logical pixels 1:1
    savedBack = assets.backBufferDC;
    savedSheet = assets.playerSheet;
    sheet.width = 7 * 25;
    sheet.height = 22 * 50;
    sheet.pixels.assign(sheet.width * sheet.height, 0);
    for (int y = 0; y < sheet.height; y++)
      for (int x = 0; x < sheet.width; x++)
        sheet.pixels[y * sheet.width + x] = cellColour(x / 25, y / 50);
    back.width = 640;
    back.height = 480;
    back.pixels.assign(640 * 480, 0);
    assets.backBufferDC = &back;
    assets.playerSheet = &sheet;
  }
  void TearDown() override {
    assets.backBufferDC = savedBack;
    assets.playerSheet = savedSheet;
    display.scaleMode = savedScale;
    PlayerTest::TearDown();
  }
  static uint32_t cellColour(int column, int row) { return 0x100000u + row * 16 + column; }
  // Draws once and reports the cell that landed at the player's position.
  Cell draw(float x, float y, int facing, int air, int keyQ = 0, int keyW = 0, int keyE = 0) {
    std::fill(back.pixels.begin(), back.pixels.end(), 0u);
    drawPlayer(x, y, &s().playerAnim, facing, air, keyQ, keyW, keyE, s().barrel.state,
               s().rolling.state, s().thrown.state);
    int sx = (int)(x + 3.125f) + 12, sy = (int)(y + 3.125f) + 25;
    uint32_t p = back.pixels[sy * 640 + sx];
    if (p < 0x100000u) return Cell{-1, -1};
    return Cell{(int)(p - 0x100000u) % 16, (int)(p - 0x100000u) / 16};
  }
  SpriteSurface sheet, back;
  Sprite savedBack = nullptr, savedSheet = nullptr;
  int savedScale = 1;
};

TEST_F(PlayerDrawPixels, IdleCycleShowsEachFrameForThreeCalls) {
  int expected[] = {1, 1, 1, 2, 2, 2, 0, 0, 0, 1, 1, 1};
  for (int i = 0; i < 12; i++) EXPECT_CELL(draw(300, 300, 1, ON_GROUND), expected[i], 1);
  EXPECT_CELL(draw(300, 300, -1, ON_GROUND), 2, 0);
  EXPECT_EQ(player.drawCallCounter, 13);
}

TEST_F(PlayerDrawPixels, DrawsAtTheTruncatedOffsetPosition) {
  std::fill(back.pixels.begin(), back.pixels.end(), 0u);
  drawPlayer(100.9f, 50.2f, &s().playerAnim, 1, ON_GROUND, 0, 0, 0, s().barrel.state,
             s().rolling.state, s().thrown.state);
  // 100.9 + 3.125 truncates to 104, 50.2 + 3.125 to 53.
  EXPECT_EQ(back.pixels[53 * 640 + 103], 0u);
  EXPECT_NE(back.pixels[53 * 640 + 104], 0u);
  EXPECT_NE(back.pixels[102 * 640 + 128], 0u);
  EXPECT_EQ(back.pixels[103 * 640 + 128], 0u);
  EXPECT_EQ(back.pixels[102 * 640 + 129], 0u);
}

TEST_F(PlayerDrawPixels, ReleasingQWithABombInHandStartsTheThrowPose) {
  bombs.thrownBombCount = 3;
  // Before any throw the pose never shows.
  EXPECT_CELL(draw(300, 300, 1, ON_GROUND, KEY_RELEASED), 1, 1);
  s().thrown.state[0] = BOMB_HELD;
  EXPECT_CELL(draw(300, 300, 1, ON_GROUND, KEY_HELD), 0, 7);  // holding
  for (int i = 0; i < 5; i++) {
    SCOPED_TRACE(i);
    EXPECT_CELL(draw(300, 300, 1, ON_GROUND, i == 0 ? KEY_RELEASED : KEY_UP), 1, 7);
    s().thrown.state[0] = BOMB_LIVE;
  }
  Cell after = draw(300, 300, 1, ON_GROUND);
  EXPECT_EQ(after.row, 1);
  EXPECT_EQ(player.neverThrown, 0);
}

TEST_F(PlayerDrawPixels, CarryingABarrelWinsOverEverythingElse) {
  bombs.barrelBombCount = 1;
  s().barrel.state[0] = BOMB_HELD;
  s().thrown.state[0] = BOMB_HELD;
  key(VK_RIGHT, 1);
  EXPECT_EQ(draw(300, 300, 1, ON_GROUND, KEY_HELD, KEY_HELD).row, 19);
  EXPECT_EQ(draw(300, 300, 1, RISING, KEY_HELD, KEY_HELD).row, 21);
  EXPECT_EQ(draw(300, 300, 1, FALLING, KEY_UP, KEY_HELD).row, 21);
  // A barrel beyond the count is not in hand.
  bombs.barrelBombCount = 0;
  EXPECT_EQ(draw(300, 300, 1, ON_GROUND, KEY_UP, KEY_HELD).row, 3);
}

TEST_F(PlayerDrawPixels, CarryingARollingBombNeedsEHeld) {
  bombs.rollingBombCount = 1;
  s().rolling.state[0] = BOMB_HELD;
  EXPECT_EQ(draw(300, 300, -1, ON_GROUND, KEY_UP, KEY_UP, KEY_HELD).row, 8);
  EXPECT_EQ(draw(300, 300, -1, ON_GROUND, KEY_UP, KEY_UP, KEY_PRESSED).row, 0);
}

TEST_F(PlayerDrawPixels, WalkingToStandingReducesTheAnimation) {
  key(VK_RIGHT, 1);
  for (int i = 0; i < 17; i++) draw(300, 300, 1, ON_GROUND);
  EXPECT_EQ(s().playerAnim, 6);
  key(VK_RIGHT, 0);
  EXPECT_CELL(draw(300, 300, 1, ON_GROUND), 0, 1);
  EXPECT_EQ(s().playerAnim, 0);
}

TEST_F(PlayerDrawPixels, TheRunKeyFollowsTheFacing) {
  key(VK_LEFT, 1);
  EXPECT_EQ(draw(300, 300, 1, ON_GROUND).row, 1);  // left held, facing right
  EXPECT_EQ(draw(300, 300, -1, ON_GROUND).row, 2);
}

TEST_F(PlayerDrawPixels, AnUnknownFacingDrawsNothingButCounts) {
  EXPECT_CELL(draw(300, 300, 0, ON_GROUND), -1, -1);
  EXPECT_EQ(player.drawCallCounter, 1);
  EXPECT_EQ(player.throwPoseTimer, 1);
}
