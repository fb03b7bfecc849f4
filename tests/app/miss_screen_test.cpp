// The miss screen: the fall, the skip to the menu, the menu keys, the retry
// and the two ways back to the title.
#include "app/screens_fixture.h"

class MissScreenTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    makeStage(20, 40, 10);
    app.scene = SCENE_MISS;
    standOnScreen();
  }
  static void frame() { missScreenFrame(); }
  static void frames(int n) {
    for (int i = 0; i < n; i++) frame();
  }
  static void tap(int vk) {
    headlessSetKey(vk, 1);
    frame();
    headlessSetKey(vk, 0);
    frame();
  }
  // Enter during the fall, released: the menu is open.
  static void skipToMenu() {
    frame();
    tap(VK_RETURN);
    ASSERT_EQ(s().missStep, 2);
  }
};

TEST_F(MissScreenTest, FlightThatCannotReachTheMiddleEndsThere) {
  // From the target itself the angle points down; from just below the
  // target's row far to the right it truncates to 0 degrees (level). Either
  // flight would never rise to the target's row.
  const float starts[][2] = {{295, 215}, {600, 217}};
  for (auto& st : starts) {
    resetGame();
    s().screenX = st[0];
    s().screenY = st[1];
    int n = runUntil(frame, [] { return s().missStep >= 2; });
    EXPECT_EQ(s().missStep, 2) << st[0] << "," << st[1];
    EXPECT_EQ(s().playerX, 295);
    EXPECT_EQ(s().playerY, 215);
    EXPECT_LT(n, 19 + 70);
  }
}

TEST_F(MissScreenTest, EnterDuringTheFallJumpsToTheMenuWithoutChoosing) {
  frame();
  headlessSetKey(VK_RETURN, 1);
  frame();
  EXPECT_EQ(s().missStep, 2);
  EXPECT_EQ(s().darkness, 50);
  EXPECT_EQ(s().missPose, 2);
  EXPECT_EQ(s().playerX, 295);
  EXPECT_EQ(s().playerY, 215);
  frames(10);
  EXPECT_EQ(s().missStep, 2);  // the same press does not choose
  EXPECT_EQ(wavesPlayed("SE/start.wav"), 0);
  headlessSetKey(VK_RETURN, 0);
  frame();
  headlessSetKey(VK_RETURN, 1);
  frame();
  EXPECT_EQ(s().missStep, 3);
  EXPECT_EQ(wavesPlayed("SE/start.wav"), 1);
}

TEST_F(MissScreenTest, FacingLeftAimsTwentyFivePixelsFurtherRight) {
  s().facing = -1;
  frame();
  tap(VK_RETURN);
  EXPECT_EQ(s().playerX, 320);
}

TEST_F(MissScreenTest, MenuCursorSoundsOnlyOnFreshPresses) {
  skipToMenu();
  headlessSetKey(VK_DOWN, 1);
  frames(6);
  EXPECT_EQ(s().missCursor, 1);
  EXPECT_EQ(s().missKeyLatch, 1);
  EXPECT_EQ(wavesPlayed("SE/cursor2.wav"), 1);
  headlessSetKey(VK_DOWN, 0);
  frame();
  EXPECT_EQ(s().missKeyLatch, 0);
  headlessSetKey(VK_UP, 1);
  frames(3);
  EXPECT_EQ(s().missCursor, 0);
  EXPECT_EQ(wavesPlayed("SE/cursor1.wav"), 1);
  // Down wins over Up when both are held.
  headlessSetKey(VK_DOWN, 1);
  frame();
  EXPECT_EQ(s().missCursor, 1);
  EXPECT_EQ(wavesPlayed("SE/cursor2.wav"), 1);  // the latch was still set
}

TEST_F(MissScreenTest, RetryRestoresTheSaveResetsBombsAndFadesIn) {
  bombs.thrownBombCount = 3;
  bombs.barrelBombCount = 2;
  s().thrown.state[1] = BOMB_LIVE;
  s().barrel.x[1] = 333;
  skipToMenu();
  tap(VK_RETURN);  // retry: the press chooses, then the pose runs
  ASSERT_EQ(s().missStep, 3);
  // The release frame above was the first pose frame; then three
  // pictures, six frames each, then the fade.
  EXPECT_EQ(1 + runUntil(
                    frame, [] { return s().missStep != 3; }, 99),
            19);
  EXPECT_EQ(s().missPose, 2);
  // The cover closes from 50 by 3 a frame; at 100 play resumes.
  EXPECT_EQ(runUntil(
                frame, [] { return app.scene != SCENE_MISS; }, 100),
            17);
  EXPECT_EQ(app.scene, SCENE_PLAY);
  EXPECT_EQ(s().darkness, 0);
  EXPECT_EQ(s().missAngle, -1);
  EXPECT_EQ(s().missStep, 0);
  EXPECT_EQ(s().fadeLevel, 100);
  EXPECT_EQ(app.fadeState, 2);
  EXPECT_EQ(s().thrown.state[1], 0);
  EXPECT_EQ(s().barrel.x[1], -50);
  EXPECT_NE(assets.stageSurface, nullptr);  // the stage goes on
  // A second miss counts again.
  app.scene = SCENE_MISS;
  frame();
  EXPECT_EQ(app.missCount, 2);
}

TEST_F(MissScreenTest, SecondItemReturnsToTheTitleThroughTheRunsEnd) {
  app.missCount = 0;
  stage.currentStage = 15;
  skipToMenu();
  tap(VK_DOWN);
  headlessSetKey(VK_RETURN, 1);
  frame();
  EXPECT_EQ(app.scene, SCENE_TITLE_ENTER);
  EXPECT_EQ(assets.stageSurface, nullptr);
  EXPECT_EQ(app.missCount, 0);  // the run's counters are reset
  EXPECT_EQ(stage.currentStage, 0);
  EXPECT_EQ(s().missAngle, -1);
  EXPECT_EQ(s().missStep, 0);
  EXPECT_EQ(s().missCursor, 0);
}

TEST_F(MissScreenTest, EscGoesToTheTitleKeepingTheRunsCounters) {
  stage.currentStage = 15;
  addSwitchTimer(2, 3);
  ASSERT_NE(stage.switchTimers, nullptr);
  skipToMenu();
  headlessSetKey(VK_ESCAPE, 1);
  frame();
  EXPECT_EQ(app.scene, SCENE_TITLE_ENTER);
  EXPECT_EQ(assets.stageSurface, nullptr);
  EXPECT_EQ(app.missCount, 1);
  EXPECT_EQ(stage.currentStage, 15);
  EXPECT_EQ(s().missAngle, -1);
  EXPECT_EQ(stage.switchTimers, nullptr);
}
