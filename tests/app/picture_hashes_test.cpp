// Every picture of every recorded replay, compared by SHA-256 with the
// hashes checked in under tests/replays/hashes (rewritten only on purpose by
// tests/replays/regenerate_hashes.sh): speed-ups and reorganisations must
// not change a single pixel.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

const std::string REPLAY_DIR = std::string(PUXTEN_SOURCE_DIR) + "/data/replays/";
const std::string HASH_DIR = std::string(PUXTEN_SOURCE_DIR) + "/tests/replays/hashes/";

std::vector<std::string> allReplays() {
  std::vector<std::string> names;
  if (DIR* d = opendir(REPLAY_DIR.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() > 5 && n.substr(n.size() - 5) == ".keys")
        names.push_back(n.substr(0, n.size() - 5));
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(PictureHashes, ThereAreReplaysToCheck) { EXPECT_FALSE(allReplays().empty()); }

class PictureHashes : public testing::TestWithParam<std::string> {};

TEST_P(PictureHashes, EveryPictureMatchesItsCheckedInHash) {
  const std::string name = GetParam();
  std::vector<std::string> expected = lines(readFile(HASH_DIR + name + ".sha256"));
  ASSERT_FALSE(expected.empty()) << "no hashes in " << HASH_DIR << name
                                 << ".sha256: run tests/replays/regenerate_hashes.sh";
  // stageNN starts at that stage's door; every other replay from the title.
  std::string stage;
  if (name.rfind("stage", 0) == 0) stage = " --stage " + name.substr(5);
  std::string dir = makeTempDir();
  ASSERT_EQ(runReplay(stage + " --input " + REPLAY_DIR + name + ".keys --picture-hashes " + dir +
                      "/h.sha256"),
            0);
  std::vector<std::string> actual = lines(readFile(dir + "/h.sha256"));
  auto diff = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
  if (diff.first != expected.end() || diff.second != actual.end()) {
    size_t picture = diff.first - expected.begin() + 1;
    ADD_FAILURE() << name << ": picture " << picture << " of " << expected.size()
                  << " differs (now " << actual.size() << " pictures)\n  expected "
                  << (diff.first != expected.end() ? *diff.first : "no picture") << "\n  actual   "
                  << (diff.second != actual.end() ? *diff.second : "no picture");
  }
}

INSTANTIATE_TEST_SUITE_P(Replays, PictureHashes, testing::ValuesIn(allReplays()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
