// Hand-made maps with hostile values, played by the runner from start to
// end. Under the sanitizer build (./test --sanitize) any overflow or bad
// conversion ends the runner with a report, so these also prove there is
// none.
#include <gtest/gtest.h>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;

// A data folder sharing the build's pictures, sounds and maps, with map n
// replaced by `text` (or, when text is null, without map n).
std::string dataWithMap(int n, const char* text) {
  std::string dir = makeTempDir("puxten-map");
  fs::path built(PUXTEN_DATA_DIR);
  for (const char* sub : {"image", "SE", "bgm"})
    fs::create_directory_symlink(built / sub, dir + "/" + sub);
  fs::create_directory(dir + "/map");
  for (const fs::directory_entry& e : fs::directory_iterator(built / "map"))
    fs::create_symlink(e.path(), dir + "/map/" + e.path().filename().string());
  std::string name = dir + "/map/map" + std::to_string(n) + ".map";
  fs::remove(name);
  if (text) writeFile(name, text);
  return dir;
}

// Map 10's cells under a new header.
std::string stage10WithHeader(const std::string& header) {
  std::string map = readFile(std::string(PUXTEN_DATA_DIR) + "/map/map10.map");
  return header + map.substr(map.find('\n'));
}

struct RunResult {
  int code;
  std::string state, output;
};

RunResult play(const std::string& data, const std::string& args) {
  std::string dir = makeTempDir();
  RunResult r;
  r.code = runCapture(
      std::string(PUXTEN_REPLAY) + " --data '" + data + "' --state " + dir + "/s.json " + args,
      &r.output);
  r.state = readFile(dir + "/s.json");
  return r;
}

TEST(HostileMap, AMissingMapIsReportedAndLeadsBackToTheTitle) {
  RunResult r = play(dataWithMap(13, nullptr), "--stage 13 --frames 30");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.output.find("map13.map: No such file or directory"), std::string::npos) << r.output;
  EXPECT_EQ(jsonInt(r.state, "scene"), 1);  // the title
}

TEST(HostileMap, AHugeParIsHeldWhenTheStageIsEntered) {
  std::string data = dataWithMap(10, stage10WithHeader("81,26,0,0,75,500,99999999,0").c_str());
  RunResult r = play(data, "--stage 10 --frames 5");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(jsonInt(r.state, "parTimeSeconds"), 9999 * 60);
}

TEST(HostileMap, ANegativeParIsHeldThroughTheResultScreen) {
  std::string data = dataWithMap(10, stage10WithHeader("81,26,0,0,75,500,0,-2147483648").c_str());
  std::string keys = std::string(PUXTEN_SOURCE_DIR) + "/data/replays/stage10.keys";
  std::string script = readFile(keys) + "200 -\n";
  std::string dir = makeTempDir();
  writeFile(dir + "/k.keys", script);
  RunResult r = play(data, "--stage 10 --input " + dir + "/k.keys");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(jsonInt(r.state, "parTimeSeconds"), 0);
  EXPECT_EQ(jsonInt(r.state, "scene"), 10);
  std::vector<long> grades = arrayAfter(r.state, "grades");
  ASSERT_EQ(grades.size(), 4u);
  EXPECT_GE(grades[1], 0);  // the time grade
  EXPECT_LE(grades[1], 4);
}

// A stage of 10 x 8 cells with a floor; the start far outside it and a
// warp in the far corner whose target lies far outside too.
TEST(HostileMap, ExtremeStartAndWarpTargetStayInsideTheStage) {
  std::string text = "10,8,0,0,2147483647,-2147483648,0,30\n";
  for (int r = 0; r < 8; r++) {
    for (int c = 0; c < 10; c++) {
      if (r == 7)
        text += "1,0,0,";
      else if (r == 5 && c == 9)
        text += "22,-2147483648,-2147483648,";
      else
        text += "0,0,0,";
    }
    text += "\n";
  }
  std::string dir = makeTempDir();
  writeFile(dir + "/k.keys", "40 -\n5 Up\n120 -\n");
  RunResult r = play(dataWithMap(10, text.c_str()), "--stage 10 --input " + dir + "/k.keys");
  EXPECT_EQ(r.code, 0) << r.output;
  EXPECT_EQ(jsonNumber(r.state, "playerX"), 0);    // carried to the top-left cell,
  EXPECT_EQ(jsonNumber(r.state, "playerY"), 125);  // then down onto the floor
}

}  // namespace
