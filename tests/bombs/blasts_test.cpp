// What blasts do to the grid: crushing, switches, gates and the crusher.
#include <vector>

#include "bomb_fixture.h"

using Blasts = BombTest;

TEST_F(Blasts, HardnessDecidesWhichBlocksGo) {
  const int kinds[] = {BLOCK_WEAK, BLOCK_MEDIUM, BLOCK_STRONG, WALL, WEIGHT_SWITCH};
  for (int c = 1; c <= 5; c++) put(1, c, kinds[c - 1]);
  int before = stage.blocksCrushed;
  // A blast of power p crushes the block of hardness p and no harder one.
  for (int power = 2; power <= 4; power++) {
    for (int c = 1; c <= 5; c++) blastCell(1, c, power);
    EXPECT_EQ(cell(1, power - 1).kind, EMPTY) << power;
    EXPECT_EQ(cell(1, power).kind, kinds[power - 1]) << power;
    EXPECT_EQ(stage.blocksCrushed, before + power - 1);
  }
  EXPECT_EQ(cell(1, 5).kind, WEIGHT_SWITCH);
  EXPECT_EQ(cell(1, 5).state, 0);
  ASSERT_EQ(countCrushEffects(), 3);
  // One crumbling picture per block, at the cell's top-left corner, in order.
  CrushEffect* e = stage.crushEffects;
  EXPECT_EQ(e->x, 25.0f);
  EXPECT_EQ(e->y, 25.0f);
  EXPECT_EQ(e->next->x, 50.0f);
  EXPECT_EQ(e->next->next->x, 75.0f);
}

TEST_F(Blasts, SwitchOpensItsGateAndPressingAgainChangesNothing) {
  putGate(3, 10);
  put(8, 2, SWITCH_A, 0, 3, 10);
  blastCell(8, 2, 2);
  EXPECT_EQ(cell(8, 2).state, 1);
  EXPECT_EQ(cell(3, 10).state, 1);
  EXPECT_EQ(cell(3, 10).kind, GATE_VERTICAL);  // the origin stays
  for (int r = 4; r <= 6; r++) EXPECT_EQ(cell(r, 10).kind, EMPTY);
  // Put a part back by hand: an already open gate is not changed again.
  put(4, 10, GATE_VERTICAL_PART, 0, 3, 10);
  blastCell(8, 2, 2);
  EXPECT_EQ(cell(4, 10).kind, GATE_VERTICAL_PART);
}

TEST_F(Blasts, HorizontalGateEmptiesTheThreeCellsToItsRight) {
  put(5, 5, GATE_HORIZONTAL);
  for (int i = 1; i <= 4; i++) put(5, 5 + i, GATE_HORIZONTAL_PART, 0, 5, 5);
  put(7, 7, SWITCH_C, 0, 5, 5);
  blastCell(7, 7, 3);
  EXPECT_EQ(cell(5, 5).state, 1);
  EXPECT_EQ(cell(5, 6).kind, EMPTY);
  EXPECT_EQ(cell(5, 8).kind, EMPTY);
  EXPECT_EQ(cell(5, 9).kind, GATE_HORIZONTAL_PART);
}

TEST_F(Blasts, TimedSwitchAddsATimerAtEveryBlast) {
  putGate(2, 2);
  put(9, 9, TIMED_SWITCH, 0, 2, 2);
  blastCell(9, 9, 2);
  blastCell(9, 9, 3);
  EXPECT_EQ(countSwitchTimers(), 2);
  EXPECT_EQ(stage.switchTimers->row, 9);
  EXPECT_EQ(stage.switchTimers->col, 9);
  EXPECT_EQ(cell(9, 9).state, 1);
  EXPECT_EQ(cell(2, 2).state, 1);
}

TEST_F(Blasts, LinksOutsideTheArrayAreIgnored) {
  put(1, 1, SWITCH_A, 0, -5, 300);
  put(1, 2, SWITCH_B, 0, 254, 255);  // a vertical gate at the array's bottom edge
  putGate(0, 0);
  put(254, 255, GATE_VERTICAL);
  put(255, 255, GATE_VERTICAL_PART);
  blastCell(1, 1, 2);
  blastCell(1, 2, 2);
  blastCell(-1, 0, 4);
  blastCell(0, 256, 4);
  EXPECT_EQ(cell(1, 1).state, 1);
  EXPECT_EQ(cell(254, 255).state, 1);
  EXPECT_EQ(cell(255, 255).kind, EMPTY);
}

TEST_F(Blasts, CrusherWindowIsThirteenUpNineDownThirteenLeftTwelveRight) {
  setStageSize(30, 30);
  for (int r = 0; r < 30; r++)
    for (int c = 0; c < 30; c++) put(r, c, BLOCK_WEAK + (r + c) % 3);
  put(10, 10, CRUSHER_SWITCH, 0, 10, 10);
  put(3, 3, SWITCH_A, 0, 0, 0);
  int before = stage.blocksCrushed;
  blastCell(10, 10, 2);
  int crushed = 0;
  for (int r = 0; r < 30; r++) {
    for (int c = 0; c < 30; c++) {
      bool inside = r <= 19 && c <= 22;
      if (r == 10 && c == 10) continue;
      if (r == 3 && c == 3) continue;
      if (inside) {
        EXPECT_EQ(cell(r, c).kind, EMPTY) << r << "," << c;
        crushed++;
      } else {
        EXPECT_NE(cell(r, c).kind, EMPTY) << r << "," << c;
      }
    }
  }
  EXPECT_EQ(crushed, 20 * 23 - 2);
  EXPECT_EQ(stage.blocksCrushed, before + crushed);
  EXPECT_EQ(countCrushEffects(), crushed);
  EXPECT_EQ(cell(10, 10).state, 1);
  EXPECT_EQ(cell(3, 3).state, 0);  // switches in the window are not pressed
  // Row-major order.
  CrushEffect* first = stage.crushEffects;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->x, 0.0f);
  EXPECT_EQ(first->y, 0.0f);
  EXPECT_EQ(first->next->x, 25.0f);
  EXPECT_EQ(first->next->y, 0.0f);
}

TEST_F(Blasts, CrusherWindowStopsAtTheUsedRectangle) {
  setStageSize(12, 12);
  for (int r = 0; r < 30; r++)
    for (int c = 0; c < 30; c++) put(r, c, BLOCK_STRONG);
  put(10, 10, CRUSHER_SWITCH, 0, 10, 10);
  blastCell(10, 10, 2);
  EXPECT_EQ(cell(11, 11).kind, EMPTY);
  EXPECT_EQ(cell(0, 0).kind, EMPTY);
  EXPECT_EQ(cell(12, 5).kind, BLOCK_STRONG);
  EXPECT_EQ(cell(5, 12).kind, BLOCK_STRONG);
  EXPECT_EQ(countCrushEffects(), 12 * 12 - 1);
}

TEST_F(Blasts, CrusherAtTheArrayCornerOfAnOversizedStageStaysInside) {
  setStageSize(300, 300);  // a damaged map: larger than the array
  put(255, 255, CRUSHER_SWITCH, 0, 255, 255);
  put(250, 250, BLOCK_WEAK);
  blastCell(255, 255, 2);
  EXPECT_EQ(cell(250, 250).kind, EMPTY);
  EXPECT_EQ(countCrushEffects(), 1);
}

TEST_F(Blasts, BarrelBlastCrushesTwentyFiveAndCountsExactly) {
  for (int r = 0; r < 10; r++)
    for (int c = 0; c < 10; c++) put(r, c, BLOCK_STRONG);
  put(4, 4, WALL);
  put(5, 6, EMPTY);
  int before = stage.blocksCrushed;
  // Box at (115, 115): centre (5, 5) -> rows 3 .. 7, columns 3 .. 7.
  barrelBombBlast(115, 115);
  int emptied = 0;
  for (int r = 0; r < 10; r++)
    for (int c = 0; c < 10; c++)
      if (cell(r, c).kind == EMPTY && !(r == 5 && c == 6)) emptied++;
  EXPECT_EQ(emptied, 23);
  EXPECT_EQ(stage.blocksCrushed, before + 23);
  EXPECT_EQ(cell(4, 4).kind, WALL);
  EXPECT_EQ(cell(2, 5).kind, BLOCK_STRONG);
  EXPECT_EQ(cell(8, 5).kind, BLOCK_STRONG);
  EXPECT_EQ(cell(5, 2).kind, BLOCK_STRONG);
  EXPECT_EQ(cell(5, 8).kind, BLOCK_STRONG);
}

TEST_F(Blasts, FootprintsAtTheArrayEdgesAreClipped) {
  setStageSize(256, 256);
  for (int r = 0; r < 3; r++)
    for (int c = 0; c < 3; c++) {
      put(r, c, BLOCK_WEAK);
      put(253 + r, 253 + c, BLOCK_WEAK);
    }
  int before = stage.blocksCrushed;
  barrelBombBlast(0, 0);  // centre (0, 0)
  EXPECT_EQ(stage.blocksCrushed - before, 9);
  barrelBombBlast(255 * 25, 255 * 25);  // centre (255, 255)
  EXPECT_EQ(stage.blocksCrushed - before, 18);
  thrownBombBlast(-7, -7, SIDE_ABOVE);  // a box above and left of the grid
  thrownBombBlast(255 * 25 + 10, 255 * 25 + 10, SIDE_BELOW);
  rollingBombBlast(255 * 25 + 10, 255 * 25 + 10, SIDE_RIGHT);
  EXPECT_EQ(stage.blocksCrushed - before, 18);
}

TEST_F(Blasts, BlastCoveringBothSwitchAndGatePartsOpensTheGate) {
  putGate(2, 4);
  put(5, 3, SWITCH_A, 0, 2, 4);
  // Barrel centre (4, 4): covers parts (3..5, 4) and the switch.
  barrelBombBlast(90, 90);
  EXPECT_EQ(cell(2, 4).state, 1);
  for (int r = 3; r <= 5; r++) EXPECT_EQ(cell(r, 4).kind, EMPTY);
  EXPECT_EQ(cell(2, 4).kind, GATE_VERTICAL);
}

// Which cells a thrown bomb's blast empties, for a box at (x, y).
static std::vector<std::pair<int, int>> thrownFootprint(float x, float y, int side) {
  for (int r = 0; r < 12; r++)
    for (int c = 0; c < 12; c++) {
      stage.grid[r][c] = MapCell{};
      stage.grid[r][c].kind = BLOCK_MEDIUM;
    }
  thrownBombBlast(x, y, side);
  std::vector<std::pair<int, int>> out;
  for (int r = 0; r < 12; r++)
    for (int c = 0; c < 12; c++)
      if (stage.grid[r][c].kind == EMPTY) out.push_back({r, c});
  return out;
}

// Box at (110, 110): columns and rows 4 .. 4, the centre (4, 4) moves one
// cell away from the side it ran into. Box at (114.5, 118): its right column
// 5 differs from its centre column 4, so the centre (5, 4) stays.
TEST_F(Blasts, ThrownBlastCentreMovesOutOfTheCellItRanInto) {
  using Cell = std::pair<int, int>;
  const struct {
    float x, y;
    int side;
    Cell first, last;
  } cases[] = {{110, 110, SIDE_RIGHT, {3, 2}, {5, 4}},
               {110, 110, SIDE_LEFT, {3, 4}, {5, 6}},
               {110, 110, SIDE_BELOW, {2, 3}, {4, 5}},
               {110, 110, SIDE_ABOVE, {4, 3}, {6, 5}},
               {114.5f, 118, SIDE_RIGHT, {4, 3}, {6, 5}}};
  for (const auto& c : cases) {
    std::vector<Cell> cells = thrownFootprint(c.x, c.y, c.side);
    ASSERT_EQ(cells.size(), 9u) << c.side;
    EXPECT_EQ(cells.front(), c.first) << c.x << " side " << c.side;
    EXPECT_EQ(cells.back(), c.last) << c.x << " side " << c.side;
  }
}

TEST_F(Blasts, RollingBlastOnAFloorTreatsTheWallCellTwice) {
  putGate(1, 1);
  put(8, 6, TIMED_SWITCH, 0, 1, 1);
  // Box at (115, 180): rows 7 .. 7, columns 4 .. 5.
  rollingBombBlast(115, 180, SIDE_LEFT);
  EXPECT_EQ(countSwitchTimers(), 0);
  put(7, 4, TIMED_SWITCH, 0, 1, 1);
  rollingBombBlast(115, 180, SIDE_LEFT);
  EXPECT_EQ(countSwitchTimers(), 2);
  EXPECT_EQ(cell(1, 1).state, 1);
  // Two rows: top and bottom cell of the wall column.
  put(7, 5, BLOCK_WEAK);
  put(8, 5, BLOCK_WEAK);
  put(9, 5, BLOCK_WEAK);
  rollingBombBlast(115, 185, SIDE_RIGHT);
  EXPECT_EQ(cell(7, 5).kind, EMPTY);
  EXPECT_EQ(cell(8, 5).kind, EMPTY);
  EXPECT_EQ(cell(9, 5).kind, BLOCK_WEAK);
}
