// Edge tests and box tests shared by the bombs and the player.
#include "bomb_fixture.h"

using Probes = BombTest;

TEST_F(Probes, BoxRestingExactlyOnAFloorIsNotBlockedOnePixelLowerItIs) {
  fillRow(4, WALL);
  for (int mode : {PROBE_BARREL, PROBE_ROLLING}) {
    EXPECT_EQ(blockedBelow(30, 25 * 4 - 20, mode), 0);
    EXPECT_EQ(blockedBelow(30, 25 * 4 - 19, mode), 1);
  }
  EXPECT_EQ(blockedBelow(30, 25 * 4 - 15, PROBE_THROWN), 0);
  EXPECT_EQ(blockedBelow(30, 25 * 4 - 14, PROBE_THROWN), 1);
}

TEST_F(Probes, ThrownBoxLooksOnlyAtTheMiddleCellOfAnEdge) {
  // Box at x 40 .. 54: columns 1 .. 2, centre column 1 (trunc(47 / 25)).
  put(4, 2, WALL);
  EXPECT_EQ(blockedBelow(40, 90, PROBE_THROWN), 0);
  EXPECT_EQ(blockedBelow(40, 90, PROBE_ROLLING), 1);  // every cell along the edge
  put(4, 1, WALL);
  EXPECT_EQ(blockedBelow(40, 90, PROBE_THROWN), 1);
}

TEST_F(Probes, SwitchesStopSmallBombsUntilPressedButNeverBarrels) {
  for (int kind : {10, 12, 14, 24, 26}) {
    for (int pressed : {0, 1}) {
      put(1, 1, kind, pressed);
      EXPECT_EQ(cellBlocksBomb(1, 1, PROBE_THROWN), !pressed) << kind;
      EXPECT_EQ(cellBlocksBomb(1, 1, PROBE_ROLLING), !pressed) << kind;
      EXPECT_EQ(cellBlocksBomb(1, 1, PROBE_BARREL), 0) << kind;
    }
  }
}

TEST_F(Probes, PassableAndBlockingKinds) {
  for (int kind : {0, 22, 25, 29, 30, 31, 32}) {
    put(1, 1, kind);
    for (int mode : {PROBE_THROWN, PROBE_BARREL, PROBE_ROLLING})
      EXPECT_EQ(cellBlocksBomb(1, 1, mode), 0) << kind << " mode " << mode;
  }
  for (int kind : {1, 4, 9, 11, 20, 23, 28, 33, 127, -1, -128}) {
    put(1, 1, kind);
    for (int mode : {PROBE_THROWN, PROBE_BARREL, PROBE_ROLLING})
      EXPECT_EQ(cellBlocksBomb(1, 1, mode), 1) << kind << " mode " << mode;
  }
}

TEST_F(Probes, NothingOutsideTheArrayBlocksAndNothingThereIsRead) {
  put(0, 0, WALL);
  put(255, 255, WALL);
  EXPECT_EQ(cellBlocksBomb(-1, 0, PROBE_THROWN), 0);
  EXPECT_EQ(cellBlocksBomb(256, 255, PROBE_BARREL), 0);
  // A box straddling the bottom-right corner of the array.
  EXPECT_EQ(blockedBelow(255 * 25 + 2, 255 * 25 + 2, PROBE_BARREL), 1);
  EXPECT_EQ(blockedRight(255 * 25 + 2, 255 * 25 + 2, PROBE_BARREL), 1);
  // Reaching past the last row and column: those cells are read as empty.
  EXPECT_EQ(blockedBelow(255 * 25 + 10, 255 * 25 + 10, PROBE_BARREL), 0);
  EXPECT_EQ(blockedRight(255 * 25 + 10, 255 * 25 + 10, PROBE_BARREL), 0);
  EXPECT_EQ(blockedLeft(255 * 25 + 10, 255 * 25 + 10, PROBE_BARREL), 1);
  // Far above the stage.
  EXPECT_EQ(blockedAbove(10, -100, PROBE_THROWN), 0);
  EXPECT_EQ(blockedLeft(-1e30f, -1e30f, PROBE_ROLLING), 0);
}

TEST_F(Probes, RestsOnTopNeedsTheBottomEdgeInsideTheOtherBox) {
  EXPECT_EQ(restsOnTop(100, 80, 100, 100, PROBE_BARREL), 0);  // exactly on top
  EXPECT_EQ(restsOnTop(100, 81, 100, 100, PROBE_BARREL), 1);
  EXPECT_EQ(restsOnTop(119, 81, 100, 100, PROBE_BARREL), 1);
  EXPECT_EQ(restsOnTop(120, 81, 100, 100, PROBE_BARREL), 0);
  EXPECT_EQ(restsOnTop(100, 99, 100, 100, PROBE_BARREL), 1);
  EXPECT_EQ(restsOnTop(100, 100, 100, 100, PROBE_BARREL), 0);  // itself
  // The player's 25 x 50 box.
  EXPECT_EQ(restsOnTop(76, 51, 100, 100, PROBE_PLAYER), 1);
  EXPECT_EQ(restsOnTop(75, 51, 100, 100, PROBE_PLAYER), 0);
  EXPECT_EQ(restsOnTop(100, 50, 100, 100, PROBE_PLAYER), 0);
  EXPECT_EQ(restsOnTop(100, 81, 100, 100, PROBE_THROWN), 0);
}
