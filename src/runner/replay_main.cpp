// puxten-replay: the game without a window or a sound card, driven by a
// virtual clock and scripted keys. Every run with the same arguments gives
// the same pictures, state and trace.
#include <sys/stat.h>
#include <unistd.h>
#ifndef PUXTEN_PICTURE_HASHES
#define PUXTEN_PICTURE_HASHES 0
#endif
#if PUXTEN_PICTURE_HASHES
#include <nettle/sha2.h>
#endif

#include <bit>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/data_path.h"
#include "platform/demo_file.h"
#include "platform/game.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/key_names.h"
#include "platform/sprite.h"
#include "runner/replay.h"
#include "stage/stage_state.h"

namespace {

struct Options {
  std::string dataDir, saveDir, inputFile, stateFile, traceFile, hashFile;
  int answerYes = -1;  // -1: not given
  bool traceGrid = false;
  int stage = -1;
  int frames = -1;
  uint32_t clockStart = 0;
  std::map<int, std::string> shots;
};

constexpr int HASH_BYTES = 32;  // SHA-256

// Everything the runner holds for one run.
struct RunnerState {
  Options options;
  std::vector<InputStep> script;
  // A demo given as --input: its keys, clock and checks instead of a script.
  Demo demo;
  bool playingDemo = false;
  int lastPicture = 0;
  FILE* trace = nullptr;
  FILE* hashes = nullptr;
  // The last hashed picture and its hash: a picture equal to the one before
  // it is compared rather than hashed again.
  std::vector<uint32_t> hashedFrame;
  char hashedHex[2 * HASH_BYTES + 1] = "";
  // Set by SIGTERM or SIGINT, read between two pictures.
  volatile std::sig_atomic_t stopSignal = 0;
  std::string tempSaveDir;  // the run's own save folder, when it was given none
};
RunnerState runner;

// Exit status of a demo that went another way than it was recorded.
constexpr int EXIT_DEMO_DIVERGED = 3;

const char* USAGE =
    "usage: puxten-replay [--data DIR] [--save DIR] [--answer yes|no] [--stage N]\n"
    "                     [--input FILE] [--frames N] [--shot N:FILE.png]...\n"
    "                     [--state FILE.json] [--trace FILE.jsonl]\n"
    "                     [--picture-hashes FILE] [--clock-start MS]\n"
    "                     [--trace-grid]\n";

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "puxten-replay: %s\n", message.c_str());
  std::exit(2);
}

// Every output is checked at each write and at its close: a run that could
// not write what it was asked to never ends with status 0.
[[noreturn]] void failWriting(const std::string& path) {
  fail("cannot write " + path + ": " + std::strerror(errno ? errno : EIO));
}

FILE* openOutput(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) failWriting(path);
  return f;
}

void writeOutput(FILE* f, const std::string& text, const std::string& path) {
  if (std::fwrite(text.data(), 1, text.size(), f) != text.size()) failWriting(path);
}

void closeOutput(FILE** f, const std::string& path) {
  if (!*f) return;
  bool ok = std::fflush(*f) == 0;
  ok = std::fclose(*f) == 0 && ok;
  *f = nullptr;
  if (!ok) failWriting(path);
}

int parseNumber(const char* text, const char* what) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < 0 || v > 100000000) fail(std::string("bad ") + what + ": " + text);
  return (int)v;
}

// A value of the game's 32-bit millisecond clock.
uint32_t parseClock(const char* text) {
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (!*text || *text == '-' || *end || v > UINT32_MAX) fail(std::string("bad clock: ") + text);
  return (uint32_t)v;
}

// Paths given on the command line are taken from where the runner was
// started, though the game runs inside its data folder.
std::string absolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

void parseOptions(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--help") {
      std::fputs(USAGE, stdout);
      std::exit(0);
    }
    if (a == "--trace-grid") {
      runner.options.traceGrid = true;
      continue;
    }
    if (i + 1 >= argc) fail("missing value after " + a + "\n" + USAGE);
    const char* v = argv[++i];
    if (a == "--data")
      runner.options.dataDir = absolute(v);
    else if (a == "--save")
      runner.options.saveDir = absolute(v);
    else if (a == "--answer") {
      if (std::strcmp(v, "yes") != 0 && std::strcmp(v, "no") != 0) fail("--answer takes yes or no");
      runner.options.answerYes = !std::strcmp(v, "yes");
    } else if (a == "--stage")
      runner.options.stage = parseNumber(v, "stage");
    else if (a == "--input")
      runner.options.inputFile = absolute(v);
    else if (a == "--frames")
      runner.options.frames = parseNumber(v, "frame count");
    else if (a == "--shot") {
      const char* colon = std::strchr(v, ':');
      if (!colon) fail("--shot takes N:FILE.png");
      runner.options.shots[parseNumber(std::string(v, colon).c_str(), "picture number")] =
          absolute(colon + 1);
    } else if (a == "--state")
      runner.options.stateFile = absolute(v);
    else if (a == "--trace")
      runner.options.traceFile = absolute(v);
    else if (a == "--clock-start")
      runner.options.clockStart = parseClock(v);
    else if (a == "--picture-hashes")
      runner.options.hashFile = absolute(v);
    else
      fail("unknown option " + a + "\n" + USAGE);
  }
}

void loadScript() {
  if (runner.options.inputFile.empty()) return;
  // A folder or a device would read as an empty script, or never end.
  struct stat st;
  if (stat(runner.options.inputFile.c_str(), &st) != 0)
    fail("cannot read " + runner.options.inputFile + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode))
    fail("cannot read " + runner.options.inputFile + ": not a regular file");
  std::ifstream in(runner.options.inputFile);
  if (!in) fail("cannot read " + runner.options.inputFile + ": " + std::strerror(errno));
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  runner.playingDemo = looksLikeDemo(text.str());
  bool ok = runner.playingDemo ? parseDemo(text.str(), &runner.demo, &error)
                               : parseInputScript(text.str(), &runner.script, &error);
  if (!ok) fail(runner.options.inputFile + ": " + error);
}

void writeState();

// A demo starts where it was recorded, with its save files and its clock;
// options given on the command line still win.
void useDemo() {
  if (runner.options.stage < 0) runner.options.stage = runner.demo.startStage;
  if (runner.options.answerYes < 0) runner.options.answerYes = runner.demo.answerYes;
  for (const DemoSaveFile& f : runner.demo.saves) {
    std::string path = runner.options.saveDir + "/" + f.name;
    FILE* out = openOutput(path);
    writeOutput(out, f.bytes, path);
    closeOutput(&out, path);
  }
  for (const DemoPicture& p : runner.demo.pictures) headless.clockByPicture.push_back(p.nowMs);
  if (!runner.demo.pictures.empty()) headless.nowMs = runner.demo.pictures[0].nowMs;
}

int demoLength() {
  return runner.demo.pictures.size() > 2000000000 ? 2000000000 : (int)runner.demo.pictures.size();
}

// A replay that finds the game in another state than the recording did
// stops at the first such picture rather than playing on.
void checkDemo(int picture) {
  if (!runner.playingDemo || picture > demoLength()) return;
  const DemoPicture& p = runner.demo.pictures[picture - 1];
  if (!p.hasCheck || p.check == stateCheck()) return;
  std::fprintf(stderr,
               "puxten-replay: the demo diverges at picture %d: the game's state differs from the "
               "recording's\n",
               picture);
  writeState();
  std::exit(EXIT_DEMO_DIVERGED);
}

void holdKeysFor(int picture) {
  headlessReleaseAllKeys();
  if (runner.playingDemo) {
    unsigned mask = picture <= demoLength() ? runner.demo.pictures[picture - 1].keys : 0;
    for (int i = 0; i < GAME_KEY_COUNT; i++)
      if (mask & (1u << i)) headlessSetKey(GAME_KEYS[i].vk, 1);
    return;
  }
  const std::vector<int>* keys = keysForPicture(runner.script, picture);
  if (keys)
    for (int vk : *keys) headlessSetKey(vk, 1);
}

// One line per presented picture: the SHA-256 of its pixels, each a
// 0x00RRGGBB word in little-endian byte order, row by row.
void writePictureHash() {
  const std::vector<uint32_t>& frame = headless.lastFrame;
  if (frame != runner.hashedFrame) {
    uint8_t digest[HASH_BYTES] = {};
#if PUXTEN_PICTURE_HASHES
    static_assert(std::endian::native == std::endian::little);
    static_assert(SHA256_DIGEST_SIZE == HASH_BYTES);
    sha256_ctx ctx;
    sha256_init(&ctx);
    sha256_update(&ctx, frame.size() * sizeof frame[0], (const uint8_t*)frame.data());
    sha256_digest(&ctx, sizeof digest, digest);
#endif
    for (int i = 0; i < HASH_BYTES; i++)
      std::snprintf(runner.hashedHex + 2 * (size_t)i, 3, "%02x", digest[i]);
    runner.hashedFrame = frame;
  }
  writeOutput(runner.hashes, std::string(runner.hashedHex) + "\n", runner.options.hashFile);
}

void writeState() {
  closeOutput(&runner.trace, runner.options.traceFile);
  closeOutput(&runner.hashes, runner.options.hashFile);
  if (runner.options.stateFile.empty()) return;
  FILE* f = openOutput(runner.options.stateFile);
  writeOutput(f, stateJson(), runner.options.stateFile);
  closeOutput(&f, runner.options.stateFile);
}

// SIGTERM and SIGINT end the run between two pictures: outputs are left
// as far as they got, the temporary save folder is removed (at exit) and
// the status, 128 + the signal's number, says the run was cut short.
void noteStopSignal(int signal) { runner.stopSignal = signal; }

void catchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = noteStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

[[noreturn]] void endCutShort() {
  for (FILE* f : {runner.trace, runner.hashes})
    if (f) std::fclose(f);
  std::fprintf(stderr, "puxten-replay: cut short by signal %d after picture %d\n",
               (int)runner.stopSignal, runner.lastPicture);
  std::exit(128 + runner.stopSignal);
}

void afterPicture(int picture) {
  if (runner.stopSignal) endCutShort();
  runner.lastPicture = picture;
  checkDemo(picture);
  // The sound log is taken every picture, so it never grows with the run.
  std::vector<std::string> audioLog = headlessAudioTakeLog();
  if (runner.trace)
    writeOutput(runner.trace, traceLine(picture, audioLog, runner.options.traceGrid) + "\n",
                runner.options.traceFile);
  if (runner.hashes) writePictureHash();
  auto shot = runner.options.shots.find(picture);
  if (shot != runner.options.shots.end()) {
    SpriteSurface s;
    s.width = headless.lastFrameWidth;
    s.height = headless.lastFrameHeight;
    s.pixels = headless.lastFrame;
    errno = 0;
    if (!writePng(shot->second.c_str(), s)) failWriting(shot->second);
  }
  if (picture >= runner.options.frames) {
    writeState();
    std::exit(0);
  }
  holdKeysFor(picture + 1);
}

void removeTempSaveDir() {
  std::error_code ignored;
  if (!runner.tempSaveDir.empty()) std::filesystem::remove_all(runner.tempSaveDir, ignored);
}

// A run that was given no save folder plays on a fresh one of its own,
// removed again when the run ends, so it never touches a player's saves.
std::string makeTempSaveDir() {
  std::error_code ec;
  std::string pattern = std::filesystem::temp_directory_path(ec).string();
  pattern = (ec ? "/tmp" : pattern) + "/puxten-save-XXXXXX";
  const char* dir = mkdtemp(pattern.data());
  if (!dir) fail("cannot make a temporary save folder " + pattern + ": " + std::strerror(errno));
  runner.tempSaveDir = dir;
  std::atexit(removeTempSaveDir);
  return dir;
}

// The data folder: --data, else the first folder marked as holding the
// game's whole data (a working directory that merely holds an "image/"
// folder is not taken).
void enterData() {
  if (enterDataFolder(runner.options.dataDir.c_str())) return;
  if (!runner.options.dataDir.empty())
    fail("cannot enter the data folder " + runner.options.dataDir);
  std::string tried;
  for (const std::string& dir : dataFolderCandidates()) tried += "\n  " + dir;
  fail("no folder holds the game's data (" PUXTEN_DATA_MARKER "); tried:" + tried +
       "\nname one with --data DIR");
}

}  // namespace

int main(int argc, char** argv) {
  parseOptions(argc, argv);
  loadScript();
  if (runner.options.frames < 0)
    runner.options.frames = runner.options.inputFile.empty() ? 1
                            : runner.playingDemo             ? demoLength()
                                                             : scriptLength(runner.script);
  if (runner.options.frames == 0) runner.options.frames = 1;
  catchStopSignals();
  if (runner.options.saveDir.empty()) runner.options.saveDir = makeTempSaveDir();
  if (!runner.options.traceFile.empty()) runner.trace = openOutput(runner.options.traceFile);
  if (!runner.options.hashFile.empty()) {
    if (!PUXTEN_PICTURE_HASHES) fail("--picture-hashes needs a runner built with nettle");
    runner.hashes = openOutput(runner.options.hashFile);
  }
  headlessReset();
  headlessStartClockAt(runner.options.clockStart);
  if (runner.playingDemo) useDemo();
  headless.startupAnswer = runner.options.answerYes == 1 ? IDYES : IDNO;
  headless.onPresent = afterPicture;
  headless.onTerminate = [](int) { writeState(); };
  if (runner.options.stage >= 0)
    headless.beforeFirstFrame = [] { startOnStage(runner.options.stage); };
  holdKeysFor(1);
  enterData();
  setSaveFolder(runner.options.saveDir.c_str());
  return runStartup();
}
