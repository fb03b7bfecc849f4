// The play frame's small pieces: key edges, bomb reset, fade covers, the
// bomb display, and the order-dependent parts of playFrame itself.
#include "app/screens_fixture.h"

using PlayFrameTest = ScreensTest;

// Feeds a key's held/up pattern through updateKeyEdge, one frame each.
static std::vector<int32_t> edgesFor(const std::vector<int>& held) {
  std::vector<int32_t> out;
  int32_t edge = 0;
  for (int h : held) {
    headlessSetKey(VK_Q, h);
    updateKeyEdge(VK_Q, &edge);
    out.push_back(edge);
  }
  return out;
}

TEST_F(PlayFrameTest, KeyEdgeSequences) {
  // A single-frame press never shows a release.
  EXPECT_EQ(edgesFor({1, 0, 0}), (std::vector<int32_t>{2, 0, 0}));
  // Held: pressed, held ..., released once, up.
  EXPECT_EQ(edgesFor({1, 1, 1, 1, 0, 0}), (std::vector<int32_t>{2, 3, 3, 3, 1, 0}));
  // Pressed again straight after a release counts as held, not a new press.
  EXPECT_EQ(edgesFor({1, 1, 0, 1, 1}), (std::vector<int32_t>{2, 3, 1, 3, 3}));
}

TEST_F(PlayFrameTest, ResetBombsPutsEveryUsedSlotBackInStock) {
  bombs.thrownBombCount = 3;
  bombs.barrelBombCount = 2;
  bombs.rollingBombCount = 10;
  for (BombArrays* k : {&s().thrown, &s().barrel, &s().rolling})
    for (int i = 0; i < 10; i++) {
      k->x[i] = 100.f + i;
      k->y[i] = 200.f;
      k->state[i] = 4;
    }
  resetBombs();
  for (int i = 0; i < 10; i++) {
    bool thrownUsed = i < 3, barrelUsed = i < 2;
    EXPECT_EQ(s().thrown.x[i], thrownUsed ? -50.f : 100.f + i);
    EXPECT_EQ(s().thrown.state[i], thrownUsed ? 0 : 4);
    EXPECT_EQ(s().barrel.y[i], barrelUsed ? -50.f : 200.f);
    EXPECT_EQ(s().barrel.state[i], barrelUsed ? 0 : 4);
    EXPECT_EQ(s().rolling.x[i], -50.f);
    EXPECT_EQ(s().rolling.y[i], -50.f);
    EXPECT_EQ(s().rolling.state[i], 0);
  }
}

TEST_F(PlayFrameTest, ResetBombsKeepsToTheArraysWhateverTheCounts) {
  bombs.thrownBombCount = 1000;
  bombs.barrelBombCount = -5;
  bombs.rollingBombCount = 11;
  s().barrel.state[0] = 4;
  resetBombs();
  EXPECT_EQ(s().thrown.state[9], 0);
  EXPECT_EQ(s().thrown.x[9], -50.f);
  EXPECT_EQ(s().barrel.state[0], 4);
  EXPECT_EQ(s().fadeLevel, 100);  // the field after the arrays is untouched
}

class PlayFrameStageTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    makeStage(20, 40, 10);
    s().playerX = 400;
    s().playerY = 200;  // standing on the floor of row 10
    updateCamera(s().playerX, s().playerY, &s().cameraX, &s().cameraY, &s().screenX, &s().screenY);
  }
};

TEST_F(PlayFrameStageTest, WarpingPlayerReadsNoKeys) {
  headlessSetKey(VK_Q, 1);
  player.localWarpPhase = 1;
  playFrame();
  EXPECT_EQ(s().keyQ, 0);
  player.localWarpPhase = 0;
  player.warpFrame = 0;
  playFrame();
  EXPECT_EQ(s().keyQ, KEY_PRESSED);
}

TEST_F(PlayFrameStageTest, EscLeavesForTheTitleAndFinishesTheFrame) {
  app.scene = SCENE_PLAY;
  app.missCount = 2;
  s().fadeLevel = 100;
  app.fadeState = 2;
  headless.nowMs = 5000;
  app.stageStartMs = 1000;
  headlessSetKey(VK_ESCAPE, 1);
  playFrame();
  EXPECT_EQ(app.scene, SCENE_TITLE_ENTER);
  EXPECT_EQ(assets.stageSurface, nullptr);
  EXPECT_EQ(app.missCount, 0);
  // The fade and the clock still ran after the return.
  EXPECT_EQ(s().fadeLevel, 90);
  EXPECT_EQ(app.stageElapsedMs, 5000);
}

// The bomb display: a kind's icon fades in once found; the count shows the
// bombs not yet live.
class BombHudTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    // Bomb sheet cells 50 px apart, cell n coloured n + 1 (blue channel).
    freeSprite(assets.bombSheet);
    assets.bombSheet = createBlankSprite(600, 100);
    for (int y = 0; y < 100; y++)
      for (int x = 0; x < 600; x++) assets.bombSheet->pixels[y * 600 + x] = (uint32_t)(x / 50 + 1);
  }
  void hud() { drawBombHud(s().thrown.state, s().barrel.state, s().rolling.state); }
  static int countCellShown(int k) {
    return (int)pixelAt(assets.backBufferDC, 60 + 60 * k, 60) - 1;
  }
};

TEST_F(BombHudTest, CountShowsBombsNotYetLive) {
  bombs.thrownBombCount = 4;
  s().thrown.state[0] = BOMB_READY;
  s().thrown.state[1] = BOMB_LIVE;
  s().thrown.state[2] = BOMB_HELD;
  s().thrown.state[3] = BOMB_BLAST;
  s().thrown.state[4] = BOMB_READY;  // beyond the count
  hud();
  EXPECT_EQ(countCellShown(0), 2);
  bombs.thrownBombCount = 500;  // beyond the arrays: held to ten slots
  for (int i = 0; i < 10; i++) s().thrown.state[i] = 0;
  hud();
  EXPECT_EQ(countCellShown(0), 10);
}
