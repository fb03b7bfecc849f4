// Runs of the headless runner: determinism, the quit path, refusals,
// signals, the clock wrap and the trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

TEST(Replay, SameArgumentsGiveTheSamePicturesStateAndTrace) {
  std::string dir = makeTempDir();
  std::string outputs[2][3];
  for (int run = 0; run < 2; run++) {
    std::string p = dir + "/run" + std::to_string(run);
    ASSERT_EQ(runReplay("--answer no --frames 50 --shot 50:" + p + ".png --state " + p +
                        ".json --trace " + p + ".jsonl"),
              0);
    outputs[run][0] = readFile(p + ".png");
    outputs[run][1] = readFile(p + ".json");
    outputs[run][2] = readFile(p + ".jsonl");
  }
  for (int i = 0; i < 3; i++) EXPECT_EQ(outputs[0][i], outputs[1][i]) << "output " << i;
  EXPECT_EQ(outputs[0][0].substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\xE0", 8));  // 640 x 480
  const std::string& state = outputs[0][1];
  EXPECT_EQ(jsonInt(state, "scene"), 1);        // the title
  EXPECT_EQ(jsonInt(state, "nowMs"), 49 * 40);  // written as picture 50 is shown
  EXPECT_NE(state.find("\"grid\":{\"kind\":["), std::string::npos);
  // One trace line per picture, 40 ms apart.
  const std::string& trace = outputs[0][2];
  EXPECT_EQ(std::count(trace.begin(), trace.end(), '\n'), 50);
  EXPECT_EQ(jsonInt(trace, "nowMs"), 0);
}

TEST(Replay, QuittingFromTheTitleIsASuccess) {
  std::string dir = makeTempDir();
  writeFile(dir + "/quit.keys", "# wait out the title's first frames, then Esc\n30 -\n5 Esc\n");
  EXPECT_EQ(runReplay("--input " + dir + "/quit.keys --state " + dir + "/s.json"), 0);
  // The first title frame is picture 2.
  EXPECT_EQ(jsonInt(readFile(dir + "/s.json"), "frameCount"), 30);
}

// What the runner refuses or cannot do ends with status 2 and says why.
struct Refusal {
  const char* name;
  const char* args;  // "DIR" stands for a fresh folder holding bad.keys
  const char* said;
};

class RunnerRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(RunnerRefuses, WithStatus2AndTheReason) {
  std::string dir = makeTempDir();
  writeFile(dir + "/bad.keys", "10 Right\n5 Jump\n");
  std::string args = GetParam().args;
  for (size_t at; (at = args.find("DIR")) != std::string::npos;) args.replace(at, 3, dir);
  std::string out;
  EXPECT_EQ(runReplay(args, &out), 2);
  EXPECT_NE(out.find(GetParam().said), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunnerRefuses,
    ::testing::Values(
        Refusal{"BadScriptLine", "--input DIR/bad.keys", "line 2"},
        Refusal{"FolderAsInput", "--input DIR", ": not a regular file"},
        Refusal{"MissingInput", "--input DIR/none.keys", "none.keys: No such file"},
        // A full disk: every output is checked at each write and at its close.
        Refusal{"FullState", "--frames 3 --state /dev/full", "/dev/full: No space left"},
        Refusal{"FullTrace", "--frames 3 --trace /dev/full", "/dev/full: No space left"},
        Refusal{"FullHashes", "--frames 3 --picture-hashes /dev/full", "/dev/full: No space left"},
        Refusal{"FullShot", "--frames 3 --shot 2:/dev/full", "/dev/full: No space left"}),
    [](const auto& info) { return std::string(info.param.name); });

// SIGTERM ends a run between two pictures with 128 + 15, and the run's own
// temporary save folder goes with it.
TEST(Replay, SigtermEndsTheRunAndRemovesItsSaveFolder) {
  std::string dir = makeTempDir();
  std::string out;
  std::string run = std::string(PUXTEN_REPLAY) + " --data " + PUXTEN_DATA_DIR +
                    " --frames 1000000 --trace t.jsonl";
  runCapture("(cd " + dir + " || exit; TMPDIR=" + dir + " " + run + " & p=$!; " +
                 "for i in $(seq 300); do [ -s t.jsonl ] && break; sleep 0.1; done; " +
                 "echo during=$(ls -d puxten-save-* | wc -l); kill -TERM $p; wait $p; " +
                 "echo status=$?)",
             &out);
  EXPECT_NE(out.find("during=1"), std::string::npos) << out;
  EXPECT_NE(out.find("status=143"), std::string::npos) << out;
  EXPECT_NE(out.find("cut short by signal 15"), std::string::npos) << out;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    EXPECT_EQ(entry.path().filename().string().rfind("puxten-save-", 0), std::string::npos)
        << entry.path();
}

TEST(Replay, AMissingPictureStopsTheStartWithTheBitmapError) {
  // Every picture but the one that is never drawn: it must exist all the same.
  std::string dir = makeTempDir();
  std::string data = PUXTEN_DATA_DIR;
  ASSERT_EQ(
      runCommand("mkdir -p " + dir + "/image && for f in '" + data + "'/image/*; do ln -s \"$f\" " +
                 dir + "/image/; done && rm " + dir + "/image/tchara.bmp"),
      0);
  std::string out;
  EXPECT_EQ(runCapture(std::string(PUXTEN_REPLAY) + " --data " + dir + " --frames 5", &out), 1);
  EXPECT_NE(out.find("Bitmapロードエラー:image/tchara.bmp"), std::string::npos) << out;
}

// Started from a folder that holds an unrelated "image/" folder, the runner
// plays on its own data; with no data anywhere it names the folders tried.
TEST(Replay, ChoosesItsDataFolderByContent) {
  std::string dir = makeTempDir();
  std::filesystem::create_directories(dir + "/image");
  writeFile(dir + "/image/title.bmp", "not a picture");
  std::string out;
  EXPECT_EQ(runCapture("cd " + dir + " && " + PUXTEN_REPLAY + " --frames 5 --state s.json", &out),
            0)
      << out;
  EXPECT_EQ(jsonInt(readFile(dir + "/s.json"), "nowMs"), 4 * 40);
  std::filesystem::create_directories(dir + "/bin");
  std::filesystem::copy_file(PUXTEN_REPLAY, dir + "/bin/puxten-replay");
  EXPECT_EQ(runCapture("cd " + dir + " && bin/puxten-replay --frames 5", &out), 2);
  for (std::string tried : {dir, dir + "/bin/data", dir + "/bin/../share/puxten"})
    EXPECT_NE(out.find("  " + tried + "\n"), std::string::npos) << tried << "\n" << out;
}

// A text without the clock's own readings: "nowMs" and "stageStartMs" differ
// between runs that start the clock at different values; nothing else may.
std::string withoutClock(std::string text) {
  for (std::string key : {"\"nowMs\":", "\"stageStartMs\":"})
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at)) {
      size_t end = text.find_first_of(",}", at + key.size());
      text.erase(at, end - at + (text[end] == ',' ? 1 : 0));
    }
  return text;
}

struct ClockCase {
  const char* replay;
  uint32_t clockStart;
};

class ClockWrap : public ::testing::TestWithParam<ClockCase> {};

// Played across the wrap of the 32-bit clock (and across its turn to
// negative values at 2^31), a stage solution gives the same pictures,
// trace and end as from clock 0.
TEST_P(ClockWrap, AStageSolutionEndsAsItDoesFromZero) {
  const ClockCase& c = GetParam();
  std::string dir = makeTempDir();
  std::string keys = std::string(PUXTEN_SOURCE_DIR) + "/data/replays/" + c.replay + ".keys";
  const char* outputs[] = {".json", ".jsonl", ".sha256"};
  std::string fromZero[3], acrossWrap[3];
  for (uint32_t start : {0u, c.clockStart}) {
    std::string p = dir + "/" + std::to_string(start);
    ASSERT_EQ(runReplay("--stage " + std::string(c.replay + 5) + " --input " + keys +
                        " --clock-start " + std::to_string(start) + " --state " + p +
                        ".json --trace " + p + ".jsonl --picture-hashes " + p + ".sha256"),
              0);
    for (int i = 0; i < 3; i++) (start ? acrossWrap : fromZero)[i] = readFile(p + outputs[i]);
  }
  EXPECT_EQ(jsonInt(fromZero[0], "scene"), 10) << "no longer clears the stage";
  EXPECT_EQ((uint32_t)jsonInt(acrossWrap[0], "nowMs"),
            (uint32_t)(c.clockStart + jsonInt(fromZero[0], "nowMs")));
  for (int i = 0; i < 3; i++)
    EXPECT_TRUE(withoutClock(fromZero[i]) == withoutClock(acrossWrap[i]))
        << outputs[i] << " differ";
}

// The 32-bit clock turns from 2^31 - 1 to -2^31 10 s into stage 22; while
// stage 21's first barrel fuse burns; while stage 12's switch is held.
INSTANTIATE_TEST_SUITE_P(Starts, ClockWrap,
                         ::testing::Values(ClockCase{"stage22", 0x80000000u - 10000},
                                           ClockCase{"stage21", 0x80000000u - 13000},
                                           ClockCase{"stage12", 0x80000000u - 13000}),
                         [](const auto& info) { return std::string(info.param.replay); });

std::vector<std::string> traceOf(const std::string& args) {
  std::string dir = makeTempDir();
  EXPECT_EQ(runReplay(args + " --trace " + dir + "/t.jsonl"), 0);
  return splitLines(readFile(dir + "/t.jsonl"));
}

// Stage 42 played through: the boss tune, the warp sound at both ends of
// a local warp, and gates sliding 15 a picture.
TEST(Trace, ShowsTheSoundsTheMusicAndTheGatesOfStage42) {
  std::string keys = std::string(PUXTEN_SOURCE_DIR) + "/data/replays/stage42.keys";
  std::vector<std::string> lines = traceOf("--stage 42 --trace-grid --input " + keys);
  ASSERT_FALSE(lines.empty());
  bool boss = false;
  int warpSounds = 0, warpState = 0;  // 0 before the first warp, 1 in it, 2 after
  int gateSteps = 0;
  std::vector<long> before;
  for (const std::string& line : lines) {
    boss |= line.find("{\"name\":\"boss\",\"playing\":1") != std::string::npos;
    long phase = jsonInt(line, "localWarpPhase");
    if (warpState == 0 && phase) warpState = 1;
    if (warpState == 1 && !phase) warpState = 2;
    if (warpState == 1 && line.find("\"SE/warp.wav\"") != std::string::npos) warpSounds++;
    std::vector<long> kind = arrayAfter(line, "kind"), progress = arrayAfter(line, "progress");
    ASSERT_EQ(kind.size(), progress.size());
    for (size_t i = 0; i < progress.size() && before.size() == progress.size(); i++)
      if (kind[i] == 20 && progress[i] != before[i]) {  // a gate
        EXPECT_EQ(std::labs(progress[i] - before[i]), 15) << line.substr(0, 20);
        gateSteps++;
      }
    before = progress;
  }
  EXPECT_TRUE(boss);
  EXPECT_EQ(warpSounds, 2);
  EXPECT_GE(gateSteps, 10);
}

// The title fades its logo in, and Down moves the menu's cursor.
TEST(Trace, ShowsTheTitleMenu) {
  std::string dir = makeTempDir();
  writeFile(dir + "/down.keys", "60 -\n1 Down\n10 -\n");
  std::vector<std::string> lines = traceOf("--input " + dir + "/down.keys");
  ASSERT_EQ(lines.size(), 71u);
  EXPECT_EQ(jsonInt(lines[0], "logoOpacity"), 0);
  EXPECT_EQ(jsonInt(lines[59], "logoOpacity"), 100);
  EXPECT_EQ(jsonInt(lines[59], "cursor"), 0);
  EXPECT_EQ(jsonInt(lines[70], "cursor"), 1);
}

// Space pressed on picture 31 and held for 12: the jump lock is on for
// each of them and was off before.
TEST(Trace, ShowsTheJumpLockWhileSpaceIsHeld) {
  std::string dir = makeTempDir();
  writeFile(dir + "/jump.keys", "30 -\n12 Space\n");
  std::vector<std::string> lines = traceOf("--stage 10 --input " + dir + "/jump.keys");
  ASSERT_EQ(lines.size(), 42u);
  EXPECT_EQ(jsonInt(lines[29], "jumpLock"), 0);
  for (int picture = 31; picture <= 42; picture++)
    EXPECT_EQ(jsonInt(lines[picture - 1], "jumpLock"), 1) << picture;
}

}  // namespace
