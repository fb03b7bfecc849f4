// puxten-stage-picture: renders a whole stage, every cell at its real
// size, to a PNG, for designing and reviewing stages.
//   puxten-stage-picture [--data DIR] [--grid] [--frames N] N OUT.png
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "platform/data_path.h"
#include "platform/display.h"
#include "platform/sprite.h"
#include "platform/text.h"
#include "platform/trig.h"
#include "stage/stage_state.h"

namespace {

// The view is drawn window by window; each call of the stage drawing paints
// the cells around its camera, of which the 640 x 480 window is kept.
void renderStage(Sprite out, int frames) {
  int width = stage.stageCols * TILE_SIZE, height = stage.stageRows * TILE_SIZE;
  for (int f = 0; f < frames; f++) {
    for (int cy = 0; cy < height; cy += 480) {
      for (int cx = 0; cx < width; cx += 640) {
        drawStage((float)cx, (float)cy);
        if (f == frames - 1) blitOpaque(out, cx, cy, 640, 480, assets.stageSurface, cx, cy);
      }
    }
  }
}

void drawStartMarker(Sprite out) {
  int x = stage.playerStartX, y = stage.playerStartY;
  drawRect(out, x, y, 25, 50, 0, 0x00FF00);
  drawText(out, x - 4, y - 18, 0x00FF00, TRANSPARENT_BACKGROUND, "S");
}

// Faint cell lines, with row and column numbers every five cells.
void drawCellGrid(Sprite out) {
  int width = stage.stageCols * TILE_SIZE, height = stage.stageRows * TILE_SIZE;
  for (int c = 0; c <= stage.stageCols; c++) {
    uint32_t colour = c % 5 == 0 ? 0x00C0FF : 0x808080;
    drawVLine(out, c * TILE_SIZE, 0, height, colour);
  }
  for (int r = 0; r <= stage.stageRows; r++) {
    uint32_t colour = r % 5 == 0 ? 0x00C0FF : 0x808080;
    drawHLine(out, 0, r * TILE_SIZE, width, colour);
  }
  for (int r = 0; r < stage.stageRows; r += 5)
    for (int c = 0; c < stage.stageCols; c += 5)
      drawText(out, c * TILE_SIZE + 1, r * TILE_SIZE + 1, 0xFFFFFF, 0x000000, "%d,%d", r, c);
}

}  // namespace

int main(int argc, char** argv) {
  std::string data, outPath;
  int number = -1, grid = 0, frames = 1;
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--data") && i + 1 < argc)
      data = argv[++i];
    else if (!std::strcmp(argv[i], "--grid"))
      grid = 1;
    else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
      frames = std::atoi(argv[++i]);
    else if (number < 0)
      number = std::atoi(argv[i]);
    else
      outPath = argv[i];
  }
  if (number < 0 || outPath.empty() || frames < 1) {
    std::fprintf(stderr,
                 "usage: puxten-stage-picture [--data DIR] [--grid] [--frames N] "
                 "STAGE OUT.png\n");
    return 2;
  }
  char cwd[4096];
  if (outPath[0] != '/' && getcwd(cwd, sizeof cwd)) outPath = std::string(cwd) + "/" + outPath;
  enterDataFolder(data.c_str());
  resetGame();
  fillTrigTables();
  display.scaleMode = 0;
  display.screenWidth = 640;
  display.screenHeight = 480;
  loadAssets();
  clearStageGrid();
  stage.stageRows = 0;
  loadStage(number);
  if (stage.stageRows <= 0) {
    std::fprintf(stderr, "puxten-stage-picture: no stage %d in map/\n", number);
    return 1;
  }
  setUpStage();
  createStageSurfaces();
  Sprite out = createBlankSprite(stage.stageCols * TILE_SIZE, stage.stageRows * TILE_SIZE);
  renderStage(out, frames);
  drawStartMarker(out);
  if (grid) drawCellGrid(out);
  if (!writePng(outPath.c_str(), *out)) {
    std::fprintf(stderr, "puxten-stage-picture: cannot write %s\n", outPath.c_str());
    return 1;
  }
  return 0;
}
