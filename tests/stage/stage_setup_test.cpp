// Stage set-up: gate parts, gate colours, platforms, crushers, block count.
#include "stage_test_support.h"

class StageSetUp : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    stage.stageRows = 20;
    stage.stageCols = 20;
    stage.blocksTotal = 0;
  }
  void put(int r, int c, int kind, int linkRow = 0, int linkCol = 0) {
    stage.grid[r][c].kind = (int8_t)kind;
    stage.grid[r][c].linkRow = linkRow;
    stage.grid[r][c].linkCol = linkCol;
  }
};

TEST_F(StageSetUp, GatesLayTheirPartsOverWhatTheMapHad) {
  put(5, 3, GATE_VERTICAL);
  put(6, 3, WALL);
  put(8, 3, BLOCK_WEAK);  // overwritten before the scan reaches it: not counted
  setUpStage();
  for (int k = 1; k <= 3; k++)
    EXPECT_EQ(kindAndLink(stage.grid[5 + k][3]), std::tuple(GATE_VERTICAL_PART, 5, 3));
  EXPECT_EQ(stage.grid[9][3].kind, 0);
  EXPECT_EQ(stage.blocksTotal, 0);
  // A horizontal gate lays them to its right.
  put(2, 10, GATE_HORIZONTAL);
  setUpStage();
  for (int k = 1; k <= 3; k++)
    EXPECT_EQ(kindAndLink(stage.grid[2][10 + k]), std::tuple(GATE_HORIZONTAL_PART, 2, 10));
  EXPECT_EQ(stage.grid[2][14].kind, 0);
}

TEST_F(StageSetUp, TheLastSwitchInTheScanColoursTheGate) {
  put(10, 10, GATE_VERTICAL);
  put(1, 1, SWITCH_A, 10, 10);
  put(2, 1, SWITCH_A, 10, 10);
  setUpStage();
  for (int k = 0; k <= 3; k++) EXPECT_EQ(stage.grid[10 + k][10].gateColour, 1);

  clearStageGrid();
  put(10, 10, GATE_HORIZONTAL);
  put(1, 1, SWITCH_A, 10, 10);
  put(2, 1, TIMED_SWITCH, 10, 10);
  put(15, 15, SWITCH_B, 99, 99);  // names no gate: nothing happens
  setUpStage();
  for (int k = 0; k <= 3; k++) EXPECT_EQ(stage.grid[10][10 + k].gateColour, 2);

  clearStageGrid();
  put(10, 10, GATE_VERTICAL);
  put(3, 3, WEIGHT_SWITCH, 10, 10);
  put(4, 4, SWITCH_C, 10, 10);
  put(12, 0, WEIGHT_SWITCH, 10, 10);  // met after the gate, still last
  setUpStage();
  for (int k = 0; k <= 3; k++) EXPECT_EQ(stage.grid[10 + k][10].gateColour, 3);
}

TEST_F(StageSetUp, AnUndrivenGateKeepsItsOldColour) {
  stage.grid[4][4].gateColour = 2;  // from an earlier stage
  put(4, 4, GATE_VERTICAL);
  put(8, 8, GATE_VERTICAL);
  setUpStage();
  EXPECT_EQ(stage.grid[4][4].gateColour, 2);
  EXPECT_EQ(stage.grid[8][8].gateColour, 0);
}

TEST_F(StageSetUp, CountsBlocksAndLinksCrushersToThemselves) {
  stage.blocksTotal = 4;  // added to, never reset here
  int n = 0;
  for (int kind : {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4})
    put(n / 20, n % 20, kind), n++;
  put(7, 9, CRUSHER_SWITCH, 40, 40);
  setUpStage();
  EXPECT_EQ(stage.blocksTotal, 4 + 17);
  EXPECT_EQ(kindAndLink(stage.grid[7][9]), std::tuple(CRUSHER_SWITCH, 7, 9));
}

TEST_F(StageSetUp, OnlyTheUsedRectangleIsScanned) {
  stage.stageRows = 3;
  stage.stageCols = 3;
  put(1, 5, BLOCK_WEAK);
  put(5, 1, GATE_VERTICAL);
  setUpStage();
  EXPECT_EQ(stage.blocksTotal, 0);
  EXPECT_EQ(stage.grid[6][1].kind, 0);
}

// Gates at the edge of the array and links that leave it touch nothing
// outside the array.
TEST_F(StageSetUp, EdgesOfTheArrayAreRespected) {
  stage.stageRows = 256;
  stage.stageCols = 256;
  put(254, 0, GATE_VERTICAL);
  put(0, 254, GATE_HORIZONTAL);
  put(100, 100, SWITCH_A, 254, 0);
  put(100, 101, TIMED_SWITCH, 0, 254);
  put(100, 102, SWITCH_B, -1, 5);
  put(100, 103, WEIGHT_SWITCH, 5, 300);
  put(100, 104, PLATFORM_ORIGIN, 2000000000, -2000000000);
  setUpStage();
  EXPECT_EQ(stage.grid[255][0].kind, GATE_VERTICAL_PART);
  EXPECT_EQ(stage.grid[255][0].gateColour, 1);
  EXPECT_EQ(stage.grid[0][255].kind, GATE_HORIZONTAL_PART);
  EXPECT_EQ(stage.grid[0][255].gateColour, 2);
  ASSERT_NE(stage.platforms, nullptr);
  EXPECT_EQ(stage.platforms->axis, 0);
}
