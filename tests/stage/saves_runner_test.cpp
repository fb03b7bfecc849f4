// Saves seen through the runner: a save folder that cannot be written.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// run.keys loses once in stage 10 and retries by picture 440.
constexpr const char* RUN_TO_RETRY =
    "--frames 520 --input " PUXTEN_SOURCE_DIR "/data/replays/run.keys";

std::string runTrace(const std::string& saveDir, const std::string& dir, std::string* said) {
  std::string trace = dir + "/t.jsonl";
  std::string command = std::string(PUXTEN_REPLAY) + " --data '" PUXTEN_DATA_DIR "' " +
                        RUN_TO_RETRY + " --save " + saveDir + " --trace " + trace;
  EXPECT_EQ(runCapture(command, said), 0) << *said;
  std::string text = readFile(trace);
  EXPECT_NE(text.find("\"scene\":6"), std::string::npos) << "never lost";
  return text;
}

// With a file where the save folder should be, the game plays on and the
// retry returns to the checkpoint exactly as with a working folder.
TEST(SavesThroughTheRunner, AnUnwritableFolderKeepsTheCheckpointAndSaysSoOnce) {
  std::string dir = makeTempDir();
  std::string said;
  std::string good = runTrace(dir + "/save", dir, &said);
  EXPECT_EQ(said, "");
  std::string blocked = dir + "/blocked";
  writeFile(blocked, "x");
  std::string bad = runTrace(blocked, dir, &said);
  EXPECT_TRUE(bad == good) << "the run differs when saves cannot be written";
  EXPECT_EQ(readFile(blocked), "x");
  EXPECT_EQ(said, "puxten: progress cannot be saved: " + blocked + ": Not a directory\n");
}

}  // namespace
