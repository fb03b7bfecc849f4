// Saves the first STEPS of a fixed series of checkpoints into FOLDER, as a
// run does: a new run and a stage entered (both files), a stage door (the
// snapshot alone) and a new home stage (the progress file alone).
//   puxten-save-steps FOLDER STEPS
#include <cstdlib>

#include "stage/stage_state.h"

static void fillStage(int32_t cols, int32_t rows, int8_t kind) {
  stage.stageCols = cols;
  stage.stageRows = rows;
  for (int r = 0; r < rows; r++)
    for (int c = 0; c < cols; c++) stage.grid[r][c] = MapCell{kind, r, c, 0, 0, 0};
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  setSaveFolder(argv[1]);
  int steps = std::atoi(argv[2]);
  for (int step = 1; step <= steps; step++) {
    if (step == 1) {
      fillStage(40, 12, WALL);
      saveCheckpoint(100, 200);
    } else if (step == 2) {
      stage.currentStage = 10;
      fillStage(30, 20, 0);
      saveCheckpoint(50, 75);
    } else if (step == 3) {
      stage.grid[2][3].state = 1;
      saveStageSnapshot();
    } else if (step == 4) {
      stage.homeStage = stage.currentStage = 1;
      saveProgress(-1, -1);
    }
  }
  return 0;
}
