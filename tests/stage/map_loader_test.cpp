// Reading map files: the formatted-read rules and hostile files.

#include "stage_test_support.h"

class MapLoader : public StageTest {
 protected:
  // Fills the grid with marks so that tests can see what loading cleared.
  void dirtyGrid() {
    for (int r = 0; r < GRID_SIZE; r++)
      for (int c = 0; c < GRID_SIZE; c++) stage.grid[r][c] = MapCell{7, 7, 7, 1, 9, 2};
  }
  void setHeader(int cols, int rows, int x, int y, int m, int s) {
    stage.stageCols = cols;
    stage.stageRows = rows;
    stage.playerStartX = x;
    stage.playerStartY = y;
    stage.parMinutes = m;
    stage.parSeconds = s;
  }
  void expectHeader(int cols, int rows, int x, int y, int m, int s) {
    EXPECT_EQ(stage.stageCols, cols);
    EXPECT_EQ(stage.stageRows, rows);
    EXPECT_EQ(stage.playerStartX, x);
    EXPECT_EQ(stage.playerStartY, y);
    EXPECT_EQ(stage.parMinutes, m);
    EXPECT_EQ(stage.parSeconds, s);
  }
  int countKinds() {
    int n = 0;
    for (int r = 0; r < GRID_SIZE; r++)
      for (int c = 0; c < GRID_SIZE; c++) n += stage.grid[r][c].kind != 0;
    return n;
  }
};

TEST_F(MapLoader, ReadsTheExampleStage) {
  writeMap(4, "3,2,0,0,25,0,1,30\n1,0,0,0,0,0,1,0,0,\n1,0,0,1,0,0,1,0,0,\n");
  dirtyGrid();
  loadStage(4);
  expectHeader(3, 2, 25, 0, 1, 30);
  int expected[2][3] = {{1, 0, 1}, {1, 1, 1}};
  for (int r = 0; r < 2; r++)
    for (int c = 0; c < 3; c++) EXPECT_EQ(stage.grid[r][c].kind, expected[r][c]);
  // The whole array is cleared except progress and gate colours.
  const MapCell& far = stage.grid[200][200];
  EXPECT_EQ(kindAndLink(far), std::tuple(0, 0, 0));
  EXPECT_EQ(far.state, 0);
  EXPECT_EQ(far.progress, 9);
  EXPECT_EQ(far.gateColour, 2);
  EXPECT_EQ(stage.grid[0][1].state, 0);
}

TEST_F(MapLoader, ReadsLinksAndLayoutFreely) {
  // Line breaks and blanks before any number, records run together, signs.
  writeMap(0, "  2,\n 3,\t0,0,+25,\n+25,1,\n5\n10,3,\r\n4,   31,-12,\n\n+0,");
  EXPECT_TRUE(loadStage(0));
  expectHeader(2, 3, 25, 25, 1, 5);
  EXPECT_EQ(kindAndLink(stage.grid[0][0]), std::tuple(SWITCH_A, 3, 4));
  EXPECT_EQ(kindAndLink(stage.grid[0][1]), std::tuple(STAGE_DOOR, -12, 0));
}

TEST_F(MapLoader, HalfReadRecordKeepsItsFirstFields) {
  writeMap(0, "2,8,0,0,0,0,0,0\n22,7,x,22,1,1,\n");
  dirtyGrid();
  loadStage(0);
  EXPECT_EQ(kindAndLink(stage.grid[0][0]), std::tuple(WARP, 7, 0));
  EXPECT_EQ(stage.grid[0][1].kind, 0);
}

TEST_F(MapLoader, CutHeaderKeepsThePreviousValuesFromThere) {
  setHeader(10, 20, 100, 75, 3, 4);
  writeMap(0, "5,6,0,0,77");
  loadStage(0);
  expectHeader(5, 6, 77, 75, 3, 4);
  setHeader(10, 20, 100, 75, 3, 4);
  writeMap(1, "5,6,0,0,77,x,1,1\n1,0,0,");
  loadStage(1);
  expectHeader(5, 6, 77, 75, 3, 4);
  EXPECT_EQ(countKinds(), 0);
  // A file without a stage size is refused; the header stays as it was.
  for (const char* text : {"", "x,1,1"}) {
    setHeader(10, 20, 100, 200, 3, 4);
    char problem[128] = "";
    writeMap(0, text);
    EXPECT_FALSE(loadStage(0, problem, sizeof problem)) << text;
    expectHeader(10, 20, 100, 200, 3, 4);
    EXPECT_STREQ(problem, "./map/map0.map: no stage size at its start");
  }
}

TEST_F(MapLoader, AFolderOrAMissingFileIsRefusedWithTheReason) {
  setHeader(10, 20, 100, 200, 3, 4);
  std::filesystem::create_directories("map/map5.map");
  for (auto [n, reason] : {std::pair{5, "./map/map5.map: Is a directory"},
                           {99, "./map/map99.map: No such file or directory"}}) {
    stage.grid[3][3] = MapCell{WALL, 1, 2, 1, 0, 0};
    char problem[128] = "";
    EXPECT_FALSE(loadStage(n, problem, sizeof problem));
    EXPECT_STREQ(problem, reason);
    expectHeader(10, 20, 100, 200, 3, 4);
  }
  // A missing file leaves the grid as it was.
  EXPECT_EQ(stage.grid[3][3].kind, WALL);
  EXPECT_EQ(stage.grid[3][3].state, 1);
  loadStage(-7);  // names "map-7.map", which does not exist either
  expectHeader(10, 20, 100, 200, 3, 4);
}

TEST_F(MapLoader, FullSizeStageFillsTheWholeArray) {
  std::string text = "256,256,0,0,0,0,0,0\n";
  for (int r = 0; r < 256; r++) {
    for (int c = 0; c < 256; c++) text += (r + c) % 2 ? "1,0,0," : "2,5,6,";
    text += "\n";
  }
  writeMap(0, text);
  loadStage(0);
  EXPECT_EQ(stage.grid[255][255].kind, 2);
  EXPECT_EQ(stage.grid[255][254].kind, 1);
  EXPECT_EQ(stage.grid[0][0].linkCol, 6);
  EXPECT_EQ(countKinds(), 65536);
}

// Sizes the grid cannot hold load nothing and are refused; both sizes end
// up in 1 .. 256.
TEST_F(MapLoader, HostileSizesLoadNoCells) {
  struct Case {
    const char* header;
    int cols, rows;
  } cases[] = {
      {"0,5", 1, 5},
      {"-5,5", 1, 5},
      {"300,5", 256, 5},
      {"4294967295,3", 1, 3},  // wraps to -1
      {"99999999999999999999,3", 256, 3},
      {"257,-1", 256, 1},
  };
  for (const Case& c : cases) {
    dirtyGrid();
    std::string text = std::string(c.header) + ",0,0,0,0,0,0\n";
    for (int i = 0; i < 300; i++) text += "1,0,0,";
    writeMap(0, text);
    EXPECT_FALSE(loadStage(0)) << c.header;
    EXPECT_EQ(stage.stageCols, c.cols) << c.header;
    EXPECT_EQ(stage.stageRows, c.rows) << c.header;
    EXPECT_EQ(countKinds(), 0) << c.header;
  }
}

TEST_F(MapLoader, HugeNumbersWrapWithoutHarm) {
  writeMap(0, "2,2,0,0,4294967321,-4294967296,0,0\n4294967298,99999999999999999999999,0,");
  loadStage(0);
  EXPECT_EQ(stage.playerStartX, 25);
  EXPECT_EQ(stage.playerStartY, 0);
  EXPECT_EQ(stage.grid[0][0].kind, 2);
}

// Values later arithmetic relies on are held to the stage (10 x 4 cells,
// 250 x 100 px); the extremes a compiled stage can hold stay exactly.
struct HeldMapCase {
  const char* name;
  const char* values;  // start x, y, par minutes, seconds; then one cell
  int x, y, minutes, seconds;
  int kind, linkRow, linkCol;
};
class MapValuesHeld : public MapLoader, public testing::WithParamInterface<HeldMapCase> {};

TEST_P(MapValuesHeld, ToTheStage) {
  const HeldMapCase& c = GetParam();
  writeMap(0, std::string("10,4,0,0,") + c.values + ",");
  EXPECT_TRUE(loadStage(0));
  expectHeader(10, 4, c.x, c.y, c.minutes, c.seconds);
  EXPECT_EQ(kindAndLink(stage.grid[0][0]), std::tuple(c.kind, c.linkRow, c.linkCol));
}

INSTANTIATE_TEST_SUITE_P(
    Extremes, MapValuesHeld,
    testing::Values(
        HeldMapCase{"CompiledExtremesStay", "225,50,9999,59\n22,3,9", 225, 50, 9999, 59, WARP, 3,
                    9},
        HeldMapCase{"PlatformEndHeld", "0,0,0,0\n23,-9,99999", 0, 0, 0, 0, PLATFORM_ORIGIN, 0, 9},
        HeldMapCase{"HugeValuesHeld",
                    "2147483647,2147483647,99999999,-2147483648\n22,2147483647,-2147483648", 225,
                    50, 9999, 0, WARP, 3, 0},
        HeldMapCase{"NegativeValuesHeld", "-2147483648,-1,-1,60\n22,-5,10", 0, 0, 0, 59, WARP, 0,
                    9},
        // A switch's link outside the stage names no gate: left as it is.
        HeldMapCase{"SwitchLinkKept", "5,5,1,1\n10,-7,900", 5, 5, 1, 1, SWITCH_A, -7, 900}),
    [](const testing::TestParamInfo<HeldMapCase>& info) { return std::string(info.param.name); });

namespace {

// Map texts and the kinds they leave in the first cells, row by row; every
// other cell of the array is empty.
struct ReadCase {
  const char* name;
  const char* text;
  std::vector<int> kinds;
};
const ReadCase READS[] = {
    {"KindsKeepTheirLowEightBitsAsSigned",
     "4,1,0,0,0,0,0,0\n356,0,0,-1,0,0,128,0,0,511,0,0,",
     {100, -1, -128, -1}},
    {"CommaAfterTheHeaderLeavesTheStageEmpty",
     "3,2,0,0,25,0,1,30,\n1,0,0,1,0,0,1,0,0,\n1,0,0,",
     {}},
    {"BlankBeforeACommaStopsAllReading",
     "3,2,0,0,0,0,0,0\n1,0,0,1 ,0,0,1,0,0,\n1,0,0,1,0,0,",
     {1, 1}},  // the kind before the blank was read
    {"WhiteSpaceInPlaceOfTheFinalCommaReadsOn", "3,1,0,0,0,0,0,0\n1,0,0 2,0,0\n3,0,0,", {1, 2, 3}},
    {"ShortFilesLeaveTheRestEmpty", "3,2,0,0,0,0,0,0\n1,0,0,1,0,0,1,0,0,\n1,0", {1, 1, 1, 1}},
};
class MapReads : public MapLoader, public testing::WithParamInterface<ReadCase> {};

TEST_P(MapReads, LeaveTheseKinds) {
  const ReadCase& c = GetParam();
  dirtyGrid();
  writeMap(0, c.text);
  loadStage(0);
  int set = 0;
  for (size_t i = 0; i < c.kinds.size(); i++) {
    EXPECT_EQ(stage.grid[i / stage.stageCols][i % stage.stageCols].kind, c.kinds[i]) << i;
    set += c.kinds[i] != 0;
  }
  EXPECT_EQ(countKinds(), set);
}

INSTANTIATE_TEST_SUITE_P(Texts, MapReads, testing::ValuesIn(READS),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
