// The progress file "save1.dat" and the stage snapshot "mapsave.dat".
//
// Both are 32-bit little-endian words. A file is written whole or not at
// all (osWriteFileAtomic). A damaged file is never applied in part.
//
// The last checkpoint is also kept in memory: when a file cannot be written
// (a read-only or full disk, a file where the folder should be) the player
// is told once and plays on, and a retry reads the copy in memory instead
// of the older file on the disk, which is left as it was.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/os.h"
#include "stage/saves_format.h"
#include "stage/stage_state.h"

namespace {

// One file as this process last saved it.
struct SavedFile {
  const char* name;
  std::vector<uint8_t> bytes;
  bool held = false;        // saved at least once by this process
  bool diskBehind = false;  // its last write failed: the disk holds an older one
};

struct SavesState {
  std::string folder = "save";
  uint32_t randomState = 1;
  SavedFile progress{"save1.dat", {}};
  SavedFile snapshot{"mapsave.dat", {}};
  bool problemReported = false;
};

SavesState saves;

constexpr size_t ERROR_TEXT_SIZE = 512;

}  // namespace

void resetSavesState() {
  std::string folder = saves.folder;
  saves = SavesState{};
  saves.folder = folder;
}

void setSaveFolder(const char* folder) { saves.folder = folder && *folder ? folder : "save"; }
const char* saveFolderPath() { return saves.folder.c_str(); }

void seedSaveRandom(uint32_t seed) { saves.randomState = seed; }

int32_t nextSaveRandom() {
  saves.randomState = saves.randomState * 214013u + 2531011u;
  return (int32_t)((saves.randomState >> 16) & 0x7FFFu);
}

static void putWord(std::vector<uint8_t>& out, int32_t v) {
  uint32_t u = (uint32_t)v;
  for (int i = 0; i < 4; i++) out.push_back((uint8_t)(u >> (8 * i)));
}

static int32_t getWord(const uint8_t* p) {
  return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 |
                   (uint32_t)p[3] << 24);
}

static std::string pathOf(const char* name) { return saves.folder + "/" + name; }

// Said once per process: the game goes on without saving to the disk.
static void reportSaveProblem(const char* reason) {
  if (saves.problemReported) return;
  saves.problemReported = true;
  std::fprintf(stderr, "puxten: progress cannot be saved: %s\n", reason);
  std::string notice = std::string("Progress cannot be saved (") + reason +
                       "). The game goes on; a retry still returns to the last checkpoint, "
                       "but progress is lost when the game ends.";
  osShowNotice(notice.c_str());
}

// Keeps the bytes as the checkpoint and writes them; false when the disk
// could not take them.
static bool saveFile(SavedFile& file, std::vector<uint8_t>&& bytes) {
  file.bytes = std::move(bytes);
  file.held = true;
  char error[ERROR_TEXT_SIZE] = "";
  bool ok = osMakeFolder(saves.folder.c_str(), error, sizeof error) &&
            osWriteFileAtomic(pathOf(file.name).c_str(), file.bytes.data(), file.bytes.size(),
                              error, sizeof error);
  file.diskBehind = !ok;
  if (!ok) reportSaveProblem(error);
  return ok;
}

// The file as the last checkpoint has it: from the disk, or from memory
// when the disk could not take the last save. At most `limit` bytes;
// false when there is none.
static bool readSaved(const SavedFile& file, size_t limit, std::vector<uint8_t>& out) {
  if (file.diskBehind) {
    out.assign(file.bytes.begin(), file.bytes.begin() + std::min(limit, file.bytes.size()));
    return true;
  }
  out.resize(limit);
  long got = osReadFile(pathOf(file.name).c_str(), out.data(), limit);
  if (got < 0) return false;
  out.resize((size_t)got);
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
  saveFile(saves.progress, std::move(bytes));
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
  saveFile(saves.snapshot, std::move(bytes));
}

// Applies the snapshot only when it is whole and its size fits the grid.
static void loadSnapshot() {
  std::vector<uint8_t> bytes;
  const size_t largest = 8 + 16 * (size_t)GRID_SIZE * GRID_SIZE;
  if (!readSaved(saves.snapshot, largest, bytes) || bytes.size() < 8) return;
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
  if (!readSaved(saves.progress, PROGRESS_FILE_BYTES, bytes)) return;
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
