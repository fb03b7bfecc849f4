// The progress file "save1.dat" and the stage snapshot "mapsave.dat".
//
// Both are 32-bit little-endian words. A file is written whole or not at
// all: into a temporary file in the same folder, flushed to the disk, then
// renamed over the old one. A damaged file is never applied in part.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/os.h"
#include "stage/saves_format.h"
#include "stage/stage_state.h"

static std::string saveFolder = "save";
static uint32_t saveRandomState = 1;

void setSaveFolder(const char* folder) { saveFolder = folder && *folder ? folder : "save"; }

void seedSaveRandom(uint32_t seed) { saveRandomState = seed; }

int32_t nextSaveRandom() {
  saveRandomState = saveRandomState * 214013u + 2531011u;
  return (int32_t)((saveRandomState >> 16) & 0x7FFFu);
}

static void putWord(std::vector<uint8_t>& out, int32_t v) {
  uint32_t u = (uint32_t)v;
  for (int i = 0; i < 4; i++) out.push_back((uint8_t)(u >> (8 * i)));
}

static int32_t getWord(const uint8_t* p) {
  return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 |
                   (uint32_t)p[3] << 24);
}

// Creates the folder and any missing folders above it.
static void makeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); i++) {
    if (i < path.size() && path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return;
  }
}

static void syncFolder(const std::string& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

static void writeWholeFile(const char* name, const std::vector<uint8_t>& bytes) {
  makeFolders(saveFolder);
  std::string path = saveFolder + "/" + name;
  std::string temp = path + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = ::fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return;
  }
  syncFolder(saveFolder);
}

// Reads at most `limit` bytes of the file; false when it cannot be opened.
static bool readFile(const char* name, size_t limit, std::vector<uint8_t>& out) {
  std::string path = saveFolder + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out.resize(limit);
  size_t got = std::fread(out.data(), 1, limit, f);
  out.resize(got);
  std::fclose(f);
  return true;
}

void saveProgressWithKeys(int32_t x, int32_t y, int32_t k1, int32_t k2) {
  if (x >= 1 && y >= 1) {
    stage.lastSavedX = x;
    stage.lastSavedY = y;
  }
  // A save without a position repeats the last checkpoint.
  int32_t px = x < 0 || y < 0 ? stage.lastSavedX : x;
  int32_t py = x < 0 || y < 0 ? stage.lastSavedY : y;
  std::vector<uint8_t> bytes;
  bytes.reserve(PROGRESS_FILE_BYTES);
  putWord(bytes, px ^ k1);
  putWord(bytes, py ^ k1);
  putWord(bytes, k1);
  putWord(bytes, px ^ k1 ^ k2);
  putWord(bytes, py ^ k1 ^ k2);
  putWord(bytes, k2);
  putWord(bytes, stage.barrelBombFound);
  putWord(bytes, stage.rollingBombFound);
  putWord(bytes, stage.currentStage);
  putWord(bytes, stage.blocksCrushed);
  putWord(bytes, stage.homeStage);
  writeWholeFile("save1.dat", bytes);
}

void saveProgress(int32_t x, int32_t y) {
  // srand(time(NULL)) then two rand() values, each taken mod 0x7FFFFFFF.
  seedSaveRandom((uint32_t)osCalendarSeconds());
  int32_t k1 = nextSaveRandom() % 0x7FFFFFFF;
  int32_t k2 = nextSaveRandom() % 0x7FFFFFFF;
  saveProgressWithKeys(x, y, k1, k2);
}

static int usedSize(int32_t n) { return n < 0 ? 0 : (n > GRID_SIZE ? GRID_SIZE : n); }

void saveStageSnapshot() {
  int cols = usedSize(stage.stageCols), rows = usedSize(stage.stageRows);
  std::vector<uint8_t> bytes;
  bytes.reserve(8 + 16 * (size_t)cols * rows);
  putWord(bytes, cols);
  putWord(bytes, rows);
  for (int row = 0; row < rows; row++) {
    for (int col = 0; col < cols; col++) {
      const MapCell& c = stage.grid[row][col];
      putWord(bytes, c.state);
      putWord(bytes, c.linkRow);
      putWord(bytes, c.kind);
      putWord(bytes, c.linkCol);
    }
  }
  writeWholeFile("mapsave.dat", bytes);
}

// Applies the snapshot only when it is whole and its size fits the grid.
static void loadSnapshot() {
  std::vector<uint8_t> bytes;
  const size_t largest = 8 + 16 * (size_t)GRID_SIZE * GRID_SIZE;
  if (!readFile("mapsave.dat", largest, bytes) || bytes.size() < 8) return;
  int32_t cols = getWord(&bytes[0]);
  int32_t rows = getWord(&bytes[4]);
  if (cols < 1 || cols > GRID_SIZE || rows < 1 || rows > GRID_SIZE) return;
  if (bytes.size() < 8 + 16 * (size_t)cols * rows) return;
  stage.stageCols = cols;
  stage.stageRows = rows;
  const uint8_t* p = &bytes[8];
  for (int row = 0; row < rows; row++) {
    for (int col = 0; col < cols; col++, p += 16) {
      MapCell& c = stage.grid[row][col];
      c.state = lowByte(getWord(p));
      c.linkRow = getWord(p + 4);
      c.kind = lowByte(getWord(p + 8));
      c.linkCol = getWord(p + 12);
    }
  }
}

void loadSaves(float* outX, float* outY) {
  std::vector<uint8_t> bytes;
  // A missing or short progress file changes nothing, and the snapshot
  // is then not read either.
  if (!readFile("save1.dat", PROGRESS_FILE_BYTES, bytes)) return;
  if (bytes.size() < (size_t)PROGRESS_FILE_BYTES) return;
  int32_t w[11];
  for (int i = 0; i < 11; i++) w[i] = getWord(&bytes[4 * i]);
  int32_t k1 = w[2];
  stage.barrelBombFound = w[6];
  stage.rollingBombFound = w[7];
  stage.currentStage = w[8];
  stage.blocksCrushed = w[9];
  stage.homeStage = w[10];
  // Words 3 and 4 repeat the position under the second key; unused.
  if (outX) *outX = (float)(w[0] ^ k1);
  if (outY) *outY = (float)(w[1] ^ k1);
  loadSnapshot();
}
