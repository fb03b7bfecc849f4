// The progress file and the stage snapshot: exact bytes, round trips and
// damaged files.
#include <zlib.h>

#include <cstring>

#include "platform/os.h"
#include "stage/saves_format.h"
#include "stage_test_support.h"

class Saves : public StageTest {
 public:
  void SetUp() override {
    StageTest::SetUp();
    folder = scratch.path() + "/save";
    setSaveFolder(folder.c_str());
    // A progress file is used only for a stage that has a map.
    for (int n : {0, 2, 10, 12}) writeMap(n, "1 1\n");
  }
  std::string progressPath() { return folder + "/save1.dat"; }
  std::string snapshotPath() { return folder + "/mapsave.dat"; }
  std::string recordPath() { return folder + "/checkpoint.dat"; }
  // The files hold little-endian words, as the machines the tests run on.
  static std::vector<int32_t> words(const std::string& bytes) {
    std::vector<int32_t> w(bytes.size() / 4);
    std::memcpy(w.data(), bytes.data(), w.size() * 4);
    return w;
  }
  static std::string bytesOf(const std::vector<int32_t>& w) {
    return std::string((const char*)w.data(), w.size() * 4);
  }
  void fillStage40x12() {
    stage.stageCols = 40;
    stage.stageRows = 12;
    for (int r = 0; r < 12; r++)
      for (int c = 0; c < 40; c++)
        stage.grid[r][c] =
            MapCell{(int8_t)((r * 40 + c) % 33), r * 1000 + c, -c, (int8_t)(c % 4), 0, 0};
  }
  std::string folder;
};

TEST_F(Saves, ProgressBytesWithKnownKeys) {
  stage.barrelBombFound = 1;
  stage.rollingBombFound = 0;
  stage.currentStage = 12;
  stage.blocksCrushed = 33;
  stage.homeStage = 2;
  saveProgressWithKeys(120, 300, 5, 9);
  std::string bytes = readFile(progressPath());
  ASSERT_EQ(bytes.size(), 44u);
  EXPECT_EQ(words(bytes), (std::vector<int32_t>{125, 297, 5, 116, 288, 9, 1, 0, 12, 33, 2}));
  // Little-endian on disk whatever the machine.
  EXPECT_EQ((uint8_t)bytes[0], 125);
  EXPECT_EQ((uint8_t)bytes[4], 297 & 0xFF);
  EXPECT_EQ((uint8_t)bytes[5], 297 >> 8);

  stage.barrelBombFound = 0;
  stage.currentStage = 0;
  float x = 0, y = 0;
  loadSaves(&x, &y);
  EXPECT_EQ(x, 120.0f);
  EXPECT_EQ(y, 300.0f);
  EXPECT_EQ(stage.barrelBombFound, 1);
  EXPECT_EQ(stage.currentStage, 12);
  EXPECT_EQ(stage.blocksCrushed, 33);
  EXPECT_EQ(stage.homeStage, 2);
}

TEST_F(Saves, KeysComeFromTheGeneratorSeededWithTheCalendar) {
  // C's rand(): the state steps by 214013 and 2531011 and gives bits 16..30.
  seedSaveRandom(1);
  EXPECT_EQ(nextSaveRandom(), 41);
  EXPECT_EQ(nextSaveRandom(), 18467);
  EXPECT_EQ(nextSaveRandom(), 6334);

  headless.nowMs = 5000;
  uint32_t seed = (uint32_t)osCalendarSeconds();
  seedSaveRandom(seed);
  int32_t k1 = nextSaveRandom(), k2 = nextSaveRandom();
  saveProgress(120, 300);
  std::vector<int32_t> w = words(readFile(progressPath()));
  ASSERT_EQ(w.size(), 11u);
  EXPECT_EQ(w[2], k1);
  EXPECT_EQ(w[5], k2);
}

TEST_F(Saves, SavesWithoutAPositionRepeatTheLastCheckpoint) {
  saveProgressWithKeys(200, 150, 1, 2);
  EXPECT_EQ(stage.lastSavedX, 200);
  EXPECT_EQ(stage.lastSavedY, 150);
  saveProgressWithKeys(-1, -1, 7, 11);
  std::vector<int32_t> first = words(readFile(progressPath()));
  saveProgressWithKeys(-1, -1, 300, 4000);
  std::vector<int32_t> second = words(readFile(progressPath()));
  EXPECT_EQ(first[0] ^ first[2], 200);
  EXPECT_EQ(second[0] ^ second[2], 200);
  EXPECT_EQ(second[1] ^ second[2], 150);
  EXPECT_NE(first[0], second[0]);
  // A position on the left or top edge is written but not remembered.
  saveProgressWithKeys(0, 250, 3, 3);
  std::vector<int32_t> edge = words(readFile(progressPath()));
  EXPECT_EQ(edge[0] ^ edge[2], 0);
  EXPECT_EQ(edge[1] ^ edge[2], 250);
  EXPECT_EQ(stage.lastSavedX, 200);
  EXPECT_EQ(stage.lastSavedY, 150);
}

TEST_F(Saves, SnapshotOfA40By12StageRoundTrips) {
  fillStage40x12();
  saveStageSnapshot();
  std::string bytes = readFile(snapshotPath());
  ASSERT_EQ(bytes.size(), 7688u);
  std::vector<int32_t> w = words(bytes);
  EXPECT_EQ(w[0], 40);
  EXPECT_EQ(w[1], 12);
  // Records run along the rows: state, linkRow, kind, linkCol.
  size_t i = 2 + 4 * (1 * 40 + 3);
  EXPECT_EQ(w[i + 0], 3 % 4);
  EXPECT_EQ(w[i + 1], 1003);
  EXPECT_EQ(w[i + 2], 43 % 33);
  EXPECT_EQ(w[i + 3], -3);

  // Loaded back and saved again, the stage gives the same bytes.
  saveProgressWithKeys(10, 20, 0, 0);
  clearStageGrid();
  stage.stageCols = stage.stageRows = 3;
  loadSaves(nullptr, nullptr);
  saveStageSnapshot();
  EXPECT_EQ(readFile(snapshotPath()), bytes);
}

TEST_F(Saves, SnapshotKeepsOnlyTheLowByteOfKindAndState) {
  std::vector<int32_t> w = {2, 1, 0x101, 5, 356, 6, -1, 7, 0x7F, 8};
  saveProgressWithKeys(1, 1, 0, 0);
  writeFile(snapshotPath(), bytesOf(w));
  loadSaves(nullptr, nullptr);
  EXPECT_EQ(stage.grid[0][0].state, 1);
  EXPECT_EQ(stage.grid[0][0].kind, 100);
  EXPECT_EQ(stage.grid[0][1].state, -1);
  EXPECT_EQ(stage.grid[0][1].kind, 127);
  EXPECT_EQ(stage.grid[0][1].linkCol, 8);
}

// Without a whole progress file (size -1: none) the snapshot is not read either.
TEST_F(Saves, MissingOrShortProgressFileIsIgnoredWithItsSnapshot) {
  fillStage40x12();
  saveStageSnapshot();
  stage.grid[0][0].kind = WALL;
  stage.homeStage = 1;
  for (int size : {-1, 0, 4, 24, 43}) {
    if (size >= 0) writeFile(progressPath(), std::string(size, '\x05'));
    float x = -3, y = -4;
    loadSaves(&x, &y);
    EXPECT_EQ(x, -3) << size;
    EXPECT_EQ(y, -4) << size;
    EXPECT_EQ(stage.homeStage, 1) << size;
    EXPECT_EQ(stage.grid[0][0].kind, WALL) << size;
  }
  // A longer file is read for its first 44 bytes.
  writeFile(progressPath(), bytesOf({120 ^ 5, 300 ^ 5, 5, 0, 0, 9, 1, 1, 10, 3, 0, 77, 77}));
  float x = 0, y = 0;
  loadSaves(&x, &y);
  EXPECT_EQ(x, 120);
  EXPECT_EQ(y, 300);
  EXPECT_EQ(stage.homeStage, 0);
  EXPECT_EQ(stage.stageCols, 40);
}

TEST_F(Saves, DamagedSnapshotsAreNotApplied) {
  saveProgressWithKeys(50, 60, 1, 2);
  stage.stageCols = 10;
  stage.stageRows = 8;
  stage.grid[0][0].kind = WALL;
  std::string cells(16 * 300 * 2, '\x01');
  std::vector<std::string> damaged = {
      "",
      bytesOf({5}),
      bytesOf({0, 5}) + cells,
      bytesOf({300, 2}) + cells,
      bytesOf({2, 300}) + cells,
      bytesOf({-1, 1}) + cells,
      bytesOf({INT32_MAX, INT32_MAX}) + cells,
      bytesOf({40, 12}) + std::string(16 * 480 - 1, '\x01'),  // one byte short
  };
  for (const std::string& file : damaged) {
    writeFile(snapshotPath(), file);
    float x = 0, y = 0;
    loadSaves(&x, &y);
    EXPECT_EQ(x, 50);  // the progress part still counts
    EXPECT_EQ(stage.stageCols, 10) << file.size();
    EXPECT_EQ(stage.stageRows, 8) << file.size();
    EXPECT_EQ(stage.grid[0][0].kind, WALL) << file.size();
  }
}

TEST_F(Saves, FilesAreReplacedWholeAndNoTemporaryIsLeft) {
  ASSERT_FALSE(fileExists(folder));
  fillStage40x12();
  saveStageSnapshot();  // the folder is made when missing
  saveProgressWithKeys(1, 2, 3, 4);
  EXPECT_TRUE(fileExists(snapshotPath()));
  stage.stageCols = 2;
  stage.stageRows = 1;
  saveStageSnapshot();
  EXPECT_EQ(readFile(snapshotPath()).size(), 8u + 32u);
  std::vector<std::string> names;
  for (auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"checkpoint.dat", "mapsave.dat", "save1.dat"}));
}

TEST_F(Saves, NestedAndDefaultFoldersAreMade) {
  std::string nested = scratch.path() + "/a/b/c";
  setSaveFolder(nested.c_str());
  saveProgressWithKeys(1, 2, 3, 4);
  EXPECT_EQ(readFile(nested + "/save1.dat").size(), 44u);
  setSaveFolder(nullptr);  // the default: save/ in the working directory
  saveProgressWithKeys(1, 2, 3, 4);
  EXPECT_EQ(readFile(scratch.path() + "/save/save1.dat").size(), 44u);
}

// A file standing where the folder should be: nothing on the disk changes,
// the player is told once, and the checkpoint lives on in memory.
TEST_F(Saves, UnwritablePlaceKeepsTheCheckpointInMemoryAndSaysSoOnce) {
  std::string blocked = scratch.path() + "/blocked";
  writeFile(blocked, "x");
  setSaveFolder((blocked + "/save").c_str());
  fillStage40x12();
  stage.homeStage = 2;
  testing::internal::CaptureStderr();
  saveProgressWithKeys(75, 125, 3, 4);
  saveStageSnapshot();
  saveProgressWithKeys(-1, -1, 8, 9);
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(readFile(blocked), "x");
  EXPECT_NE(said.find(blocked + "/save: Not a directory"), std::string::npos) << said;
  EXPECT_EQ(said.find("saved"), said.rfind("saved")) << "said more than once: " << said;
  ASSERT_EQ(headless.notices.size(), 1u);
  EXPECT_NE(headless.notices[0].find(blocked), std::string::npos);

  clearStageGrid();
  stage.homeStage = 0;
  float x = 0, y = 0;
  loadSaves(&x, &y);
  EXPECT_EQ(x, 75);
  EXPECT_EQ(y, 125);
  EXPECT_EQ(stage.homeStage, 2);
  EXPECT_EQ(stage.stageCols, 40);
  EXPECT_EQ(stage.grid[1][3].linkRow, 1003);
}

// A link planted at a temporary name, or a leftover file there, is removed
// and never written through.
TEST_F(Saves, ALinkAtTheTemporaryNameIsNeverFollowed) {
  std::string victim = scratch.path() + "/victim";
  writeFile(victim, "keep");
  std::filesystem::create_directories(folder);
  std::filesystem::create_symlink(victim, progressPath() + ".tmp");
  writeFile(snapshotPath() + ".tmp", "leftover");
  saveProgressWithKeys(120, 300, 5, 9);
  fillStage40x12();
  saveStageSnapshot();
  EXPECT_EQ(readFile(victim), "keep");
  EXPECT_EQ(words(readFile(progressPath()))[0], 120 ^ 5);
  EXPECT_EQ(readFile(snapshotPath()).size(), 7688u);
  EXPECT_FALSE(fileExists(progressPath() + ".tmp"));
  EXPECT_FALSE(fileExists(snapshotPath() + ".tmp"));
}

TEST_F(Saves, AnOldFileSurvivesAFailedWrite) {
  saveProgressWithKeys(120, 300, 5, 9);
  std::string before = readFile(progressPath());
  // A folder squatting on the temporary name makes the write fail.
  std::filesystem::create_directory(progressPath() + ".tmp");
  saveProgressWithKeys(1, 1, 1, 1);
  EXPECT_EQ(readFile(progressPath()), before);
}

// Written after both files: "PUXC", then the size and CRC-32 of each.
TEST_F(Saves, TheRecordWrittenLastNamesBothFiles) {
  fillStage40x12();
  saveCheckpoint(100, 200);
  std::string p = readFile(progressPath()), m = readFile(snapshotPath());
  ASSERT_EQ(p.size(), 44u);
  ASSERT_EQ(m.size(), 7688u);
  auto crc = [](const std::string& b) {
    return (int32_t)crc32(0, reinterpret_cast<const Bytef*>(b.data()), (uInt)b.size());
  };
  EXPECT_EQ(readFile(recordPath()), "PUXC" + bytesOf({44, crc(p), 7688, crc(m)}));
}

// After a whole checkpoint, the folder is changed as a stop between files
// (or an older version) leaves it; a later process loads it.
struct PairCase {
  const char* name;
  const char* file;      // replaced, relative to the save folder
  std::string bytes;     // its new contents; empty: the file is removed
  bool snapshotApplied;  // else the progress file is used alone, with one line said
};

class SavedPairs : public Saves, public testing::WithParamInterface<PairCase> {};

TEST_P(SavedPairs, ASnapshotIsAppliedOnlyWithTheProgressFileItWasSavedWith) {
  fillStage40x12();
  saveCheckpoint(100, 200);
  const PairCase& c = GetParam();
  std::string path = folder + "/" + c.file;
  if (c.bytes.empty())
    std::filesystem::remove(path);
  else
    writeFile(path, c.bytes);
  resetSavesState();
  clearStageGrid();
  stage.stageCols = 3;
  testing::internal::CaptureStderr();
  float x = 0, y = 0;
  loadSaves(&x, &y);
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(stage.stageCols, c.snapshotApplied ? 40 : 3);
  EXPECT_EQ(x, c.file == std::string("save1.dat") ? 7 : 100);  // the progress file counts
  EXPECT_EQ(said, c.snapshotApplied ? ""
                                    : "puxten: " + snapshotPath() +
                                          " is not used: it was saved with another "
                                          "save1.dat\n");
}

INSTANTIATE_TEST_SUITE_P(
    Saves, SavedPairs,
    testing::Values(PairCase{"NoRecord", "checkpoint.dat", "", true},
                    PairCase{"NewerProgress", "save1.dat",
                             Saves::bytesOf({7, 8, 0, 0, 0, 0, 0, 0, 10, 0, 0}), false},
                    PairCase{"NewerSnapshot", "mapsave.dat", Saves::bytesOf({1, 1, 0, 0, 0, 0}),
                             false},
                    PairCase{"ShortRecord", "checkpoint.dat", "PUXC", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Positions and the crushed count as far as a stage can take them are kept
// exactly; beyond that they are held.
struct HeldSaveCase {
  const char* name;
  int32_t x, y, crushed;
  int32_t keptX, keptY, keptCrushed;
};

class HeldProgress : public Saves, public testing::WithParamInterface<HeldSaveCase> {};

TEST_P(HeldProgress, ValuesAreHeldToWhatAStageCanHold) {
  const HeldSaveCase& c = GetParam();
  writeFile(progressPath(), bytesOf({c.x, c.y, 0, 0, 0, 0, 5, 1, 10, c.crushed, 0}));
  float x = -1, y = -1;
  loadSaves(&x, &y);
  EXPECT_EQ(x, (float)c.keptX);
  EXPECT_EQ(y, (float)c.keptY);
  EXPECT_EQ(stage.blocksCrushed, c.keptCrushed);
  EXPECT_EQ(stage.barrelBombFound, 1);
  EXPECT_EQ(stage.currentStage, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Saves, HeldProgress,
    testing::Values(HeldSaveCase{"LargestKept", 0, 6400, 65537, 0, 6400, 65537},
                    HeldSaveCase{"SmallKept", 6375, 1, 0, 6375, 1, 0},
                    HeldSaveCase{"FarOff", INT32_MIN, INT32_MAX, -5, 0, 6400, 0},
                    HeldSaveCase{"JustOutside", 6401, -1, INT32_MAX, 6400, 0, 65537}),
    [](const auto& info) { return std::string(info.param.name); });

// A progress file replaced behind a running game by one it cannot use: the
// retry goes back to the checkpoint this process saved.
TEST_F(Saves, ARefusedFileGivesWayToTheCheckpointInMemory) {
  fillStage40x12();
  stage.currentStage = 12;
  stage.homeStage = 2;
  saveCheckpoint(100, 200);
  writeFile(progressPath(), bytesOf({0, 0, 0, 0, 0, 0, 0, 0, 99, 0, 1}));
  clearStageGrid();
  stage.currentStage = 0;
  testing::internal::CaptureStderr();
  float x = 0, y = 0;
  loadSaves(&x, &y);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "puxten: " + progressPath() +
                " is not used (there is no map for its stage): the run goes back to the "
                "checkpoint kept in memory\n");
  EXPECT_EQ(x, 100);
  EXPECT_EQ(stage.currentStage, 12);
  EXPECT_EQ(stage.homeStage, 2);
  EXPECT_EQ(stage.stageCols, 40);
}
