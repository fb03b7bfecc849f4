// The cell animations that change the stage, not only its pictures: gate
// slides, the chests' rewards and saves, what waits outside the window, and
// a camera at the grid's edges. Where things land on the screen is checked
// by the picture hashes of the recorded replays.
#include "app/stage_drawing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/screens_fixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int COLS = 60, ROWS = 40;  // the test stage: 1500 x 1000 pixels

MapCell& put(int row, int col, int kind, int state = 0, int gateColour = 0) {
  MapCell& c = stage.grid[row][col];
  c = MapCell{};
  c.kind = (int8_t)kind;
  c.state = (int8_t)state;
  c.gateColour = gateColour;
  return c;
}

// The progress of cell (row, col) after each of n frames drawn at (cx, cy).
std::vector<int> progressOver(int n, int row, int col, float cx = 0, float cy = 0) {
  std::vector<int> seen;
  for (int i = 0; i < n; i++) {
    drawStage(cx, cy);
    seen.push_back(stage.grid[row][col].progress);
  }
  return seen;
}

class StageDrawing : public ScreensTest {
 public:
  void SetUp() override {
    ScreensTest::SetUp();
    makeStage(ROWS, COLS, -1);
  }
  void TearDown() override {
    resetStageState();
    ScreensTest::TearDown();
  }
  bool saved(const char* name) { return fs::exists(fs::path(saves.path()) / name); }
};

// ---------------------------------------------------------------------------
// Gates.

// Gates without a colour (no switch drives them) stay as they are.
TEST_F(StageDrawing, GatesWithAColourSlideFifteenAFrameBothWays) {
  put(10, 10, GATE_VERTICAL, 1, 1);
  put(10, 20, GATE_HORIZONTAL, 1, 2);
  put(14, 20, GATE_VERTICAL, 1, 0);
  put(12, 5, GATE_HORIZONTAL, 1, 4);
  const std::vector<int> opening = {15, 30, 45, 60, 75, 75};
  EXPECT_EQ(progressOver(6, 10, 10), opening);
  EXPECT_EQ(stage.grid[10][20].progress, 75);
  EXPECT_EQ(stage.grid[14][20].progress, 0);
  EXPECT_EQ(stage.grid[12][5].progress, 0);
  stage.grid[10][10].state = 0;
  const std::vector<int> closing = {60, 45, 30, 15, 0, 0};
  EXPECT_EQ(progressOver(6, 10, 10), closing);
}

TEST_F(StageDrawing, GateOutsideTheWindowWaitsUntilSeen) {
  put(30, 5, GATE_VERTICAL, 1, 1);   // below the window of camera (0, 0)
  put(10, 40, GATE_VERTICAL, 1, 1);  // right of it
  EXPECT_EQ(progressOver(10, 30, 5), std::vector<int>(10, 0));
  EXPECT_EQ(stage.grid[10][40].progress, 0);
  EXPECT_EQ(progressOver(6, 30, 5, 0, 500), (std::vector<int>{15, 30, 45, 60, 75, 75}));
  EXPECT_EQ(stage.grid[10][40].progress, 0);
}

TEST_F(StageDrawing, GoalChestOpensOnlyWhenTouched) {
  put(4, 10, GOAL_CHEST, 1);
  put(4, 20, GOAL_CHEST);
  // A step on every other frame, up to its seventh picture.
  const std::vector<int> opening = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7, 7};
  EXPECT_EQ(progressOver(16, 4, 10), opening);
  EXPECT_EQ(stage.grid[4][20].progress, 0);
}

TEST_F(StageDrawing, GoalChestInTheTopRowTruncatesTowardZero) {
  // 25 * 0 - 15.625 truncates to -15, not -16: the picture's row 15 lands
  // on the surface's row 0.
  freeSprite(assets.tileSheet);
  assets.tileSheet = createBlankSprite(150, 900);
  for (int y = 850; y < 900; y++)
    for (int x = 0; x < 150; x++)
      assets.tileSheet->pixels[(size_t)y * 150 + x] = 0x100000u | (y - 850);
  put(0, 10, GOAL_CHEST);
  drawStage(0, 0);
  EXPECT_EQ(colorRefToPixel(readPixel(assets.stageSurface, 210, 0)), 0x100000u | 15);
  EXPECT_EQ(colorRefToPixel(readPixel(assets.stageSurface, 210, 34)), 0x100000u | 49);
}

// ---------------------------------------------------------------------------
// Bomb chests.

// Runs an opened chest until it is emptied; returns the frames it took.
int runChest(MapCell& chest, float cameraY = 0) {
  chest.state = 1;
  int frames = 0;
  while (chest.state != 3 && frames < 200) {
    drawStage(0, cameraY);
    frames++;
  }
  return frames;
}

TEST_F(StageDrawing, BarrelChestGivesItsBombAndSavesAfterRiseAndFade) {
  bombs.barrelBombCount = 2;
  MapCell& chest = put(10, 10, CHEST_BARREL_BOMB, 1);
  int frames = 0;
  while (chest.state == 1 && frames < 100) {
    drawStage(0, 0);
    frames++;
  }
  ASSERT_EQ(chest.state, 2);
  EXPECT_EQ(frames, 31);  // 16 rising steps, one on each even frame
  for (int i = 1; i <= 10; i++) drawStage(0, 0);
  EXPECT_EQ(chest.state, 2);  // still fading: nothing given, nothing saved
  EXPECT_EQ(bombs.barrelBombCount, 2);
  EXPECT_FALSE(saved("save1.dat"));
  drawStage(0, 0);  // the eleventh fade frame
  EXPECT_EQ(chest.state, 3);
  EXPECT_EQ(bombs.barrelBombCount, 3);
  EXPECT_EQ(stage.barrelBombFound, 1);
  EXPECT_TRUE(saved("save1.dat"));
  EXPECT_TRUE(saved("mapsave.dat"));
  // Emptied: nothing more given or saved.
  for (const char* name : {"save1.dat", "mapsave.dat"}) fs::remove(fs::path(saves.path()) / name);
  for (int i = 0; i < 5; i++) drawStage(0, 0);
  EXPECT_EQ(bombs.barrelBombCount, 3);
  EXPECT_FALSE(saved("save1.dat"));
}

struct ChestCase {
  const char* name;
  int kind, start, count, rollingFound;
  bool saved;
};

class ChestReward : public StageDrawing, public testing::WithParamInterface<ChestCase> {};

// A chest gives its bomb only with room in the stock; the rolling chest's
// flag is set even when the stock is full.
TEST_P(ChestReward, GivesItsBombOnlyWithRoomInTheStock) {
  const ChestCase& c = GetParam();
  int& stock = c.kind == CHEST_THROWN_BOMB ? bombs.thrownBombCount : bombs.rollingBombCount;
  stock = c.start;
  EXPECT_LT(runChest(put(10, 10, c.kind)), 200);
  EXPECT_EQ(stock, c.count);
  EXPECT_EQ(stage.rollingBombFound, c.rollingFound);
  EXPECT_EQ(stage.barrelBombFound, 0);
  EXPECT_EQ(saved("save1.dat"), c.saved);
  EXPECT_EQ(saved("mapsave.dat"), c.saved);
}

INSTANTIATE_TEST_SUITE_P(Chests, ChestReward,
                         testing::Values(ChestCase{"ThrownFull", CHEST_THROWN_BOMB, 9, 9, 0, false},
                                         ChestCase{"Thrown", CHEST_THROWN_BOMB, 3, 4, 0, true},
                                         ChestCase{"RollingFull", CHEST_ROLLING_BOMB, 9, 9, 1,
                                                   false},
                                         ChestCase{"Rolling", CHEST_ROLLING_BOMB, 0, 1, 1, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StageDrawing, OpeningChestOutsideTheWindowWaitsUntilSeen) {
  bombs.barrelBombCount = 0;
  MapCell& chest = put(30, 10, CHEST_BARREL_BOMB, 1);
  for (int i = 0; i < 60; i++) drawStage(0, 0);
  EXPECT_EQ(chest.state, 1);
  EXPECT_EQ(bombs.barrelBombCount, 0);
  EXPECT_LT(runChest(chest, 500), 200);
  EXPECT_EQ(bombs.barrelBombCount, 1);
}

// ---------------------------------------------------------------------------
// Grid edges: the pass and the strips never read or write outside the grid.

TEST_F(StageDrawing, CameraAtTheGridsEdgesStaysInsideTheGrid) {
  int i = 0;
  for (int r = 0; r < GRID_SIZE; r++) {
    for (int c = 0; c < GRID_SIZE; c++, i++) {
      // Every kind, known or not, with states 0..2 and colours 0..4.
      const int kind = i % 36 < 33 ? i % 36 : GATE_VERTICAL_PART + i % 2;
      MapCell& cell = put(r, c, kind, (i / 36) % 3, (i / 7) % 5);
      cell.linkRow = (i % 2) ? 1000 : -7;  // parts pointing far outside
      cell.linkCol = (i % 3) ? -1000 : 300;
    }
  }
  stage.stageRows = GRID_SIZE;
  stage.stageCols = GRID_SIZE;
  bombs.barrelBombCount = MAX_BOMB_SLOTS;
  float barrelX[MAX_BOMB_SLOTS];
  for (int k = 0; k < MAX_BOMB_SLOTS; k++) barrelX[k] = k % 2 ? 6399.0f : -500.0f;
  put(255, 255, GATE_VERTICAL, 1, 1);
  put(0, 0, GATE_HORIZONTAL, 1, 2);
  const float cameras[][2] = {{-100, -100}, {0, 0},       {25, 50},       {6375, 6375},
                              {5750, 5900}, {6500, 6500}, {-30, 6390.5f}, {6390.5f, -30}};
  for (auto& cam : cameras) {
    for (int f = 0; f < 40; f++) {
      drawStage(cam[0], cam[1]);
      drawFrontEdges(cam[0], cam[1], barrelX);
    }
  }
  // The fields behind the grid are untouched.
  EXPECT_EQ(stage.stageRows, GRID_SIZE);
  EXPECT_EQ(stage.stageCols, GRID_SIZE);
  // The corner cells were animated like any other cell.
  EXPECT_EQ(stage.grid[255][255].progress, 75);
  EXPECT_EQ(stage.grid[0][0].progress, 75);
}

TEST_F(StageDrawing, TopLeftCellsAnimateWithTheCameraAtTheOrigin) {
  bombs.thrownBombCount = 1;
  put(0, 0, GATE_VERTICAL, 1, 1);
  MapCell& chest = put(0, 1, CHEST_THROWN_BOMB);
  drawStage(-10, -10);  // window rows -1 .. 20
  runChest(chest);
  EXPECT_EQ(stage.grid[0][0].progress, 75);
  EXPECT_EQ(bombs.thrownBombCount, 2);
}

}  // namespace
