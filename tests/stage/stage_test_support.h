// Helpers for the stage tests: a scratch folder that is the working
// directory for the test's lifetime, and small file helpers.
#pragma once
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/headless/headless.h"
#include "stage/stage_state.h"
#include "temp_folder.h"

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

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool fileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
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
