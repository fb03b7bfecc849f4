// Helpers for the stage tests: a scratch folder that is the working
// directory for the test's lifetime, and the stage tests' fixture.
#pragma once
#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/app_state.h"
#include "platform/headless/headless.h"
#include "stage/stage_state.h"
#include "test_support.h"

// Namespaced so that these helpers never merge with other tests' helpers
// of the same name at link time.
namespace stage_test {

// A fresh folder that is the working directory while the object lives.
class ScratchFolder {
 public:
  ScratchFolder() : folder_("puxten-stage") {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) throw std::runtime_error("no working directory");
    previous_ = cwd;
    if (chdir(folder_.path().c_str()) != 0) throw std::runtime_error("cannot enter " + path());
  }
  ~ScratchFolder() {
    if (chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous_;
  }
  const std::string& path() const { return folder_.path(); }

 private:
  TempFolder folder_;  // removed after the working directory has left it
  std::string previous_;
};

// A cell's kind and link, to compare in one expectation.
inline std::tuple<int, int, int> kindAndLink(const MapCell& m) {
  return {m.kind, m.linkRow, m.linkCol};
}

// Writes ./map/map<n>.map in the working directory.
inline void writeMap(int n, const std::string& text) {
  writeFile("map/map" + std::to_string(n) + ".map", text);
}

// Every test starts from the program's start state.
class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGame();
    headlessReset();
  }
  void TearDown() override {
    resetStageState();
    setSaveFolder("save");
  }
  ScratchFolder scratch;
};

}  // namespace stage_test
using namespace stage_test;
