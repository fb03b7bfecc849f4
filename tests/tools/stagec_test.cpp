// The stage compiler, run as the build runs it: sources in, map files out,
// and a clear error naming file and line for every broken source.
#include "../stage/stage_test_support.h"

namespace {

struct StagecRun {
  int exitCode;
  std::string output;
};

StagecRun runStagec(const std::string& args) {
  StagecRun run;
  run.exitCode = runCapture(std::string(PUXTEN_STAGEC) + " " + args, &run.output);
  return run;
}

// A valid 8 x 6 stage to start from; tests swap pieces of it.
const char* BASE_HEAD = "stage 11\npar 0:45\n";
const char* BASE_GRID =
    "grid\n"
    "########\n"
    "#......#\n"
    "#S.a.G.#\n"
    "#....:.#\n"
    "#....:.#\n"
    "#####:##\n"
    "end\n";
const char* BASE_DEFS = "a = switch_a -> G\nG = gate_v\n";
const std::string HEAD_GRID = std::string(BASE_HEAD) + BASE_GRID, BASE = HEAD_GRID + BASE_DEFS;

// The base stage with other grid rows (between "grid" and "end").
std::string withRows(const char* rows) {
  return std::string(BASE_HEAD) + "grid\n" + rows + "end\n" + BASE_DEFS;
}

}  // namespace

class StageCompiler : public StageTest {
 protected:
  std::string source(const std::string& name, const std::string& text) {
    std::string path = scratch.path() + "/" + name;
    writeFile(path, text);
    return path;
  }
  // Compiles one source that must fail, and finds where and words in its messages.
  void expectError(const std::string& text, const std::string& where, const std::string& words) {
    std::string path = source("broken.stage", text);
    StagecRun run = runStagec("--out " + scratch.path() + "/out " + path);
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find(path + ":" + where), std::string::npos) << where << "\n"
                                                                      << run.output;
    EXPECT_NE(run.output.find(words), std::string::npos) << words << "\n" << run.output;
    EXPECT_FALSE(fileExists(scratch.path() + "/out")) << "nothing is written on error";
  }
};

TEST_F(StageCompiler, CompilesTheSampleStageForTheGame) {
  std::string sample = std::string(PUXTEN_SOURCE_DIR) + "/tests/data/stages/sample.stage";
  StagecRun run = runStagec("--out map " + sample);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  loadStage(10);
  // 24 x 10 cells, 'S' at row 2, column 3, par 2:05.
  EXPECT_EQ(std::tuple(stage.stageCols, stage.stageRows, stage.playerStartX, stage.playerStartY,
                       stage.parMinutes, stage.parSeconds),
            std::tuple(24, 10, 75, 50, 2, 5));
  auto kind = [](int r, int c) { return (int)stage.grid[r][c].kind; };
  EXPECT_EQ(kind(0, 0), WALL);
  EXPECT_EQ(kind(5, 7), BLOCK_STRONG);
  EXPECT_EQ(kind(2, 18), GOAL_CHEST);
  EXPECT_EQ(kind(8, 4), HAZARD_D);
  EXPECT_EQ(kind(7, 16), CHEST_ROLLING_BOMB);
  EXPECT_EQ(kind(2, 3), EMPTY);   // the start marker
  EXPECT_EQ(kind(3, 12), EMPTY);  // a gate part mark
  EXPECT_EQ(kindAndLink(stage.grid[2][7]), std::tuple(SWITCH_A, 2, 12));
  EXPECT_EQ(stage.grid[6][4].kind, TIMED_SWITCH);
  EXPECT_EQ(stage.grid[6][4].linkCol, 15);
  EXPECT_EQ(stage.grid[7][6].kind, WEIGHT_SWITCH);
  EXPECT_EQ(kindAndLink(stage.grid[7][8]), std::tuple(WARP, 4, 17));
  EXPECT_EQ(stage.grid[7][20].kind, STAGE_DOOR);
  EXPECT_EQ(stage.grid[7][20].linkRow, 10);

  stage.blocksTotal = 0;
  setUpStage();
  EXPECT_EQ(stage.blocksTotal, 3);
  EXPECT_EQ(kind(5, 12), GATE_VERTICAL_PART);
  EXPECT_EQ(kind(6, 18), GATE_HORIZONTAL_PART);
  EXPECT_EQ(stage.grid[2][12].gateColour, 1);
  EXPECT_EQ(stage.grid[6][15].gateColour, 3);  // the weight switch comes last
  ASSERT_NE(stage.platforms, nullptr);
  const auto& p = *stage.platforms;
  EXPECT_EQ(std::tuple(p.axis, p.yStart, p.yEnd), std::tuple(1, 100, 25));
}

TEST_F(StageCompiler, CheckModeWritesNothing) {
  std::string path = source("ok.stage", BASE);
  StagecRun run = runStagec("--check " + path);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_FALSE(fileExists("map"));
  run = runStagec("--out deep/er/map " + path);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  std::string map = readFile("deep/er/map/map11.map");
  EXPECT_EQ(map.substr(0, map.find('\n')), "8,6,0,0,25,50,0,45");
  EXPECT_EQ(std::count(map.begin(), map.end(), '\n'), 7);
}

TEST_F(StageCompiler, DoorsMayLeadToAnyStageCompiledAlongside) {
  std::string home = source("home.stage",
                            "stage 0\npar 0:00\ngrid\n#####\n#S.D#\n#...#\n#####\nend\n"
                            "D = door -> 11\n");
  std::string eleven = source("eleven.stage", BASE);
  StagecRun run = runStagec("--out map " + home + " " + eleven);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(fileExists("map/map0.map"));
  EXPECT_TRUE(fileExists("map/map11.map"));
  run = runStagec("--check " + home);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find(home + ":9: door 'D' leads to stage 11"), std::string::npos)
      << run.output;
}

TEST_F(StageCompiler, SizesOfOneAndTwoHundredFiftySixAreFine) {
  std::string row(256, '.');
  std::string text = "stage 3\npar 0:01\nstart 0,0\ngrid\n";
  for (int i = 0; i < 256; i++) text += row + "\n";
  text += "end\n";
  StagecRun run = runStagec("--out map " + source("big.stage", text));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  loadStage(3);
  EXPECT_EQ(stage.stageCols, 256);
  EXPECT_EQ(stage.stageRows, 256);

  run = runStagec("--check " + source("tiny.stage", "stage 4\npar 0:01\ngrid\nS\n.\nend\n"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
}

TEST_F(StageCompiler, SizesOutsideTheGridAreErrors) {
  std::string wide = "stage 3\npar 0:01\nstart 0,0\ngrid\n" + std::string(257, '.') + "\n.\nend\n";
  expectError(wide, "4", "257 wide");
  std::string tall = "stage 3\npar 0:01\nstart 0,0\ngrid\n";
  for (int i = 0; i < 257; i++) tall += ".\n";
  expectError(tall + "end\n", "4", "257 tall");
  expectError("stage 3\npar 0:01\nstart 0,0\ngrid\nend\n", "4", "both must be 1 .. 256");
}

TEST_F(StageCompiler, LinksToMissingGatesAreErrors) {
  expectError(HEAD_GRID + "a = switch_a -> Q\nG = gate_v\n", "11", "missing gate");
  // A link by row and column to a wall.
  expectError(HEAD_GRID + "a = switch_a -> 0,0\nG = gate_v\n", "11", "which is not a gate");
  // The gate label standing twice is no single target.
  std::string twice = withRows("########\n#G.....#\n#:S.a.G#\n#:....:#\n#:....:#\n######.#\n");
  expectError(twice, "11", "stands 2 times");
  expectError(HEAD_GRID + "a = switch_a\nG = gate_v\n", "11", "needs a link");
}

TEST_F(StageCompiler, GatesNeedRoomForTheirParts) {
  std::string noRoom = withRows("########\n#......#\n#S.a...#\n#......#\n#......#\n#....G.#\n");
  expectError(noRoom, "9:6", "no room for its parts");
  std::string overWall = withRows("########\n#......#\n#S.a.G.#\n#....#.#\n#....:.#\n#####:##\n");
  expectError(overWall, "7:6", "holds '#' but is a part of the vertical gate at (2,5)");
  std::string horizontal =
      "stage 2\npar 0:10\ngrid\n#######\n#S....#\n#.a.h=$\n#######\nend\n"
      "a = switch_b -> h\nh = gate_h\n";
  expectError(horizontal, "6:7", "holds '$'");
  std::string stray = withRows("########\n#..=...#\n#S.a.G.#\n#....:.#\n#....:.#\n#####:##\n");
  expectError(stray, "5:4", "no horizontal gate");
}

TEST_F(StageCompiler, WarpsAndPlatformsMustEndInsideTheStage) {
  std::string withWarp = withRows("########\n#W.....#\n#S.a.G.#\n#....:.#\n#....:.#\n#####:##\n");
  expectError(withWarp + "W = warp -> 6,1\n", "13", "outside the stage");
  std::string withPlatform =
      withRows("########\n#......#\n#S.a.G.#\n#.P..:.#\n#....:.#\n#####:##\n");
  expectError(withPlatform + "P = platform -> 3,8\n", "13", "outside the stage");
  expectError(withPlatform + "P = platform -> 1,3\n", "13", "straight above");
  expectError(withPlatform + "P = platform -> 3,1\n", "13", "straight above");  // left
  StagecRun run =
      runStagec("--check " + source("ok.stage", withPlatform + "P = platform -> 3,6\n"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
}

TEST_F(StageCompiler, TheStartMustBeGivenOnceAndFit) {
  std::string noStart = withRows("########\n#......#\n#..a.G.#\n#....:.#\n#....:.#\n#####:##\n");
  expectError(noStart, " ", "no start");
  expectError(noStart + "start 200,0\n", "13", "outside the stage");
  StagecRun run = runStagec("--check " + source("ok.stage", noStart + "start 150,75\n"));
  EXPECT_EQ(run.exitCode, 0) << run.output;
  expectError(BASE + "start 25,25\n", "6:2", "keep one of them");
  std::string twoStarts = withRows("########\n#.....S#\n#S.a.G.#\n#....:.#\n#....:.#\n#####:##\n");
  expectError(twoStarts, "6:2", "a second 'S'");
  std::string lastRow = "stage 1\npar 0:01\ngrid\n###\n#.#\n#S#\nend\n";
  expectError(lastRow, "6:2", "cell below it");
}

TEST_F(StageCompiler, SourceMistakesAreNamed) {
  expectError(HEAD_GRID, "6:4", "unknown character 'a'");
  expectError(BASE + "R = wall\n", "13", "fixed tile");
  expectError(BASE + "a = wall\n", "13", "defined twice");
  expectError(BASE + "k = lava\n", "13", "unknown kind 'lava'");
  expectError(BASE + "k = tile 20\n", "13", "without behaviour");
  expectError(BASE + "k = wall -> 1,1\n", "13", "takes no link");
  expectError(std::string("stage 11\n") + BASE_GRID + BASE_DEFS, " ", "no 'par");
  expectError(std::string("stage 11\npar 1:75\n") + BASE_GRID + BASE_DEFS, "2", "minutes:seconds");
  expectError(std::string("par 1:00\n") + BASE_GRID + BASE_DEFS, " ", "no 'stage N'");
  expectError(std::string(BASE_HEAD) + "grid\n#S\n#.\n", "3", "no 'end'");
  expectError(BASE + "what is this\n", "13", "cannot read this line");
}

TEST_F(StageCompiler, TwoSourcesForOneStageAreAnError) {
  std::string a = source("a.stage", BASE);
  std::string b = source("b.stage", BASE);
  StagecRun run = runStagec("--out map " + a + " " + b);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find(b + ":1: stage 11 is also defined in " + a), std::string::npos)
      << run.output;
  EXPECT_FALSE(fileExists("map"));
}

TEST_F(StageCompiler, CommandLineMistakes) {
  EXPECT_EQ(runStagec("").exitCode, 2);
  EXPECT_EQ(runStagec("--bogus --check").exitCode, 2);
  StagecRun run = runStagec("--check " + scratch.path() + "/missing.stage");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.output.find("missing.stage: cannot read"), std::string::npos) << run.output;
  EXPECT_EQ(runStagec("--check").exitCode, 0);  // no sources: nothing to do
}
