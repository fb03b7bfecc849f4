// Saves stopped by SIGKILL at every write, fsync and rename: what the game
// loads afterwards is always a checkpoint it saved, whole, or its progress
// file alone; never a progress file with another checkpoint's snapshot.
#include <csignal>
#include <set>

#include "stage_test_support.h"
#include "test_support.h"

namespace {

constexpr int STEPS = 4;

std::string stepsCommand(const std::string& folder, int steps) {
  return std::string(PUXTEN_SAVE_STEPS) + " " + folder + " " + std::to_string(steps);
}

class SaveKills : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    for (int n : {0, 1, 10}) writeMap(n, "1 1\n");
  }
  // What a later process loads from the folder, as text.
  std::string loaded(const std::string& folder) {
    resetStageState();
    setSaveFolder(folder.c_str());
    stage.stageCols = stage.stageRows = 1;
    float x = -1, y = -1;
    testing::internal::CaptureStderr();
    loadSaves(&x, &y);
    testing::internal::GetCapturedStderr();
    std::string s = std::to_string(x) + "," + std::to_string(y) + "," +
                    std::to_string(stage.homeStage) + "," + std::to_string(stage.currentStage) +
                    "," + std::to_string(stage.stageCols) + "x" + std::to_string(stage.stageRows);
    for (int r = 0; r < stage.stageRows; r++)
      for (int c = 0; c < stage.stageCols; c++)
        s += " " + std::to_string(stage.grid[r][c].kind) + ":" +
             std::to_string(stage.grid[r][c].state);
    return s;
  }
  std::string fresh(const std::string& name) {
    std::string folder = scratch.path() + "/" + name;
    std::filesystem::remove_all(folder);
    return folder;
  }
};

TEST_F(SaveKills, AKilledSaveLeavesAWholeCheckpoint) {
  if (std::system("strace -o /dev/null true >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "strace is missing or cannot trace here (ptrace refused)";
  // Each checkpoint of the series, and each one's progress file alone.
  std::set<std::string> whole;
  for (int k = 0; k <= STEPS; k++) {
    std::string folder = fresh("reference");
    ASSERT_EQ(std::system(stepsCommand(folder, k).c_str()), 0);
    whole.insert(loaded(folder));
    std::filesystem::remove(folder + "/mapsave.dat");
    whole.insert(loaded(folder));
  }
  for (const char* call : {"write", "fsync", "rename"}) {
    int kills = 0;
    for (int n = 1; n < 500; n++) {
      std::string folder = fresh("killed");
      // A leak check at exit would trace the program itself, which strace
      // already does.
      std::string command =
          "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" strace -o /dev/null "
          "-e inject=" +
          std::string(call) + ":signal=KILL:when=" + std::to_string(n) + " " +
          stepsCommand(folder, STEPS) + " 2>&1";
      std::string said;
      int status = runCapture(command, &said);
      if (status == 0) break;
      ASSERT_EQ(status, 128 + SIGKILL) << said;
      kills++;
      ASSERT_EQ(whole.count(loaded(folder)), 1u) << "killed at " << call << " " << n;
    }
    EXPECT_GE(kills, 10) << call << " was never stopped";
  }
}

}  // namespace
