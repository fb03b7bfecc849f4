// Every recorded replay, each run once: every picture compared by SHA-256
// with the hashes checked in under tests/replays/hashes (rewritten only on
// purpose by tests/replays/regenerate_hashes.sh), every stage solution ends
// on the result screen, and the runs from the title go where they should.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

const std::string REPLAY_DIR = std::string(PUXTEN_SOURCE_DIR) + "/data/replays/";
const std::string HASH_DIR = std::string(PUXTEN_SOURCE_DIR) + "/tests/replays/hashes/";
const std::string STAGE_DIR = std::string(PUXTEN_SOURCE_DIR) + "/data/stages/";

// The names of the files in dir that end in ext, without it, sorted.
std::vector<std::string> namesIn(const std::string& dir, const std::string& ext) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec))
    if (e.path().extension() == ext) names.push_back(e.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool isStage(const std::string& name) { return name.rfind("stage", 0) == 0; }

// The parameterized test below runs whatever the scan finds; this one fails
// when a stage has no solution to run.
TEST(RecordedReplays, EveryStageSourceHasItsSolution) {
  std::vector<std::string> replays = namesIn(REPLAY_DIR, ".keys");
  int stages = 0;
  for (const std::string& name : namesIn(STAGE_DIR, ".stage")) {
    if (!isStage(name)) continue;  // the home stages are played by the runs from the title
    stages++;
    EXPECT_TRUE(std::binary_search(replays.begin(), replays.end(), name))
        << name << ".stage has no " << REPLAY_DIR << name << ".keys";
  }
  EXPECT_GE(stages, 20);
  for (const char* title : {"run", "tour", "campaign"})
    EXPECT_TRUE(std::binary_search(replays.begin(), replays.end(), title)) << title;
}

// The run from the title enters a stage, loses once, retries, clears it and
// comes home; the tour enters every shipped stage; the campaign reaches the
// ending and returns to the title.
void checkRunFromTheTitle(const std::string& name, const std::string& state,
                          const std::string& trace) {
  if (name == "run") {
    size_t play = trace.find("\"scene\":4");
    size_t miss = trace.find("\"scene\":6", play);
    EXPECT_NE(play, std::string::npos);
    EXPECT_NE(miss, std::string::npos) << "never lost";
    EXPECT_NE(trace.find("\"scene\":10", miss), std::string::npos)
        << "never reached the result screen after the miss";
    EXPECT_NE(trace.find("\"currentStage\":10"), std::string::npos);
    EXPECT_EQ(jsonInt(state, "scene"), 4);
    EXPECT_EQ(jsonInt(state, "currentStage"), 0);
    EXPECT_EQ(jsonInt(state, "missCount"), 0);  // counted on the result screen, then reset
    // The stage darkens behind the miss screen; the result panel comes to
    // rest at the top and its miss digits count the one loss.
    EXPECT_NE(trace.find("\"miss\":{\"darkness\":87"), std::string::npos);
    EXPECT_NE(trace.find("\"panelY\":0,"), std::string::npos);
    EXPECT_NE(trace.find("\"missDigits\":[0,0,1]"), std::string::npos);
  } else if (name == "tour") {
    std::set<int> entered;
    for (const std::string& line : splitLines(trace))
      if (jsonInt(line, "scene") == 4) entered.insert((int)jsonInt(line, "currentStage"));
    for (int n = 10; n < 50; n++) {
      std::string map = std::string(PUXTEN_DATA_DIR) + "/map/map" + std::to_string(n) + ".map";
      if (!readFile(map).empty()) {
        EXPECT_TRUE(entered.count(n)) << "never enters stage " << n;
      }
    }
  } else if (name == "campaign") {
    // The ending's picture scrolls one step a picture until it stands at
    // 4315, the floor having risen 320 px off the screen meanwhile.
    long scroll = 0, rise = 0;
    for (const std::string& line : splitLines(trace)) {
      if (line.find("\"ending\":") == std::string::npos) continue;
      long next = jsonInt(line, "scroll");
      ASSERT_EQ(next, std::min(scroll + 1, 4315L)) << line.substr(0, 20);
      scroll = next;
      rise = jsonInt(line, "rise");
    }
    EXPECT_EQ(scroll, 4315);
    EXPECT_EQ(rise, -320);
    EXPECT_EQ(jsonInt(state, "scene"), 1);
    EXPECT_EQ(jsonInt(state, "homeStage"), 3);
    EXPECT_EQ(jsonInt(state, "currentStage"), 3);
  }
}

class RecordedReplay : public testing::TestWithParam<std::string> {};

TEST_P(RecordedReplay, MatchesItsPictureHashesAndEndsWhereItShould) {
  const std::string name = GetParam();
  std::vector<std::string> expected = splitLines(readFile(HASH_DIR + name + ".sha256"));
  ASSERT_FALSE(expected.empty()) << "no hashes in " << HASH_DIR << name
                                 << ".sha256: run tests/replays/regenerate_hashes.sh";
  // stageNN starts at that stage's door; every other replay from the title.
  std::string dir = makeTempDir();
  std::string args = " --input " + REPLAY_DIR + name + ".keys --picture-hashes " + dir +
                     "/h.sha256 --state " + dir + "/s.json";
  args =
      isStage(name) ? " --stage " + name.substr(5) + args : args + " --trace " + dir + "/t.jsonl";
  ASSERT_EQ(runReplay(args), 0);
  std::vector<std::string> actual = splitLines(readFile(dir + "/h.sha256"));
  auto diff = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
  if (diff.first != expected.end() || diff.second != actual.end()) {
    size_t picture = diff.first - expected.begin() + 1;
    ADD_FAILURE() << name << ": picture " << picture << " of " << expected.size()
                  << " differs (now " << actual.size() << " pictures)\n  expected "
                  << (diff.first != expected.end() ? *diff.first : "no picture") << "\n  actual   "
                  << (diff.second != actual.end() ? *diff.second : "no picture");
  }
  std::string state = readFile(dir + "/s.json");
  if (isStage(name))
    EXPECT_EQ(jsonInt(state, "scene"), 10) << "does not end on the result screen";
  else
    checkRunFromTheTitle(name, state, readFile(dir + "/t.jsonl"));
}

// An empty scan leaves this uninstantiated, which gtest reports as a failure.
INSTANTIATE_TEST_SUITE_P(Replays, RecordedReplay, testing::ValuesIn(namesIn(REPLAY_DIR, ".keys")),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
