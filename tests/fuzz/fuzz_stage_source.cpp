// Stage sources: compiled; a stage that compiles is loaded back from the
// map text and must come back cell for cell, with its header unchanged.
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "stage/stage_state.h"
#include "stagec/stage_source.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterFuzzFolder(true);
  return 0;
}

static void check(bool ok) {
  if (!ok) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text((const char*)data, size);
  StageSource source;
  std::vector<StageDiagnostic> errors, warnings;
  if (!parseStageSource("fuzz.stage", text, source, errors)) return 0;
  // Every door leads to a known stage: only the stage itself is checked.
  std::set<int> known{source.stageNumber};
  for (const auto& [label, def] : source.labels) known.insert(def.targetStage);
  if (!compileStage(source, known, errors, warnings)) return 0;
  std::string map = mapFileText(source);
  if (!writeBytes("map/map7.map", (const uint8_t*)map.data(), map.size())) return 0;
  clearStageGrid();
  check(loadStage(7));
  check(stage.stageCols == source.cols && stage.stageRows == source.rows);
  check(stage.playerStartX == source.playerStartX && stage.playerStartY == source.playerStartY);
  check(stage.parMinutes == source.parMinutes && stage.parSeconds == source.parSeconds);
  for (int r = 0; r < source.rows; r++) {
    for (int c = 0; c < source.cols; c++) {
      const int32_t* cell = &source.cells[((size_t)r * source.cols + c) * 3];
      const MapCell& loaded = stage.grid[r][c];
      check(loaded.kind == cell[0] && loaded.linkRow == cell[1] && loaded.linkCol == cell[2]);
    }
  }
  return 0;
}
