// The grid, its outside cell and the three stage lists.
#include "stage_test_support.h"

using StageGrid = StageTest;

TEST_F(StageGrid, CellsOutsideTheArrayReadAsEmptyAndForgetWrites) {
  for (auto [r, c] : {std::pair{-1, 0}, {0, -1}, {256, 0}, {0, 256}, {INT32_MIN, INT32_MAX}}) {
    MapCell& outside = cellAt(r, c);
    EXPECT_EQ(outside.kind, 0);
    outside.kind = WALL;
    outside.state = 1;
    EXPECT_EQ(cellAt(r, c).kind, 0) << r << "," << c;
    EXPECT_EQ(cellAt(r, c).state, 0);
  }
  cellAt(255, 255).kind = WALL;
  EXPECT_EQ(stage.grid[255][255].kind, WALL);
}

TEST_F(StageGrid, ClearingKeepsGateColours) {
  stage.grid[0][0] = MapCell{GATE_VERTICAL, 4, 5, 1, 45, 2};
  stage.grid[255][255] = MapCell{WALL, 1, 1, 1, 1, 3};
  clearStageGrid();
  for (auto [r, c] : {std::pair{0, 0}, {255, 255}}) {
    const MapCell& m = stage.grid[r][c];
    EXPECT_EQ(kindAndLink(m), std::tuple(0, 0, 0));
    EXPECT_EQ(m.state, 0);
    EXPECT_EQ(m.progress, 0);
  }
  EXPECT_EQ(stage.grid[0][0].gateColour, 2);
  EXPECT_EQ(stage.grid[255][255].gateColour, 3);
}

TEST_F(StageGrid, ListsKeepInsertionOrderAndAllowRemovalWhileWalking) {
  for (int i = 0; i < 6; i++) addCrushEffect((float)i, (float)(10 * i));
  EXPECT_EQ(countCrushEffects(), 6);
  // Remove the even ones while walking, as the drawing does.
  int index = 0;
  for (CrushEffect* e = stage.crushEffects; e;) {
    CrushEffect* next = e->next;
    EXPECT_EQ(e->age, 0.0f);
    if (index % 2 == 0) removeCrushEffect(e);
    e = next;
    index++;
  }
  std::vector<float> left;
  for (CrushEffect* e = stage.crushEffects; e; e = e->next) left.push_back(e->x);
  EXPECT_EQ(left, (std::vector<float>{1, 3, 5}));
  addCrushEffect(7, 0);  // the tail is found again after removals
  EXPECT_EQ(countCrushEffects(), 4);
  removeCrushEffect(nullptr);  // not in the list: nothing happens
  freeCrushEffects();
  EXPECT_EQ(stage.crushEffects, nullptr);
  EXPECT_EQ(countCrushEffects(), 0);
}
