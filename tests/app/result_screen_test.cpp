// The result screen: the stopped clock, the three scores with their grade
// boundaries, the overall grade and the way on. The hop, darkening and
// panel are checked by the pictures and trace of the recorded run.
#include "app/screens_fixture.h"

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
    return runUntil(
        frame, [=] { return s().resultStep == step; }, limit);
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
  // darkening and panel are passed over, and the clock moves a second a
  // frame.
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

struct GradeCase {
  const char* name;
  int crushed, total, elapsedSeconds, extraMs, misses;
  int blocks, time, missGrade, overall;  // the overall grade is the mean, rounded down
};

class ResultGrades : public ResultScreenTest, public testing::WithParamInterface<GradeCase> {};

// Blocks by percent crushed (a stage without blocks counts as all crushed),
// time by whole seconds over a par of 60, misses up to 4.
TEST_P(ResultGrades, AtTheirBoundaries) {
  const GradeCase& c = GetParam();
  Grades g = gradesFor(c.crushed, c.total, c.elapsedSeconds, 60, c.misses, c.extraMs);
  EXPECT_EQ(g.blocks, c.blocks);
  EXPECT_EQ(g.time, c.time);
  EXPECT_EQ(g.misses, c.missGrade);
  EXPECT_EQ(g.overall, c.overall);
}

INSTANTIATE_TEST_SUITE_P(Results, ResultGrades,
                         testing::Values(GradeCase{"AllBlocks", 100, 100, 0, 0, 0, 0, 0, 0, 0},
                                         GradeCase{"Blocks91", 91, 100, 0, 0, 0, 0, 0, 0, 0},
                                         GradeCase{"Blocks90", 90, 100, 0, 0, 0, 1, 0, 0, 0},
                                         GradeCase{"Blocks81", 81, 100, 0, 0, 0, 1, 0, 0, 0},
                                         GradeCase{"Blocks80", 80, 100, 0, 0, 0, 2, 0, 0, 0},
                                         GradeCase{"Blocks61", 61, 100, 0, 0, 0, 3, 0, 0, 1},
                                         GradeCase{"Blocks60", 60, 100, 0, 0, 0, 4, 0, 0, 1},
                                         GradeCase{"TenOfEleven", 10, 11, 0, 0, 0, 1, 0, 0, 0},
                                         GradeCase{"NoBlocks", 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                         GradeCase{"UnderPar", 10, 10, 10, 0, 0, 0, 0, 0, 0},
                                         GradeCase{"Over30", 10, 10, 90, 999, 0, 0, 0, 0, 0},
                                         GradeCase{"Over31", 10, 10, 91, 0, 0, 0, 1, 0, 0},
                                         GradeCase{"Over61", 10, 10, 121, 0, 0, 0, 2, 0, 0},
                                         GradeCase{"Over120", 10, 10, 180, 0, 0, 0, 3, 0, 1},
                                         GradeCase{"Over121", 10, 10, 181, 0, 0, 0, 4, 0, 1},
                                         GradeCase{"Misses2", 10, 10, 91, 0, 2, 0, 1, 2, 1},
                                         GradeCase{"Misses3", 10, 10, 0, 0, 3, 0, 0, 3, 1},
                                         GradeCase{"Misses4", 10, 10, 0, 0, 4, 0, 0, 4, 1},
                                         GradeCase{"Misses123", 10, 10, 0, 0, 123, 0, 0, 4, 1},
                                         GradeCase{"Worst", 0, 10, 500, 0, 9, 4, 4, 4, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResultScreenTest, DigitsShowPercentTimeAndMisses) {
  gradesFor(10, 11, 13 * 60 + 7, 60, 123);
  EXPECT_EQ(s().percent, 90);  // integer division
  EXPECT_EQ((std::vector<int>(s().timeDigits, s().timeDigits + 4)), (std::vector<int>{1, 3, 0, 7}));
  EXPECT_EQ((std::vector<int>(s().missDigits, s().missDigits + 3)), (std::vector<int>{1, 2, 3}));
}

TEST_F(ResultScreenTest, PercentAboveHundredKeepsThePreviousGrade) {
  EXPECT_EQ(gradesFor(7, 10, 0, 60, 0).blocks, 3);
  EXPECT_EQ(gradesFor(12, 10, 0, 60, 0).blocks, 3);
  EXPECT_EQ(s().percent, 120);
  EXPECT_EQ((std::vector<int>(s().percentDigits, s().percentDigits + 3)),
            (std::vector<int>{1, 2, 0}));
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
