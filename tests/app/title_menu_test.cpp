// The title menu: keys, latches, the choice and the walk-out.
#include "app/screens_fixture.h"

class TitleMenuTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    app.scene = SCENE_TITLE;
    app.frameCount = 0;
  }
  // One title frame as the frame loop runs it.
  static void frame() {
    app.frameCount += 1;
    updateTitleMenu();
  }
  static void frames(int n) {
    for (int i = 0; i < n; i++) frame();
  }
  static TitleMenuState& t() { return app.title; }
  // A frame, Down to the quit item, then Enter released for a frame and
  // pressed: the choice, on the fourth frame.
  static void chooseQuit() {
    frame();
    for (int held : {1, 0}) {
      headlessSetKey(VK_DOWN, held);
      frame();
    }
    headlessSetKey(VK_RETURN, 1);
    frame();
    headlessSetKey(VK_RETURN, 0);
  }
};

TEST_F(TitleMenuTest, EscIsIgnoredForTwentyFramesFromTheEntryThenQuitsAtOnce) {
  // Through the frame loop: the entry scene restarts frameCount.
  app.scene = SCENE_TITLE_ENTER;
  app.frameCount = 500;
  headlessSetKey(VK_ESCAPE, 1);
  for (int i = 0; i < 21 && !app.quitRequested; i++) runFrame();
  EXPECT_EQ(app.quitRequested, 0);
  EXPECT_EQ(app.frameCount, 20);  // the entry frame, then 20 title frames
  runFrame();
  EXPECT_EQ(app.quitRequested, 1);
  EXPECT_EQ(t().leaving, 0);  // no fade, no walk-out
}

TEST_F(TitleMenuTest, EnterHeldSinceBeforeTheTitleDoesNotChoose) {
  headlessSetKey(VK_RETURN, 1);
  frames(40);
  EXPECT_EQ(t().phase, 1);
  EXPECT_EQ(t().leaving, 0);
  EXPECT_EQ(wavesPlayed("SE/start.wav"), 40);  // the sound repeats while held
  headlessSetKey(VK_RETURN, 0);
  frame();
  EXPECT_EQ(t().enterLatch, 0);
  headlessSetKey(VK_RETURN, 1);
  frame();
  EXPECT_EQ(t().phase, 2);
  EXPECT_EQ(t().blastState, 1);
  EXPECT_EQ(t().leaving, 1);
  EXPECT_EQ(t().heroIdle, 0);
  frame();
  EXPECT_EQ(t().phase, 3);
  EXPECT_EQ(t().menuOpacity, 95);  // set to 100, then the walk-out's first fade
}

TEST_F(TitleMenuTest, CursorMovesAndSoundsOnlyOnFreshPresses) {
  frame();
  headlessSetKey(VK_DOWN, 1);
  frames(5);
  EXPECT_EQ(t().cursor, 1);
  EXPECT_EQ(t().downLatch, 1);
  EXPECT_EQ(wavesPlayed("SE/cursor2.wav"), 1);
  headlessSetKey(VK_DOWN, 0);
  frame();
  EXPECT_EQ(t().downLatch, 0);
  // Down on the quit item: a sound, the cursor stays.
  headlessSetKey(VK_DOWN, 1);
  frame();
  EXPECT_EQ(t().cursor, 1);
  EXPECT_EQ(wavesPlayed("SE/cursor2.wav"), 2);
  headlessSetKey(VK_DOWN, 0);
  headlessSetKey(VK_UP, 1);
  frames(3);
  EXPECT_EQ(t().cursor, 0);
  EXPECT_EQ(t().upLatch, 1);
  EXPECT_EQ(wavesPlayed("SE/cursor1.wav"), 1);
}

TEST_F(TitleMenuTest, QuitItemWalksOutLeftThenQuits) {
  chooseQuit();
  runUntil(frame, [] { return app.quitRequested != 0; });
  ASSERT_EQ(app.quitRequested, 1);
  EXPECT_EQ(app.scene, SCENE_TITLE);
  EXPECT_LT(t().heroX, 0);
  EXPECT_EQ(t().heroWalksLeft, 1);
  EXPECT_EQ(t().coverOpacity, 100);
}

TEST_F(TitleMenuTest, QuitChosenWhileTheCoverStillLiftsStillQuits) {
  chooseQuit();  // the cover at 88, still lifting
  EXPECT_EQ(t().coverFadingIn, 1);
  // Until the character has left the screen only the lift acts.
  int n = 0;
  while (t().heroX >= 0 && n < 100) {
    int before = t().coverOpacity;
    frame();
    n++;
    EXPECT_EQ(t().coverOpacity, std::max(0, before - 3));
  }
  // Then the closing wins over what is left of the lift, and the game ends.
  int lifted = t().coverOpacity;
  EXPECT_GT(lifted, 0);
  n += runUntil(
      frame, [] { return app.quitRequested != 0; }, 200 - n);
  EXPECT_EQ(app.quitRequested, 1);
  EXPECT_EQ(t().coverOpacity, 100);
  EXPECT_LE(n, 17 + (100 - lifted) / 3 + 3);
}
