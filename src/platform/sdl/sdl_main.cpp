// The game: read the command line, check the data, start the display, play.
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/data_path.h"
#include "platform/demo_file.h"
#include "platform/game.h"
#include "platform/os.h"
#include "platform/sdl/command_line.h"
#include "platform/sdl/player_folders.h"

int sdlStartVideo();
void sdlSetStartupAnswer(int answer);  // the command line's, over the settings'
void sdlOfferNewGame();
bool sdlRecordDemo(const char* path, const char* saveFolder);
void sdlPlayDemo(const Demo& demo);
void sdlSetStateCheck(uint32_t (*check)());

namespace {

// What the program was asked to do, and the save folder a played demo
// brought (removed at exit).
struct MainState {
  CommandLine commandLine;
  std::string demoSaveFolder;
};
MainState program;

// Messages are in Japanese for a Japanese locale, else in English.
bool japaneseLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(name);
    if (v && *v) return std::strncmp(v, "ja", 2) == 0;
  }
  return false;
}

std::string workingDirectory() {
  char cwd[4096];
  return getcwd(cwd, sizeof cwd) ? cwd : ".";
}

// Finds the data folder and checks it; on failure fills *message with the
// folders searched and the file that failed.
bool findGameData(std::string* message) {
  std::vector<std::string> searched = program.commandLine.dataDir.empty()
                                          ? dataFolderCandidates()
                                          : std::vector<std::string>{program.commandLine.dataDir};
  std::string failed, reason;
  // With no folder marked as holding the data, the working directory is
  // checked file by file: the message then names what is missing.
  if (!enterDataFolder(program.commandLine.dataDir.c_str()) &&
      !program.commandLine.dataDir.empty()) {
    failed = program.commandLine.dataDir;
    reason = "cannot enter the folder";
  } else if (checkGameData(&failed, &reason)) {
    return true;
  } else {
    failed = workingDirectory() + "/" + failed;
  }
  bool ja = japaneseLocale();
  *message = ja ? "ゲームのデータが見つからないか壊れているため起動できません。\n"
                : "PUXTEN cannot start: its data is missing or damaged.\n";
  *message += (ja ? "ファイル: " : "File: ") + failed + " (" + reason + ")\n";
  *message += ja ? "探したフォルダ:\n" : "Folders searched:\n";
  for (const std::string& dir : searched) *message += "  " + dir + "\n";
  *message +=
      ja ? "./play で作り直すか、インストールし直すか、--data DIR でフォルダを指定してください。"
         : "Build it again with ./play, install it again, or name the folder with --data DIR.";
  return false;
}

void removeDemoSaveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(program.demoSaveFolder, ignored);
}

// A demo plays on save files of its own, made from the ones it recorded,
// never on the player's.
bool startDemoPlayback(std::string* problem) {
  std::ifstream in(program.commandLine.playDemo, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  Demo demo;
  std::string error;
  if (!in || !parseDemo(text.str(), &demo, &error)) {
    *problem = program.commandLine.playDemo + ": " + (in ? error : std::strerror(errno));
    return false;
  }
  if (demo.startStage >= 0) {
    *problem = program.commandLine.playDemo + ": it starts on a stage; play it with puxten-replay";
    return false;
  }
  std::string pattern = std::filesystem::temp_directory_path().string() + "/puxten-demo-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    *problem = "cannot make a save folder for the demo: " + std::string(std::strerror(errno));
    return false;
  }
  program.demoSaveFolder = pattern;
  std::atexit(removeDemoSaveFolder);
  for (const DemoSaveFile& f : demo.saves) {
    std::ofstream out(program.demoSaveFolder + "/" + f.name, std::ios::binary);
    out.write(f.bytes.data(), (std::streamsize)f.bytes.size());
    if (!out.flush()) {
      *problem = "cannot write the demo's save files into " + program.demoSaveFolder;
      return false;
    }
  }
  setSaveFolder(program.demoSaveFolder.c_str());
  sdlPlayDemo(demo);
  return true;
}

// --record and --play-demo; false with a message when they cannot start.
bool startDemo(std::string* problem) {
  sdlSetStateCheck(stateCheck);
  if (!program.commandLine.recordDemo.empty() && !program.commandLine.playDemo.empty()) {
    *problem = "--record and --play-demo cannot be used together";
    return false;
  }
  if (program.commandLine.newGame && !program.commandLine.playDemo.empty()) {
    *problem = "--new-game and --play-demo cannot be used together";  // a demo has its own saves
    return false;
  }
  if (!program.commandLine.playDemo.empty()) return startDemoPlayback(problem);
  // The save folder is settled by now: the recording starts from its files.
  if (!program.commandLine.recordDemo.empty() &&
      !sdlRecordDemo(program.commandLine.recordDemo.c_str(), saveFolderPath())) {
    *problem = "cannot record the demo";
    return false;
  }
  return true;
}

}  // namespace

constexpr int PICTURE_MMAP_THRESHOLD = 128 * 1024;

int main(int argc, char** argv) {
  // Pictures are large and live by scene: each gets pages of its own that
  // go back to the system when it is freed, instead of a heap that only grows.
  mallopt(M_MMAP_THRESHOLD, PICTURE_MMAP_THRESHOLD);
  CommandLineResult parsed = parseCommandLine(argc, argv, &program.commandLine);
  if (!parsed.run) return parsed.exitCode;
  sdlSetStartupAnswer(program.commandLine.startupAnswer);
  // The data is checked before anything is asked or shown.
  std::string problem;
  if (!findGameData(&problem)) {
    std::fprintf(stderr, "puxten: %s\n", problem.c_str());
    if (sdlStartVideo()) osMessageBox(problem.c_str(), "PUXTEN", MB_ICONHAND);
    return EXIT_GAME_FAILURE;
  }
  setSaveFolder(choosePlayerSaveFolder().c_str());
  if (!startDemo(&problem)) {
    std::fprintf(stderr, "puxten: %s\n", problem.c_str());
    return EXIT_USAGE;
  }
  if (!sdlStartVideo()) return 2;
  // Asked first, before the start-up question: after Yes the game starts
  // afresh, after No from the saved run, as without --new-game.
  if (program.commandLine.newGame) sdlOfferNewGame();
  return runStartup();
}
