// Stage drawing and the cell animations: which picture lands where, the
// frame counters, the gate slides, the chests' rewards and the front edges.
#include "app/stage_drawing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/display.h"
#include "platform/headless/headless.h"
#include "platform/sprite.h"
#include "stage/stage_state.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr int COLS = 60, ROWS = 40;  // the test stage: 1500 x 1000 pixels
constexpr uint32_t TILE_TAG = 0x07, BOMB_TAG = 0x09;
constexpr uint32_t ARROW_PIXEL = 0xA01020;
constexpr uint32_t BACKDROP_PIXEL = 0xFAFAFA;

// Synthetic sheets whose pixels tell where on the sheet they were taken
// from: red = x / 10, green = y / 10, blue = a tag per sheet. No pixel is
// white or the decorations' key colour.
uint32_t sheetPixel(int x, int y, uint32_t tag) {
  return (uint32_t)(x / 10) << 16 | (uint32_t)(y / 10) << 8 | tag;
}

Sprite makeSheet(int w, int h, uint32_t tag) {
  Sprite s = createBlankSprite(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) s->pixels[(size_t)y * w + x] = sheetPixel(x, y, tag);
  return s;
}

Sprite makeFilled(int w, int h, uint32_t pixel) {
  Sprite s = createBlankSprite(w, h);
  for (auto& p : s->pixels) p = pixel;
  return s;
}

uint32_t pixelAt(Sprite s, int x, int y) { return colorRefToPixel(readPixel(s, x, y)); }

struct Source {
  int x, y;
  uint32_t tag;
};
// Where on which synthetic sheet the pixel at (x, y) of s came from, to
// the nearest 10 px.
Source sourceAt(Sprite s, int x, int y) {
  uint32_t p = pixelAt(s, x, y);
  return {(int)((p >> 16) & 0xFF) * 10, (int)((p >> 8) & 0xFF) * 10, p & 0xFF};
}

void clearGrid() {
  for (auto& row : stage.grid)
    for (auto& c : row) c = MapCell{};
}

MapCell& put(int row, int col, int kind, int state = 0, int gateColour = 0) {
  MapCell& c = stage.grid[row][col];
  c = MapCell{};
  c.kind = (int8_t)kind;
  c.state = (int8_t)state;
  c.gateColour = gateColour;
  return c;
}

class StageDrawing : public ::testing::Test {
 public:
  void SetUp() override {
    resetDisplayState();
    display.scaleMode = 0;
    display.screenWidth = 640;
    display.screenHeight = 480;
    resetGame();
    headlessReset();
    clearGrid();
    stage.stageRows = ROWS;
    stage.stageCols = COLS;
    stage.crushEffects = nullptr;
    stage.platforms = nullptr;
    makeSurfaces(COLS * 25, ROWS * 25);
    assets.backBufferDC = createBackBuffer();
    useSyntheticSheets();
  }

  void TearDown() override {
    freeCrushEffects();
    stage.platforms = nullptr;
    Sprite* all[] = {&assets.stageSurface,  &assets.darkBackdrop, &assets.backdropSurface,
                     &assets.backBufferDC,  &assets.tileSheet,    &assets.bombSheet,
                     &assets.stageBackdrop, &assets.blackSheet,   &assets.arrowSprite,
                     &assets.crushSheet};
    for (Sprite* s : all) {
      freeSprite(*s);
      *s = nullptr;
    }
    clearGrid();
    if (saves) setSaveFolder("save");
  }

  void makeSurfaces(int w, int h) {
    freeSprite(assets.stageSurface);
    freeSprite(assets.darkBackdrop);
    freeSprite(assets.backdropSurface);
    assets.stageSurface = createWindowedSprite(w, h, 640, 480);
    assets.darkBackdrop = createBlankSprite(640, 480);
    assets.darkBackdropDepth = NO_DEPTH;
    assets.backdropSurface = createBlankSprite(640, 480);
  }

  void useSyntheticSheets() {
    assets.tileSheet = makeSheet(1500, 1750, TILE_TAG);
    assets.bombSheet = makeSheet(500, 300, BOMB_TAG);
    assets.stageBackdrop = makeFilled(640, 480, BACKDROP_PIXEL);
    assets.blackSheet = makeFilled(640, 480, 0);
    assets.arrowSprite = makeFilled(60, 60, ARROW_PIXEL);
    assets.crushSheet = createBlankSprite(1000, 100);
    for (int y = 0; y < 100; y++)
      for (int x = 0; x < 1000; x++)
        assets.crushSheet->pixels[(size_t)y * 1000 + x] =
            (uint32_t)(20 * (x / 100) + 10) << 16 | (uint32_t)y << 8 | 0x03;
  }

  // A fresh folder for the save files of one test.
  void useTempSaveFolder() {
    saves = std::make_unique<TempFolder>("puxten-stagedraw");
    saveDir = saves->path();
    setSaveFolder(saveDir.c_str());
  }
  bool saveFileExists(const char* name) { return fs::exists(fs::path(saveDir) / name); }

  std::unique_ptr<TempFolder> saves;
  std::string saveDir;
};

// ---------------------------------------------------------------------------
// Counters.

TEST_F(StageDrawing, TickWrapsAfter99AndThirdFrameCountersStepTwice) {
  // Ticks 98 (even), 99 (a multiple of three) and 0 (both).
  stageDraw.stageTick = 98;
  for (int i = 0; i < 3; i++) drawStage(0, 0);
  EXPECT_EQ(stageDraw.stageTick, 1);
  EXPECT_EQ(stageDraw.pulseFrame, 3);
  EXPECT_EQ(stageDraw.glowFrame, 2);
  EXPECT_EQ(stageDraw.decorFrame, 2);
}

// ---------------------------------------------------------------------------
// Backdrop.

// ---------------------------------------------------------------------------
// Gates.

struct GateFixture {
  // A vertical gate at (10, 10) with its parts below it, driven by colour g.
  static void build(int g) {
    put(10, 10, GATE_VERTICAL, 0, g);
    for (int r = 11; r <= 13; r++) {
      MapCell& p = put(r, 10, GATE_VERTICAL_PART, 0, g);
      p.linkRow = 10;
      p.linkCol = 10;
    }
  }
  static void open() {
    stage.grid[10][10].state = 1;
    for (int r = 11; r <= 13; r++) stage.grid[r][10] = MapCell{};
  }
};

TEST_F(StageDrawing, OpenVerticalGateSlidesUp75PxInFiveFrames) {
  GateFixture::build(1);
  drawStage(0, 0);
  // Closed: the gate picture at its cell, over its parts.
  EXPECT_EQ(sourceAt(assets.stageSurface, 251, 251).y, 150);
  EXPECT_NE(sourceAt(assets.stageSurface, 251, 251 - 75).tag, TILE_TAG);  // backdrop
  EXPECT_EQ(stage.grid[10][10].progress, 0);

  GateFixture::open();
  for (int i = 1; i <= 6; i++) {
    int drawnAt = 250 - stage.grid[10][10].progress;
    drawStage(0, 0);
    EXPECT_EQ(stage.grid[10][10].progress, std::min(15 * i, 75));
    Source s = sourceAt(assets.stageSurface, 251, drawnAt + 1);
    EXPECT_EQ(s.tag, TILE_TAG);
    EXPECT_EQ(s.y, 150);
    EXPECT_NE(sourceAt(assets.stageSurface, 251, drawnAt - 1).tag, TILE_TAG);
  }
  // Fully open: the picture stands 75 px higher and its lower end no
  // longer reaches the old parts.
  EXPECT_EQ(sourceAt(assets.stageSurface, 251, 176).y, 150);
  EXPECT_NE(sourceAt(assets.stageSurface, 251, 301).tag, TILE_TAG);

  // Closing slides back in five frames.
  stage.grid[10][10].state = 0;
  for (int i = 1; i <= 6; i++) {
    drawStage(0, 0);
    EXPECT_EQ(stage.grid[10][10].progress, std::max(75 - 15 * i, 0));
  }
}

TEST_F(StageDrawing, HorizontalGateSlidesLeftButGatesWithoutColourStay) {
  put(10, 10, GATE_HORIZONTAL, 1, 2);
  put(10, 20, GATE_VERTICAL, 1, 0);
  put(12, 20, GATE_HORIZONTAL, 1, 4);
  for (int i = 1; i <= 5; i++) {
    int drawnAt = 250 - stage.grid[10][10].progress;
    int p = stageDraw.pulseFrame;
    drawStage(0, 0);
    Source s = sourceAt(assets.stageSurface, drawnAt + 1, 251);
    EXPECT_EQ(s.x, 250 * p + 50);
    EXPECT_EQ(s.y, 1350);
  }
  EXPECT_EQ(stage.grid[10][10].progress, 75);
  EXPECT_EQ(stage.grid[10][20].progress, 0);
  EXPECT_EQ(stage.grid[12][20].progress, 0);
}

TEST_F(StageDrawing, GateOutsideTheWindowWaitsUntilSeen) {
  put(30, 5, GATE_VERTICAL, 1, 1);   // below the window of camera (0, 0)
  put(10, 40, GATE_VERTICAL, 1, 1);  // right of it
  for (int i = 0; i < 10; i++) drawStage(0, 0);
  EXPECT_EQ(stage.grid[30][5].progress, 0);
  EXPECT_EQ(stage.grid[10][40].progress, 0);
  std::vector<int> steps;
  for (int i = 0; i < 6; i++) {
    drawStage(0, 500);  // rows 19 .. 40
    steps.push_back(stage.grid[30][5].progress);
  }
  EXPECT_EQ(steps, (std::vector<int>{15, 30, 45, 60, 75, 75}));
  EXPECT_EQ(stage.grid[10][40].progress, 0);
}

// ---------------------------------------------------------------------------
// Crush effects.

TEST_F(StageDrawing, ExpiredCrushEffectLeavesTheLaterOnes) {
  addCrushEffect(100, 100);
  for (int i = 0; i < 3; i++) drawStage(0, 0);
  addCrushEffect(200, 100);
  addCrushEffect(300, 100);
  for (int i = 0; i < 7; i++) drawStage(0, 0);
  ASSERT_EQ(countCrushEffects(), 2);
  EXPECT_EQ(stage.crushEffects->x, 200);
  EXPECT_EQ(stage.crushEffects->age, 7);
  for (int i = 0; i < 3; i++) drawStage(0, 0);
  EXPECT_EQ(countCrushEffects(), 0);
  EXPECT_EQ(stage.crushEffects, nullptr);
}

// ---------------------------------------------------------------------------
// Door arrows.

TEST_F(StageDrawing, ArrowBobsAboveTheDoorThePlayerStandsAt) {
  put(10, 12, WARP);
  std::vector<int> bob;
  for (int i = 0; i < 32; i++) {
    stage.grid[10][12].state = 1;  // the player's head test, each frame
    bob.push_back(stageDraw.arrowBob);
    drawStage(0, 0);
    EXPECT_EQ(stage.grid[10][12].state, 0);
  }
  // The arrow's top edge sits 60 px above the door, moved down by the bob.
  const int top = 250 - 60 + bob.back();
  EXPECT_EQ(pixelAt(assets.stageSurface, 303, top), ARROW_PIXEL);
  EXPECT_EQ(pixelAt(assets.stageSurface, 332, top + 29), ARROW_PIXEL);
  EXPECT_NE(pixelAt(assets.stageSurface, 303, top - 1), ARROW_PIXEL);
  const std::vector<int> want = {1,  2,  3,  4,  5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 14,
                                 13, 12, 11, 10, 9, 8, 7, 6, 5, 4,  3,  2,  1,  0,  1,  2};
  EXPECT_EQ(bob, want);
  // Each arrow drawn also counts as a frame.
  EXPECT_EQ(app.frameCount, 32);

  // No arrow without the player.
  drawStage(0, 0);
  EXPECT_EQ(app.frameCount, 32);
  EXPECT_EQ(stageDraw.arrowBob, 3);
}

// ---------------------------------------------------------------------------
// Goal chest.

TEST_F(StageDrawing, ClosedGoalChestStaysShut) {
  put(4, 10, GOAL_CHEST);
  for (int i = 0; i < 14; i++) drawStage(0, 0);
  EXPECT_EQ(stage.grid[4][10].progress, 0);  // stays shut
}

TEST_F(StageDrawing, OpenedGoalChestOpensAndGlitters) {
  put(4, 10, GOAL_CHEST, 1);
  for (int i = 0; i < 18; i++) {
    SCOPED_TRACE(i);
    EXPECT_EQ(stage.grid[4][10].progress, std::min((i + 1) / 2, 7));
    drawStage(0, 0);
  }
  EXPECT_EQ(stage.grid[4][10].progress, 7);
}

TEST_F(StageDrawing, GoalChestInTheTopRowTruncatesTowardZero) {
  // 25 * 0 - 15.625 truncates to -15, not -16: the picture's row 15 lands
  // on the surface's row 0.
  for (int y = 850; y < 900; y++)
    for (int x = 0; x < 150; x++)
      assets.tileSheet->pixels[(size_t)y * 1500 + x] = 0x100000u | (uint32_t)(y - 850);
  put(0, 10, GOAL_CHEST);
  drawStage(0, 0);
  EXPECT_EQ(pixelAt(assets.stageSurface, 210, 0), 0x100000u | 15);
  EXPECT_EQ(pixelAt(assets.stageSurface, 210, 34), 0x100000u | 49);
}

// ---------------------------------------------------------------------------
// Bomb chests.

TEST_F(StageDrawing, BarrelChestGivesItsBombAfterRiseAndFade) {
  useTempSaveFolder();
  bombs.barrelBombCount = 2;
  MapCell& chest = put(10, 10, CHEST_BARREL_BOMB);
  drawStage(0, 0);  // closed: the item waits above it
  EXPECT_EQ(stageDraw.chestItemX, 254);
  EXPECT_EQ(stageDraw.chestItemY, 240);

  chest.state = 1;  // the player's touch
  int frames = 0, evenFrames = 0;
  while (chest.state == 1 && frames < 100) {
    if (stageDraw.stageTick % 2 == 0) evenFrames++;
    drawStage(0, 0);
    frames++;
  }
  EXPECT_EQ(evenFrames, 16);
  EXPECT_EQ(stageDraw.chestItemY, 240 - 64);
  EXPECT_EQ(stageDraw.chestRise, 0);
  ASSERT_EQ(chest.state, 2);

  for (int i = 1; i <= 10; i++) drawStage(0, 0);
  EXPECT_EQ(chest.state, 2);
  EXPECT_EQ(stageDraw.chestFade, 100);
  EXPECT_EQ(bombs.barrelBombCount, 2);
  EXPECT_EQ(stage.barrelBombFound, 0);
  EXPECT_FALSE(saveFileExists("save1.dat"));
  EXPECT_FALSE(saveFileExists("mapsave.dat"));

  drawStage(0, 0);  // the eleventh fade frame
  EXPECT_EQ(chest.state, 3);
  EXPECT_EQ(stageDraw.chestFade, 0);
  EXPECT_EQ(bombs.barrelBombCount, 3);
  EXPECT_EQ(stage.barrelBombFound, 1);
  EXPECT_TRUE(saveFileExists("save1.dat"));
  EXPECT_TRUE(saveFileExists("mapsave.dat"));

  // Emptied: nothing more given or saved.
  fs::remove(fs::path(saveDir) / "save1.dat");
  for (int i = 0; i < 5; i++) drawStage(0, 0);
  EXPECT_EQ(bombs.barrelBombCount, 3);
  EXPECT_FALSE(saveFileExists("save1.dat"));
}

// Runs an opened chest until it is emptied; returns the frames it took.
int runChest(MapCell& chest) {
  chest.state = 1;
  int frames = 0;
  while (chest.state != 3 && frames < 200) {
    drawStage(0, 0);
    frames++;
  }
  return frames;
}

TEST_F(StageDrawing, ChestsGiveTheirBombOnlyWithRoomInTheStock) {
  // The rolling chest's flag is set even when the stock is full.
  struct Case {
    int kind, start, count, rollingFound;
    bool saved;
  } cases[] = {
      {CHEST_THROWN_BOMB, 9, 9, 0, false},
      {CHEST_THROWN_BOMB, 3, 4, 0, true},
      {CHEST_ROLLING_BOMB, 9, 9, 1, false},
      {CHEST_ROLLING_BOMB, 0, 1, 1, true},
  };
  useTempSaveFolder();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " from " << c.start);
    fs::remove(fs::path(saveDir) / "save1.dat");
    fs::remove(fs::path(saveDir) / "mapsave.dat");
    stage.rollingBombFound = 0;
    int& stock = c.kind == CHEST_THROWN_BOMB ? bombs.thrownBombCount : bombs.rollingBombCount;
    stock = c.start;
    MapCell& chest = put(10, 10, c.kind);
    drawStage(0, 0);
    EXPECT_LT(runChest(chest), 200);
    EXPECT_EQ(stock, c.count);
    EXPECT_EQ(stage.rollingBombFound, c.rollingFound);
    EXPECT_EQ(stage.barrelBombFound, 0);
    EXPECT_EQ(saveFileExists("save1.dat"), c.saved);
    EXPECT_EQ(saveFileExists("mapsave.dat"), c.saved);
  }
}

TEST_F(StageDrawing, OpeningChestOutsideTheWindowWaitsUntilSeen) {
  useTempSaveFolder();
  bombs.barrelBombCount = 0;
  MapCell& chest = put(30, 10, CHEST_BARREL_BOMB, 1);
  for (int i = 0; i < 60; i++) drawStage(0, 0);
  EXPECT_EQ(chest.state, 1);
  EXPECT_EQ(stageDraw.chestRise, 0);
  EXPECT_EQ(bombs.barrelBombCount, 0);
  for (int i = 0; i < 60; i++) drawStage(0, 500);
  EXPECT_EQ(chest.state, 3);
  EXPECT_EQ(bombs.barrelBombCount, 1);
}

TEST_F(StageDrawing, OpeningChestTakesTheItemPlaceOfTheLastClosedChest) {
  MapCell& opening = put(10, 10, CHEST_THROWN_BOMB);
  put(10, 5, CHEST_THROWN_BOMB);  // drawn after it: the pass goes right to left
  drawStage(0, 0);
  EXPECT_EQ(stageDraw.chestItemX, 129);
  opening.state = 1;
  for (int i = 0; i < 4; i++) drawStage(0, 0);
  EXPECT_EQ(stageDraw.chestItemX, 129);
  EXPECT_EQ(stageDraw.chestItemY, 240);  // reset by the closed chest each frame
  EXPECT_EQ(stageDraw.chestRise, 2);
}

// ---------------------------------------------------------------------------
// Front edges.

class FrontEdges : public StageDrawing {
 protected:
  void SetUp() override {
    StageDrawing::SetUp();
    clearScreen(assets.backBufferDC, 0x0000FF);  // red
    bombs.barrelBombCount = 0;
    for (float& x : barrelX) x = -50;
  }
  // The sheet position of the strip at back-buffer (x, y), or tag 0.
  Source stripAt(int x, int y) {
    uint32_t p = pixelAt(assets.backBufferDC, x, y);
    if (p == 0xFF0000) return {0, 0, 0};
    return sourceAt(assets.backBufferDC, x, y);
  }
  float barrelX[MAX_BOMB_SLOTS];
};

TEST_F(FrontEdges, StripsOfTheScreensLeftColumnAndLeftOfEachBarrel) {
  put(12, 9, WALL);
  put(12, 19, BLOCK_WEAK);
  put(12, 30, WALL);
  barrelX[0] = 500;  // column 20: the strips of column 19
  drawFrontEdges(250, 250, barrelX);
  // No barrel counted: only the camera's column 9, at (25·9 + 26, 300).
  Source s = stripAt(1, 50);
  EXPECT_EQ(s.tag, TILE_TAG);
  EXPECT_EQ(s.x, 90);
  EXPECT_EQ(s.y, 0);
  EXPECT_EQ(stripAt(5, 80).tag, TILE_TAG);  // 5 x 31
  EXPECT_EQ(stripAt(6, 50).tag, 0u);
  EXPECT_EQ(stripAt(1, 81).tag, 0u);
  EXPECT_EQ(stripAt(251, 50).tag, 0u);
  EXPECT_EQ(stripAt(526, 50).tag, 0u);

  bombs.barrelBombCount = 1;
  clearScreen(assets.backBufferDC, 0x0000FF);
  drawFrontEdges(250, 250, barrelX);
  s = stripAt(251, 50);
  EXPECT_EQ(s.tag, TILE_TAG);
  EXPECT_EQ(s.x, 140);
  EXPECT_EQ(stripAt(526, 50).tag, 0u);  // column 30: no barrel beside it
}

TEST_F(FrontEdges, ColumnsLeftOfTheStageAreRaisedToZero) {
  put(12, 0, HAZARD_C);
  bombs.barrelBombCount = 3;  // barrels at -50: column -3, raised to 0
  drawFrontEdges(0, 0, barrelX);
  Source s = stripAt(26, 300);
  EXPECT_EQ(s.x, 140);
  EXPECT_EQ(s.y, 100);
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
  useTempSaveFolder();
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
  useTempSaveFolder();
  bombs.thrownBombCount = 1;
  put(0, 0, GATE_VERTICAL, 1, 1);
  MapCell& chest = put(0, 1, CHEST_THROWN_BOMB);
  drawStage(-10, -10);  // window rows -1 .. 20
  runChest(chest);
  EXPECT_EQ(stage.grid[0][0].progress, 75);
  EXPECT_EQ(bombs.thrownBombCount, 2);
}

}  // namespace
