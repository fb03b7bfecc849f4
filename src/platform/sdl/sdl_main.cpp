// The game: start the display, find the data, play.
#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "platform/data_path.h"

int sdlStartVideo();

int main(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--help")) {
      std::printf(
          "usage: puxten\nPlays PUXTEN. Data is read from the working directory when it\n"
          "holds image/, else from the data folder beside the executable.\n");
      return 0;
    }
  }
  if (!sdlStartVideo()) return 2;
  enterDataFolder(nullptr);
  return runStartup();
}
