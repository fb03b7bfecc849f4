// The progress file "save1.dat" and the stage snapshot "mapsave.dat".
//
// Both are 32-bit little-endian words. A file is written whole or not at
// all (osWriteFileAtomic). A damaged file is never applied in part.
//
// The last checkpoint is also kept in memory: when a file cannot be written
// (a read-only or full disk, a file where the folder should be) the player
// is told once and plays on, and a retry reads the copy in memory instead
// of the older file on the disk, which is left as it was.
//
// The two files are replaced one after the other, so a third, small file
// "checkpoint.dat" is written after them: "PUXC", then the size and CRC-32
// of the progress file and of the snapshot. A snapshot is applied only
// with the progress file that record names with it; when they do not
// match (the game was stopped between the files) the progress file alone
// is used, as if there were no snapshot. A folder without the record
// (saved by an older version) loads both files as before.
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/game.h"
#include "platform/os.h"
#include "stage/saves_format.h"
#include "stage/stage_state.h"

namespace {

// Every file that holds a run; a new one is added here, so that clearing
// a run (and moving one) stays complete.
constexpr const char* RUN_FILES[] = {"save1.dat", "mapsave.dat", "checkpoint.dat"};

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
  SavedFile progress{RUN_FILES[0], {}};
  SavedFile snapshot{RUN_FILES[1], {}};
  bool problemReported = false;
  bool recordBehind = false;  // the last record could not be written
};

SavesState saves;

constexpr size_t ERROR_TEXT_SIZE = 512;
constexpr const char* RECORD_NAME = RUN_FILES[2];
constexpr uint8_t RECORD_MAGIC[4] = {'P', 'U', 'X', 'C'};
constexpr size_t RECORD_BYTES = 20;
constexpr size_t LARGEST_SNAPSHOT = 8 + 16 * (size_t)GRID_SIZE * GRID_SIZE;

// Values read from a progress file are held to what the game writes.
constexpr int32_t LAST_HOME_STAGE = 3;
constexpr int32_t LARGEST_POSITION = GRID_SIZE * TILE_SIZE;
// Every cell of the largest stage, and the one block counted at start-up.
constexpr int32_t MOST_BLOCKS_CRUSHED = GRID_SIZE * GRID_SIZE + 1;

}  // namespace

void resetSavesState() {
  std::string folder = saves.folder;
  saves = SavesState{};
  saves.folder = folder;
}

void setSaveFolder(const char* folder) { saves.folder = folder && *folder ? folder : "save"; }
const char* saveFolderPath() { return saves.folder.c_str(); }

std::span<const char* const> savedRunFiles() { return RUN_FILES; }

bool clearSavedRun(std::string* problem) {
  for (const char* name : RUN_FILES) {
    std::string path = saves.folder + "/" + name;
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
      *problem = path + ": " + std::strerror(errno);
      return false;
    }
  }
  resetSavesState();  // nor does the copy kept in memory hold it any more
  return true;
}

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

static void putNamed(std::vector<uint8_t>& out, const std::vector<uint8_t>& file) {
  putWord(out, (int32_t)file.size());
  putWord(out, (int32_t)crc32(crc32(0, nullptr, 0), file.data(), (uInt)file.size()));
}

static std::vector<uint8_t> recordOf(const std::vector<uint8_t>& progress,
                                     const std::vector<uint8_t>& snapshot) {
  std::vector<uint8_t> out(RECORD_MAGIC, RECORD_MAGIC + 4);
  putNamed(out, progress);
  putNamed(out, snapshot);
  return out;
}

// Written last: it names the pair that now makes the checkpoint. Until
// this process has saved both files it has no pair to name.
static void saveRecord() {
  if (!saves.progress.held || !saves.snapshot.held) return;
  std::vector<uint8_t> bytes = recordOf(saves.progress.bytes, saves.snapshot.bytes);
  char error[ERROR_TEXT_SIZE] = "";
  saves.recordBehind = !osWriteFileAtomic(pathOf(RECORD_NAME).c_str(), bytes.data(), bytes.size(),
                                          error, sizeof error);
  if (saves.recordBehind) reportSaveProblem(error);
}

// The file as the last checkpoint has it: from the disk, or from memory
// when the disk could not take the last save (or `fromMemory`). At most
// `limit` bytes; false when there is none.
static bool readSaved(const SavedFile& file, size_t limit, std::vector<uint8_t>& out,
                      bool fromMemory) {
  if (file.diskBehind || fromMemory) {
    out.assign(file.bytes.begin(), file.bytes.begin() + std::min(limit, file.bytes.size()));
    return true;
  }
  out.resize(limit);
  long got = osReadFile(pathOf(file.name).c_str(), out.data(), limit);
  if (got < 0) return false;
  out.resize((size_t)got);
  return true;
}

static void writeProgress(int32_t x, int32_t y, int32_t k1, int32_t k2) {
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

void saveProgressWithKeys(int32_t x, int32_t y, int32_t k1, int32_t k2) {
  writeProgress(x, y, k1, k2);
  saveRecord();
}

static void writeProgressWithNewKeys(int32_t x, int32_t y) {
  // srand(time(NULL)) then two rand() values, each taken mod 0x7FFFFFFF.
  seedSaveRandom((uint32_t)osCalendarSeconds());
  int32_t k1 = nextSaveRandom() % 0x7FFFFFFF;
  int32_t k2 = nextSaveRandom() % 0x7FFFFFFF;
  writeProgress(x, y, k1, k2);
}

void saveProgress(int32_t x, int32_t y) {
  writeProgressWithNewKeys(x, y);
  saveRecord();
}

static int usedSize(int32_t n) { return n < 0 ? 0 : (n > GRID_SIZE ? GRID_SIZE : n); }

static void writeSnapshot() {
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

void saveStageSnapshot() {
  writeSnapshot();
  saveRecord();
}

void saveCheckpoint(int32_t x, int32_t y) {
  writeProgressWithNewKeys(x, y);
  writeSnapshot();
  saveRecord();
}

// True when the record names this progress file with this snapshot, or
// when there is no record (a folder saved before there was one).
static bool snapshotBelongs(const std::vector<uint8_t>& progress,
                            const std::vector<uint8_t>& snapshot) {
  uint8_t record[RECORD_BYTES + 1];
  long got = osReadFile(pathOf(RECORD_NAME).c_str(), record, sizeof record);
  if (got < 0) return true;
  std::vector<uint8_t> expected = recordOf(progress, snapshot);
  return (size_t)got == RECORD_BYTES && std::equal(expected.begin(), expected.end(), record);
}

// Applies the snapshot only when it is whole, its size fits the grid and
// it belongs to the progress file just read.
static void loadSnapshot(const std::vector<uint8_t>& progress, bool fromMemory) {
  std::vector<uint8_t> bytes;
  if (!readSaved(saves.snapshot, LARGEST_SNAPSHOT, bytes, fromMemory) || bytes.size() < 8) return;
  int32_t cols = getWord(&bytes[0]);
  int32_t rows = getWord(&bytes[4]);
  if (cols < 1 || cols > GRID_SIZE || rows < 1 || rows > GRID_SIZE) return;
  if (bytes.size() < 8 + 16 * (size_t)cols * rows) return;
  // Files this process has just saved pair up whatever the disk's record says.
  bool inMemory =
      fromMemory || saves.progress.diskBehind || saves.snapshot.diskBehind || saves.recordBehind;
  if (!inMemory && !snapshotBelongs(progress, bytes)) {
    std::fprintf(stderr, "puxten: %s is not used: it was saved with another %s\n",
                 pathOf(saves.snapshot.name).c_str(), saves.progress.name);
    return;
  }
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

// Why a progress file cannot be used, or null when it can.
static const char* progressFault(const int32_t w[]) {
  if (w[10] < 0 || w[10] > LAST_HOME_STAGE) return "its home stage is not 0 to 3";
  if (!stageHasMap(w[8])) return "there is no map for its stage";
  return nullptr;
}

static bool readProgress(std::vector<uint8_t>& bytes, int32_t w[], bool fromMemory) {
  if (!readSaved(saves.progress, PROGRESS_FILE_BYTES, bytes, fromMemory)) return false;
  if (bytes.size() < (size_t)PROGRESS_FILE_BYTES) return false;
  for (int i = 0; i < 11; i++) w[i] = getWord(&bytes[4 * (size_t)i]);
  return true;
}

void loadSaves(float* outX, float* outY) {
  std::vector<uint8_t> bytes;
  int32_t w[11];
  // A missing or short progress file changes nothing, and the snapshot
  // is then not read either.
  if (!readProgress(bytes, w, false)) return;
  bool fromMemory = false;
  if (const char* fault = progressFault(w)) {
    // A refused file is replaced by the next save. A process that saved
    // a checkpoint of its own goes back to it; otherwise the run starts
    // afresh on home stage 0.
    std::string file = pathOf(saves.progress.name);
    fromMemory = saves.progress.held && readProgress(bytes, w, true) && !progressFault(w);
    std::fprintf(stderr, "puxten: %s is not used (%s): %s\n", file.c_str(), fault,
                 fromMemory ? "the run goes back to the checkpoint kept in memory"
                            : "the run starts afresh on home stage 0");
    if (!fromMemory) {
      stage.homeStage = 0;
      stage.currentStage = 0;
      stage.barrelBombFound = 0;
      stage.rollingBombFound = 0;
      return;
    }
  }
  int32_t k1 = w[2];
  stage.barrelBombFound = w[6] != 0;
  stage.rollingBombFound = w[7] != 0;
  stage.currentStage = w[8];
  stage.blocksCrushed = holdBetween(w[9], 0, MOST_BLOCKS_CRUSHED);
  stage.homeStage = w[10];
  // Words 3 and 4 repeat the position under the second key; unused.
  if (outX) *outX = (float)holdBetween(w[0] ^ k1, 0, LARGEST_POSITION);
  if (outY) *outY = (float)holdBetween(w[1] ^ k1, 0, LARGEST_POSITION);
  loadSnapshot(bytes, fromMemory);
}
