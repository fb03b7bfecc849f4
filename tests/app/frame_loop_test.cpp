// The frame loop's pacing, the start-up tables and the stage progression.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "stage/stage_state.h"
#include "test_support.h"

namespace {

class FrameLoop : public testing::Test {
 protected:
  void SetUp() override {
    resetGame();
    resetHeadlessScreen();
    assets.backBufferDC = createBackBuffer();
    app.scene = (SceneId)99;  // a scene without work: the frame only presents and waits
    setSaveFolder(makeTempDir().c_str());
  }
  void TearDown() override {
    headless.onPresent = nullptr;
    freeBackBuffer(assets.backBufferDC);
    assets.backBufferDC = nullptr;
  }
};

// The frame's own work is simulated by moving the clock while it presents.
void workTakes(int ms) {
  headless.onPresent = [ms](int) { headless.nowMs += ms; };
}

TEST_F(FrameLoop, AShortFrameSleepsForTheRestOfItsFortyMilliseconds) {
  workTakes(10);
  runFrame();
  EXPECT_EQ(headless.nowMs, 40);
  runFrame();
  EXPECT_EQ(headless.nowMs, 80);
  EXPECT_EQ(app.frameCount, 2);
}

TEST_F(FrameLoop, ASlowFrameIsNotWaitedForAndNotMadeUp) {
  workTakes(55);
  runFrame();
  EXPECT_EQ(headless.nowMs, 55);
  workTakes(0);
  runFrame();  // the next frame starts at once and keeps its own 40 ms
  EXPECT_EQ(headless.nowMs, 95);
  EXPECT_EQ(app.session.frameStartMs, 55);
}

TEST_F(FrameLoop, ClearingTheLastStageOfAHomeMovesTheRunOn) {
  const int cases[][3] = {{0, 11, 1}, {1, 21, 2}, {2, 31, 3}, {0, 10, 0}, {0, 21, 0}, {1, 11, 1}};
  for (auto& c : cases) {
    stage.homeStage = c[0];
    stage.currentStage = c[1];
    advanceHome();
    EXPECT_EQ(stage.homeStage, c[2]) << c[0] << " " << c[1];
    EXPECT_EQ(stage.currentStage, c[2]);
  }
}

}  // namespace
