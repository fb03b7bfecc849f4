// The game: read the command line, check the data, start the display, play.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/data_path.h"
#include "platform/game.h"
#include "platform/os.h"
#include "platform/sdl/command_line.h"
#include "platform/sdl/player_folders.h"

int sdlStartVideo();
void sdlSetStartupAnswer(int answer);  // the command line's, over the settings'

namespace {

CommandLine commandLine;

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
  std::vector<std::string> searched = commandLine.dataDir.empty()
                                          ? dataFolderCandidates()
                                          : std::vector<std::string>{commandLine.dataDir};
  std::string failed, reason;
  // With no folder marked as holding the data, the working directory is
  // checked file by file: the message then names what is missing.
  if (!enterDataFolder(commandLine.dataDir.c_str()) && !commandLine.dataDir.empty()) {
    failed = commandLine.dataDir;
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

}  // namespace

int main(int argc, char** argv) {
  CommandLineResult parsed = parseCommandLine(argc, argv, &commandLine);
  if (!parsed.run) return parsed.exitCode;
  sdlSetStartupAnswer(commandLine.startupAnswer);
  // The data is checked before anything is asked or shown.
  std::string problem;
  if (!findGameData(&problem)) {
    std::fprintf(stderr, "puxten: %s\n", problem.c_str());
    if (sdlStartVideo()) osMessageBox(problem.c_str(), "PUXTEN", MB_ICONHAND);
    return EXIT_GAME_FAILURE;
  }
  setSaveFolder(choosePlayerSaveFolder().c_str());
  if (!sdlStartVideo()) return 2;
  return runStartup();
}
