// Reads "./map/map<n>.map" into the grid and the header globals.
//
// The file is a list of decimal numbers and commas read by the patterns
// "%d,%d,%d,%d,%d,%d,%ld,%ld" (header) and "%d,%d,%d," (one per cell), with
// the rules of C's formatted input: a number may be preceded by white space
// and a sign, a comma must follow its number directly, and a read stops at
// the first character that does not fit, leaving it unread for the next
// read. Values are stored as each one is converted, so a read that stops
// half way keeps the values it got. The scanner below is our own so that
// these rules hold byte for byte and a hostile file can do no harm.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/os.h"
#include "stage/stage_state.h"

namespace {

struct MapScanner {
  std::FILE* file;
  uint8_t* buffer;  // the stage record's read buffer
  size_t length = 0;
  size_t position = 0;
  bool ended = false;

  // The next character without taking it, or -1 at the end of the file.
  int peek() {
    if (position == length) {
      if (ended) return -1;
      length = std::fread(buffer, 1, MAP_READ_BUFFER_BYTES, file);
      position = 0;
      if (length == 0) {
        ended = true;
        return -1;
      }
    }
    return buffer[position];
  }
  void take() { position++; }

  // "%d": white space, an optional sign, one or more digits. Digits beyond
  // the 32-bit range wrap around rather than fail. A sign without a digit
  // after it is taken and the read fails, as C's input functions do.
  bool readInt(int32_t* out) {
    int c = peek();
    while (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') {
      take();
      c = peek();
    }
    bool negative = false;
    if (c == '+' || c == '-') {
      negative = c == '-';
      take();
      c = peek();
    }
    if (c < '0' || c > '9') return false;
    uint32_t value = 0;
    while (c >= '0' && c <= '9') {
      value = value * 10u + (uint32_t)(c - '0');
      take();
      c = peek();
    }
    if (negative) value = 0u - value;
    *out = (int32_t)value;
    return true;
  }

  bool readComma() {
    if (peek() != ',') return false;
    take();
    return true;
  }
};

bool sizeInRange(int32_t n) { return n >= 1 && n <= GRID_SIZE; }
int32_t clampSize(int32_t n) { return n < 1 ? 1 : (n > GRID_SIZE ? GRID_SIZE : n); }

// Reads the header; returns how many of its eight values were stored.
int readHeader(MapScanner& in) {
  int32_t discarded;
  int32_t* targets[8] = {&stage.stageCols,  &stage.stageRows,    &discarded,
                         &discarded,        &stage.playerStartX, &stage.playerStartY,
                         &stage.parMinutes, &stage.parSeconds};
  for (int i = 0; i < 8; i++) {
    if (!in.readInt(targets[i])) return i;
    if (i < 7 && !in.readComma()) return i + 1;
  }
  return 8;
}

void readCell(MapScanner& in, MapCell& cell) {
  int32_t v;
  if (!in.readInt(&v)) return;
  cell.kind = lowByte(v);
  if (!in.readComma()) return;
  if (!in.readInt(&v)) return;
  cell.linkRow = v;
  if (!in.readComma()) return;
  if (!in.readInt(&v)) return;
  cell.linkCol = v;
  in.readComma();
}

// Every value that later arithmetic relies on is held to what the stage
// compiler can write, so that no sum or conversion can overflow: the start
// keeps the whole player inside the stage, par times stay small, and warp
// targets and platform ends name cells of the stage. Values a compiled
// stage holds are never changed.
void holdToStage() {
  int32_t width = TILE_SIZE * stage.stageCols, height = TILE_SIZE * stage.stageRows;
  stage.playerStartX = holdBetween(stage.playerStartX, 0, std::max(0, width - TILE_SIZE));
  stage.playerStartY = holdBetween(stage.playerStartY, 0, std::max(0, height - 2 * TILE_SIZE));
  stage.parMinutes = holdBetween(stage.parMinutes, 0, MAX_PAR_MINUTES);
  stage.parSeconds = holdBetween(stage.parSeconds, 0, 59);
  for (int row = 0; row < stage.stageRows; row++) {
    for (int col = 0; col < stage.stageCols; col++) {
      MapCell& cell = stage.grid[row][col];
      if (cell.kind != WARP && cell.kind != PLATFORM_ORIGIN) continue;
      cell.linkRow = rowInStage(cell.linkRow);
      cell.linkCol = colInStage(cell.linkCol);
    }
  }
}

void describe(char* problem, size_t size, const char* path, const char* reason) {
  if (problem && size) std::snprintf(problem, size, "%s: %s", path, reason);
}

}  // namespace

static void mapPath(int32_t n, char* path, size_t size) {
  std::snprintf(path, size, "./map/map%d.map", (int)n);
}

bool stageHasMap(int32_t n) {
  char path[48];
  mapPath(n, path, sizeof path);
  uint8_t first;
  return osReadFile(path, &first, 1) == 1;
}

bool loadStage(int32_t n, char* problem, size_t problemSize) {
  char path[48];
  mapPath(n, path, sizeof path);
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {  // a missing stage changes nothing at all
    describe(problem, problemSize, path, std::strerror(errno));
    return false;
  }

  clearStageGrid(/*keepProgress=*/true);

  MapScanner in;
  in.file = file;
  in.buffer = stage.mapReadBuffer;
  int headerValues = readHeader(in);

  // A size the grid cannot hold loads no cell at all: the stage is refused
  // and both sizes are pulled into 1 .. 256 so that nothing that walks the
  // used rectangle can leave the array.
  bool sized = headerValues >= 2 && sizeInRange(stage.stageCols) && sizeInRange(stage.stageRows);
  if (sized) {
    for (int row = 0; row < stage.stageRows; row++) {
      for (int col = 0; col < stage.stageCols; col++) readCell(in, stage.grid[row][col]);
    }
  } else {
    stage.stageCols = clampSize(stage.stageCols);
    stage.stageRows = clampSize(stage.stageRows);
  }
  holdToStage();
  bool failed = std::ferror(file) != 0;
  int readError = errno;
  std::fclose(file);
  if (failed) {
    describe(problem, problemSize, path, std::strerror(readError));
    return false;
  }
  if (!sized) {
    describe(problem, problemSize, path,
             headerValues < 2 ? "no stage size at its start" : "stage size outside 1 .. 256");
    return false;
  }
  return true;
}
