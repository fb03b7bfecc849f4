// The game: read the command line, start the display, find the data, play.
#include <cstdio>

#include "app/app_state.h"
#include "platform/data_path.h"
#include "platform/os.h"
#include "platform/sdl/command_line.h"

int sdlStartVideo();

namespace {
CommandLine commandLine;
}

int osStartupAnswer() { return commandLine.startupAnswer; }

int main(int argc, char** argv) {
  CommandLineResult parsed = parseCommandLine(argc, argv, &commandLine);
  if (!parsed.run) return parsed.exitCode;
  if (!sdlStartVideo()) return 2;
  if (!enterDataFolder(commandLine.dataDir.c_str())) {
    std::fprintf(stderr, "puxten: cannot enter the data folder %s\n", commandLine.dataDir.c_str());
    return 1;
  }
  return runStartup();
}
