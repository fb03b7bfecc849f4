// puxten-stage-picture: renders a whole stage, every cell at its real
// size, to a PNG, for designing and reviewing stages.
//   puxten-stage-picture [--data DIR] [--grid] [--frames N] N OUT.png
//   puxten-stage-picture [--data DIR] [--frames N] --sheet OUT.png N...
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "platform/data_path.h"
#include "platform/display.h"
#include "platform/sprite.h"
#include "platform/text.h"
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

// The whole stage `number` at its real size, or nullptr when it has no map.
Sprite renderWholeStage(int number, int frames) {
  clearStageGrid();
  char problem[256];
  if (!loadStage(number, problem, sizeof problem)) {
    std::fprintf(stderr, "puxten-stage-picture: %s\n", problem);
    return nullptr;
  }
  setUpStage();
  createStageSurfaces();
  Sprite out = createBlankSprite(stage.stageCols * TILE_SIZE, stage.stageRows * TILE_SIZE);
  renderStage(out, frames);
  freeStageSurfaces();
  return out;
}

// Each 2 x 2 block of `src` averaged into one pixel of `dst` at (x, y).
void blitHalf(Sprite dst, int x, int y, Sprite src) {
  for (int sy = 0; sy + 1 < logicalHeight(src); sy += 2) {
    for (int sx = 0; sx + 1 < logicalWidth(src); sx += 2) {
      uint32_t sum[3] = {0, 0, 0};
      for (int k = 0; k < 4; k++) {
        uint32_t c = readPixel(src, sx + k % 2, sy + k / 2);
        for (int ch = 0; ch < 3; ch++) sum[ch] += (c >> (8 * ch)) & 0xFF;
      }
      plotPixel(dst, x + sx / 2, y + sy / 2, (sum[0] / 4) | (sum[1] / 4) << 8 | (sum[2] / 4) << 16);
    }
  }
}

// Several stages at half size, one under the other, each named: a contact
// sheet for reviewing the hubs side by side.
int writeSheet(const std::vector<int>& numbers, int frames, const std::string& outPath) {
  constexpr int GAP = 24;
  std::vector<Sprite> pictures;
  int width = 0, height = GAP;
  for (int n : numbers) {
    Sprite s = renderWholeStage(n, frames);
    if (!s) return 1;
    pictures.push_back(s);
    width = std::max(width, logicalWidth(s) / 2);
    height += logicalHeight(s) / 2 + GAP;
  }
  Sprite sheet = createBlankSprite(width, height);
  drawRect(sheet, 0, 0, width, height, 1, 0x202020);
  int y = GAP;
  for (size_t i = 0; i < pictures.size(); i++) {
    drawText(sheet, 4, y - 18, 0xFFFFFF, TRANSPARENT_BACKGROUND, "stage %d", numbers[i]);
    blitHalf(sheet, 0, y, pictures[i]);
    y += logicalHeight(pictures[i]) / 2 + GAP;
    freeSprite(pictures[i]);
  }
  bool written = writePng(outPath.c_str(), *sheet);
  freeSprite(sheet);
  if (!written) std::fprintf(stderr, "puxten-stage-picture: cannot write %s\n", outPath.c_str());
  return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string data, outPath;
  int number = -1, grid = 0, frames = 1;
  std::vector<int> sheet;
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--data") && i + 1 < argc)
      data = argv[++i];
    else if (!std::strcmp(argv[i], "--sheet") && i + 1 < argc)
      outPath = argv[++i];
    else if (!sheet.empty() || (!outPath.empty() && number < 0))
      sheet.push_back(std::atoi(argv[i]));
    else if (!std::strcmp(argv[i], "--grid"))
      grid = 1;
    else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
      frames = std::atoi(argv[++i]);
    else if (number < 0)
      number = std::atoi(argv[i]);
    else
      outPath = argv[i];
  }
  if ((number < 0 && sheet.empty()) || outPath.empty() || frames < 1) {
    std::fprintf(stderr,
                 "usage: puxten-stage-picture [--data DIR] [--grid] [--frames N] "
                 "STAGE OUT.png\n"
                 "       puxten-stage-picture [--data DIR] [--frames N] --sheet OUT.png "
                 "STAGE...\n");
    return 2;
  }
  char cwd[4096];
  if (outPath[0] != '/' && getcwd(cwd, sizeof cwd)) outPath = std::string(cwd) + "/" + outPath;
  enterDataFolder(data.c_str());
  resetGame();
  display.scaleMode = 0;
  display.screenWidth = 640;
  display.screenHeight = 480;
  loadAssets();
  if (!sheet.empty()) return writeSheet(sheet, frames, outPath);
  Sprite out = renderWholeStage(number, frames);
  if (!out) return 1;
  drawStartMarker(out);
  if (grid) drawCellGrid(out);
  if (!writePng(outPath.c_str(), *out)) {
    std::fprintf(stderr, "puxten-stage-picture: cannot write %s\n", outPath.c_str());
    return 1;
  }
  return 0;
}
