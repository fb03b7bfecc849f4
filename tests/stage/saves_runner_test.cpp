// Saves seen through the runner: a save folder that cannot be written.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

// run.keys loses once in stage 10 and retries by picture 440.
const std::string RUN_TO_RETRY =
    std::string("--frames 520 --input ") + PUXTEN_SOURCE_DIR + "/data/replays/run.keys";

std::string runTrace(const std::string& saveDir, const std::string& dir, std::string* said) {
  std::string trace = dir + "/t.jsonl";
  std::string command = std::string(PUXTEN_REPLAY) + " --data '" + PUXTEN_DATA_DIR + "' " +
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

// A progress file naming a home stage or a stage the game cannot start on:
// a new run from the title starts afresh on home stage 0, one line says
// why, and the run's first save replaces the file.
struct ProgressCase {
  const char* name;
  int32_t homeStage, stage;
  const char* reason;  // null: the file is used
};

class ProgressFiles : public testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressFiles, ANewRunStartsWhereAUsableFileSays) {
  const ProgressCase& c = GetParam();
  std::string dir = makeTempDir();
  int32_t words[11] = {5, 5, 0, 0, 0, 0, 0, 0, c.stage, 0, c.homeStage};
  std::filesystem::create_directory(dir + "/save");
  writeFile(dir + "/save/save1.dat", std::string((const char*)words, sizeof words));
  writeFile(dir + "/k.keys", "40 -\n3 Enter\n150 -\n");
  std::string said;
  std::string command = std::string(PUXTEN_REPLAY) + " --data '" + PUXTEN_DATA_DIR + "' --save " +
                        dir + "/save --input " + dir + "/k.keys --frames 200 --state " + dir +
                        "/s.json";
  ASSERT_EQ(runCapture(command, &said), 0) << said;
  std::string state = readFile(dir + "/s.json");
  int32_t home = c.reason ? 0 : c.homeStage;
  EXPECT_EQ(jsonInt(state, "scene"), 4);  // playing
  EXPECT_EQ(jsonInt(state, "homeStage"), home);
  EXPECT_EQ(jsonInt(state, "currentStage"), home);
  EXPECT_EQ(said, c.reason ? "puxten: " + dir + "/save/save1.dat is not used (" + c.reason +
                                 "): the run starts afresh on home stage 0\n"
                           : "");
  std::string saved = readFile(dir + "/save/save1.dat");
  ASSERT_EQ(saved.size(), 44u);
  EXPECT_EQ((int32_t)saved[40], home);
}

INSTANTIATE_TEST_SUITE_P(
    SavesThroughTheRunner, ProgressFiles,
    testing::Values(ProgressCase{"HomeStageFarOff", INT32_MIN, INT32_MAX,
                                 "its home stage is not 0 to 3"},
                    ProgressCase{"HomeStageFour", 4, 0, "its home stage is not 0 to 3"},
                    ProgressCase{"StageWithoutMap", 1, INT32_MAX, "there is no map for its stage"},
                    ProgressCase{"HomeStageThree", 3, 3, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });
