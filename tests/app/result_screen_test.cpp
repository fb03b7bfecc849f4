// The result screen: hop, darkening, the panel, the three scores with their
// grade boundaries, the overall grade and the way on; and the ending.
#include <unistd.h>

#include <cstdio>

#include "app/screens_fixture.h"

// A 24-bit bottom-up bitmap; pixel(x, y) gives 0x00RRGGBB.
template <class F>
static void writeBmp(const std::string& path, int w, int h, F pixel) {
  int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> d(54 + (size_t)stride * h, 0);
  auto put32 = [&d](size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) d[at + i] = (uint8_t)(v >> (8 * i));
  };
  d[0] = 'B';
  d[1] = 'M';
  put32(2, (uint32_t)d.size());
  put32(10, 54);
  put32(14, 40);
  put32(18, (uint32_t)w);
  put32(22, (uint32_t)h);
  d[26] = 1;
  d[28] = 24;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      uint32_t p = pixel(x, y);
      size_t at = 54 + (size_t)(h - 1 - y) * stride + x * 3;
      d[at] = (uint8_t)p;
      d[at + 1] = (uint8_t)(p >> 8);
      d[at + 2] = (uint8_t)(p >> 16);
    }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    ADD_FAILURE() << "cannot write " << path;
    return;
  }
  std::fwrite(d.data(), 1, d.size(), f);
  std::fclose(f);
}

class ResultScreenTest : public ScreensTest {
 protected:
  void SetUp() override {
    ScreensTest::SetUp();
    makeStage(20, 40, 10);
    app.scene = SCENE_RESULT;
    standOnScreen();
    stage.currentStage = 12;
    stage.homeStage = 1;
    stage.blocksTotal = 10;
    stage.blocksCrushed = 10;
    headless.nowMs = 100000;
    app.stageStartMs = headless.nowMs - 60000;
    app.parTimeSeconds = 60;
  }
  // One frame: the screen's work, then the frame's 40 ms.
  static void frame() {
    resultScreenFrame();
    headless.nowMs += 40;
  }
  static int runUntilStep(int step, int limit = 2000) {
    int n = 0;
    while (s().resultStep != step && n < limit) {
      frame();
      n++;
    }
    return n;
  }
  // The first frame (the clock stops), then straight to the scores.
  static void openScores() {
    s().resultStep = -1;
    resultScreenFrame();
    s().resultStep = 3;
    app.stageStartMs = headless.nowMs;
  }
  struct Grades {
    int blocks, time, misses, overall;
  };
  // A whole result for these figures; the grades shown at the end. The hop,
  // darkening and panel (tested on their own) are passed over, and the
  // clock moves a second a frame.
  Grades gradesFor(int crushed, int total, int elapsedSeconds, int par, int misses,
                   int extraMs = 0) {
    stage.blocksCrushed = crushed;
    stage.blocksTotal = total;
    app.stageStartMs = headless.nowMs - elapsedSeconds * 1000 - extraMs;
    app.parTimeSeconds = par;
    app.missCount = misses;
    openScores();
    for (int n = 0; n < 10 && s().resultStep != 7; n++) {
      headless.nowMs += 1000;
      resultScreenFrame();
    }
    EXPECT_EQ(s().resultStep, 7);
    return {s().grades[0], s().grades[1], s().grades[2], s().grades[3]};
  }
};

TEST_F(ResultScreenTest, FirstFrameStopsTheClockAndStartsTheHop) {
  headless.nowMs = app.stageStartMs + 125400;
  frame();
  EXPECT_EQ(app.stageElapsedMs, 125400);
  EXPECT_EQ(app.stageMinutes, 2);
  EXPECT_EQ(app.stageSeconds, 5);
  EXPECT_EQ(s().restY, 200);
  EXPECT_EQ(s().playerY, 190);  // the first hop frame went up 10
  EXPECT_EQ(s().panelY, -480);
  EXPECT_EQ(s().resultStep, 0);
}

TEST_F(ResultScreenTest, FourHopsOfThirtyPixelsThenDarkensToHalf) {
  float highest = 1000;
  int n = 0;
  while (s().resultStep <= 0 && n < 500) {
    frame();
    n++;
    highest = std::min(highest, s().playerY);
    EXPECT_GE(s().playerY, 170);
    EXPECT_LE(s().playerY, 200);
  }
  EXPECT_EQ(highest, 170);
  // Four hops of 3 frames up, 3 down and 11 at rest; the last frame also
  // darkens.
  EXPECT_EQ(n, 4 * 17);
  EXPECT_EQ(s().resultStep, 1);
  EXPECT_EQ(s().darkness, 5);
  EXPECT_EQ(runUntilStep(2), 9);
  EXPECT_EQ(s().darkness, 50);
}

TEST_F(ResultScreenTest, PanelSlidesInFromAboveIn24Frames) {
  runUntilStep(2);
  ASSERT_EQ(s().panelY, -480);
  int n = 0;
  while (s().resultStep == 2 && n < 100) {
    int before = s().panelY;
    frame();
    n++;
    EXPECT_EQ(s().panelY, std::min(0, before + 20));
  }
  EXPECT_EQ(n, 24);
  EXPECT_EQ(s().panelY, 0);
  EXPECT_EQ(s().resultStep, 3);
  // Every result screen starts the panel from the top again.
  s().resultStep = -1;
  frame();
  EXPECT_EQ(s().panelY, -480);
}

TEST_F(ResultScreenTest, ScoresComeOneASecondWithASound) {
  openScores();
  int32_t start = headless.nowMs;
  runUntilStep(4);
  EXPECT_GE(headless.nowMs - start, 1000);
  EXPECT_LE(headless.nowMs - start, 1080);
  EXPECT_EQ(wavesPlayed("SE/Tbomb.wav"), 1);
  runUntilStep(7);
  EXPECT_GE(headless.nowMs - start, 5000);
  EXPECT_EQ(wavesPlayed("SE/Tbomb.wav"), 4);
}

TEST_F(ResultScreenTest, BlockGradesAtTheirBoundaries) {
  const int percentGrade[][2] = {{100, 0}, {91, 0}, {90, 1}, {81, 1}, {80, 2}, {61, 3}, {60, 4}};
  for (auto& pg : percentGrade) EXPECT_EQ(gradesFor(pg[0], 100, 0, 60, 0).blocks, pg[1]) << pg[0];
  // Integer division: 10 of 11 is 90 percent.
  EXPECT_EQ(gradesFor(10, 11, 0, 60, 0).blocks, 1);
  EXPECT_EQ(s().percent, 90);
  // A stage without blocks counts as all crushed.
  EXPECT_EQ(gradesFor(0, 0, 0, 60, 0).blocks, 0);
  EXPECT_EQ(s().percent, 100);
}

TEST_F(ResultScreenTest, PercentAboveHundredKeepsThePreviousGrade) {
  EXPECT_EQ(gradesFor(7, 10, 0, 60, 0).blocks, 3);
  EXPECT_EQ(gradesFor(12, 10, 0, 60, 0).blocks, 3);
  EXPECT_EQ(s().percent, 120);
  EXPECT_EQ(s().percentDigits[0], 1);
  EXPECT_EQ(s().percentDigits[1], 2);
  EXPECT_EQ(s().percentDigits[2], 0);
}

TEST_F(ResultScreenTest, TimeGradesAgainstPar) {
  EXPECT_EQ(gradesFor(10, 10, 90, 60, 0).time, 0);  // 30 s over
  EXPECT_EQ(gradesFor(10, 10, 91, 60, 0).time, 1);  // 31 s over
  EXPECT_EQ(gradesFor(10, 10, 10, 60, 0).time, 0);  // under par
  EXPECT_EQ(gradesFor(10, 10, 121, 60, 0).time, 2);
  EXPECT_EQ(gradesFor(10, 10, 180, 60, 0).time, 3);
  EXPECT_EQ(gradesFor(10, 10, 181, 60, 0).time, 4);
  // Only whole seconds count.
  EXPECT_EQ(gradesFor(10, 10, 90, 60, 0, 999).time, 0);
}

TEST_F(ResultScreenTest, TimeDigitsAreMinutesAndSeconds) {
  gradesFor(10, 10, 13 * 60 + 7, 60, 0);
  EXPECT_EQ(s().timeDigits[0], 1);
  EXPECT_EQ(s().timeDigits[1], 3);
  EXPECT_EQ(s().timeDigits[2], 0);
  EXPECT_EQ(s().timeDigits[3], 7);
}

TEST_F(ResultScreenTest, MissGradesAndOverall) {
  EXPECT_EQ(gradesFor(10, 10, 0, 60, 0).misses, 0);
  EXPECT_EQ(gradesFor(10, 10, 0, 60, 3).misses, 3);
  EXPECT_EQ(gradesFor(10, 10, 0, 60, 4).misses, 4);
  Grades g = gradesFor(10, 10, 0, 60, 123);
  EXPECT_EQ(g.misses, 4);
  EXPECT_EQ(s().missDigits[0], 1);
  EXPECT_EQ(s().missDigits[1], 2);
  EXPECT_EQ(s().missDigits[2], 3);
  // Overall: the mean of the three, rounded down.
  g = gradesFor(10, 10, 91, 60, 2);
  EXPECT_EQ(g.blocks + g.time + g.misses, 0 + 1 + 2);
  EXPECT_EQ(g.overall, 1);
  EXPECT_EQ(gradesFor(0, 10, 500, 60, 9).overall, 4);
}

TEST_F(ResultScreenTest, EnterGoesOnToTheHomeStage) {
  gradesFor(10, 10, 0, 60, 2);
  for (int i = 0; i < 5; i++) frame();
  EXPECT_EQ(s().resultStep, 7);  // waits for a key
  headlessSetKey(VK_RETURN, 1);
  int32_t now = headless.nowMs;
  frame();
  EXPECT_EQ(s().resultStep, -1);
  EXPECT_EQ(app.scene, SCENE_STAGE_ENTER);
  EXPECT_EQ(app.fadeState, 2);
  EXPECT_EQ(assets.stageSurface, nullptr);
  EXPECT_EQ(app.missCount, 0);
  EXPECT_EQ(app.stageStartMs, now);
  EXPECT_EQ(stage.parMinutes, 0);
  EXPECT_EQ(bombs.thrownBombCount, 3);
  EXPECT_EQ(stage.currentStage, 1);  // back to the home stage
  EXPECT_EQ(stage.homeStage, 1);
}

TEST_F(ResultScreenTest, ClearingTheStageThatLeadsOnAdvancesTheHome) {
  stage.currentStage = 21;
  stage.homeStage = 1;
  gradesFor(10, 10, 0, 60, 0);
  headlessSetKey(VK_ESCAPE, 1);
  frame();
  EXPECT_EQ(app.scene, SCENE_STAGE_ENTER);
  EXPECT_EQ(stage.homeStage, 2);
  EXPECT_EQ(stage.currentStage, 2);
}

// The ending reads three pictures of its own from "image/"; the tests make
// small ones in a folder of their own and work there.
class EndingTest : public ResultScreenTest {
 protected:
  void SetUp() override {
    ResultScreenTest::SetUp();
    char buf[4096];
    ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
    oldDir = buf;
    dataDir = data.path();
    std::filesystem::create_directories(dataDir + "/image");
    // Row r of the scrolling picture is coloured r (red) + 1 (green).
    writeBmp(dataDir + "/image/pimlet.bmp", 640, 600,
             [](int, int y) { return (uint32_t)((y & 0xFF) << 16 | 0x100); });
    writeBmp(dataDir + "/image/床.bmp", 100, 200, [](int, int) { return 0x0000FFu; });
    writeBmp(dataDir + "/image/mchara00.bmp", 175, 200, [](int, int) { return 0x00FF00u; });
    ASSERT_EQ(chdir(dataDir.c_str()), 0);
  }
  void TearDown() override {
    headless.onPresent = nullptr;
    if (chdir(oldDir.c_str()) != 0) ADD_FAILURE() << "cannot return to " << oldDir;
    ResultScreenTest::TearDown();
  }
  TempFolder data{"puxten-ending"};
  std::string oldDir, dataDir;
};

TEST_F(EndingTest, EscAlreadyHeldEndsItAtOnce) {
  headlessSetKey(VK_ESCAPE, 1);
  playEnding();
  EXPECT_EQ(headless.presentedCount, 0);
  EXPECT_EQ(headless.nowMs, 100000);
  EXPECT_TRUE(headless.messageBoxes.empty());
}

TEST_F(EndingTest, ScrollsOneRowPerTenMillisecondsUntilEsc) {
  headless.onPresent = [](int n) {
    if (n == 3) headlessSetKey(VK_ESCAPE, 1);
  };
  playEnding();
  EXPECT_EQ(headless.presentedCount, 3);
  EXPECT_EQ(headless.nowMs, 100030);
  // The third step showed the picture from row 2; the character walks on
  // its floor at (138, 250).
  ASSERT_EQ(headless.lastFrameWidth, 640);
  EXPECT_EQ(headless.lastFrame[0], 0x020100u);
  EXPECT_EQ(headless.lastFrame[(size_t)260 * 640 + 140], 0x00FF00u);
  EXPECT_EQ(headless.lastFrame[(size_t)300 * 640 + 110], 0x0000FFu);
}

TEST_F(EndingTest, LeavingStage42FromTheLastHomeShowsTheEndingThenTheTitle) {
  stage.currentStage = 42;
  stage.homeStage = 3;
  gradesFor(10, 10, 0, 60, 0);
  headlessSetKey(VK_ESCAPE, 1);  // still held when the ending starts
  frame();
  EXPECT_EQ(app.scene, SCENE_TITLE_ENTER);
  EXPECT_EQ(stage.currentStage, 3);
  EXPECT_EQ(stage.homeStage, 3);
  EXPECT_TRUE(headless.messageBoxes.empty());
}
