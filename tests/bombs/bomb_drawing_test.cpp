// Bomb pictures, barrel blinking and the blast animations.
#include <string>
#include <vector>

#include "bomb_fixture.h"

class BombDrawing : public BombTest {
 public:
  SpriteSurface back, sheet, blast;
  Sprite oldBack = nullptr, oldSheet = nullptr, oldBlast = nullptr;

  void SetUp() override {
    BombTest::SetUp();
    back.width = 640, back.height = 480, back.pixels.assign(640 * 480, 0);
    sheet.width = 200, sheet.height = 250, sheet.pixels.assign(200 * 250, 0xFFFFFF);
    blast.width = 2250, blast.height = 250, blast.pixels.assign(2250 * 250, 0x808080);
    oldBack = assets.backBufferDC, oldSheet = assets.bombSheet, oldBlast = assets.blastSheet;
    assets.backBufferDC = &back;
    assets.bombSheet = &sheet;
    assets.blastSheet = &blast;
  }
  void TearDown() override {
    assets.backBufferDC = oldBack, assets.bombSheet = oldSheet, assets.blastSheet = oldBlast;
    BombTest::TearDown();
  }
  void draw() {
    drawBombsOnStage(thrown.x, thrown.y, barrel.x, barrel.y, rolling.x, rolling.y, barrel.extra, 0,
                     0, facing, thrown.state, rolling.state);
  }
  uint32_t pixel(int x, int y) const { return back.pixels[y * 640 + x]; }
};

// Frames (1-based) at which barrel 0 changed picture, over `frames` frames.
static std::vector<int> blinkChanges(BombDrawing* t, int countdown, int frames) {
  t->barrel.extra[0] = countdown;
  std::vector<int> changes;
  int last = bombs.blink[0];
  for (int f = 1; f <= frames; f++) {
    t->draw();
    if (bombs.blink[0] != last) changes.push_back(f);
    last = bombs.blink[0];
  }
  return changes;
}

TEST_F(BombDrawing, BarrelBlinksFasterAsItsCountdownFalls) {
  bombs.barrelBombCount = 1;
  EXPECT_TRUE(blinkChanges(this, 5, 40).empty());
  EXPECT_TRUE(blinkChanges(this, 4, 40).empty());
  struct Case {
    int countdown, every;
  } cases[] = {{3, 9}, {2, 5}, {1, 2}, {0, 2}};
  for (const Case& c : cases) {
    std::vector<int> changes = blinkChanges(this, c.countdown, 40);
    ASSERT_GE(changes.size(), 3u) << c.countdown;
    for (size_t k = 0; k + 1 < changes.size(); k++)
      EXPECT_EQ(changes[k + 1] - changes[k], c.every) << "countdown " << c.countdown;
  }
  // Back at 4 or more the picture is reset to the first one.
  blinkChanges(this, 4, 1);
  EXPECT_EQ(bombs.blink[0], 0);
  EXPECT_EQ(bombs.blinkTimer[0], 1);
}

TEST_F(BombDrawing, BlastRunsNineFramesSpendsTheSlotAndSounds) {
  thrown.state[1] = BOMB_BLAST;
  thrown.x[1] = 200.7f;
  thrown.y[1] = 150.2f;
  drawThrownBlasts(thrown.x, thrown.y, thrown.state, 0, 0);
  EXPECT_EQ(thrown.state[1], BOMB_SPENT);
  EXPECT_EQ(std::string(headlessAudioLastWave()), "SE/Tbomb.wav");
  const BlastAnimation& a = bombs.thrownBlast[1];
  EXPECT_EQ(a.x, 200);
  EXPECT_EQ(a.y, 150);
  EXPECT_EQ(a.active, 1);
  EXPECT_EQ(a.frame, 1);
  // 70 x 70 at (x - 28, y - 25).
  EXPECT_EQ(pixel(172, 125), 0x808080u);
  EXPECT_EQ(pixel(241, 194), 0x808080u);
  EXPECT_EQ(pixel(242, 194), 0u);
  for (int f = 2; f <= 9; f++) drawThrownBlasts(thrown.x, thrown.y, thrown.state, 0, 0);
  EXPECT_EQ(a.active, 0);
  EXPECT_EQ(a.frame, 0);
}

TEST_F(BombDrawing, BlastRestartedMidAnimationContinuesFromItsFrame) {
  bombs.barrelBombCount = 1;
  barrel.state[0] = BOMB_BLAST;
  barrel.x[0] = 100, barrel.y[0] = 100;
  for (int f = 0; f < 4; f++) drawBarrelBlasts(barrel.x, barrel.y, barrel.state, 0, 0);
  EXPECT_EQ(bombs.barrelBlast[0].frame, 4);
  barrel.state[0] = BOMB_BLAST;
  barrel.x[0] = 300;
  drawBarrelBlasts(barrel.x, barrel.y, barrel.state, 0, 0);
  EXPECT_EQ(bombs.barrelBlast[0].x, 300);
  EXPECT_EQ(bombs.barrelBlast[0].frame, 5);
}

TEST_F(BombDrawing, OnlySlotsBelowTheCountGoOff) {
  bombs.rollingBombCount = 1;
  rolling.state[0] = BOMB_BLAST;
  rolling.state[1] = BOMB_BLAST;
  drawRollingBlasts(rolling.x, rolling.y, rolling.state, 0, 0);
  EXPECT_EQ(rolling.state[0], BOMB_SPENT);
  EXPECT_EQ(rolling.state[1], BOMB_BLAST);
}
