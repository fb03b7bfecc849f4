#include "platform/sdl/player_folders.h"

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/game.h"
#include "puxten_version.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* PORTABLE_MARK = "portable";
constexpr const char* DATA_SAVE_FOLDER = "save";  // inside the data folder

// Moves one file, across file systems too; false when it stayed.
bool moveFile(const fs::path& from, const fs::path& to) {
  std::error_code e;
  fs::rename(from, to, e);
  if (!e) return true;
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, e)) return false;
  fs::remove(from, e);  // a read-only data folder keeps its copy; harmless
  return true;
}

// Saves left in the data folder by earlier versions move to the player's
// folder, unless the player's folder already holds progress.
void moveOldSaves(const fs::path& oldFolder, const fs::path& newFolder) {
  std::error_code e;
  const char* progress = savedRunFiles()[0];
  if (fs::exists(newFolder / progress, e)) return;
  if (!fs::is_regular_file(oldFolder / progress, e)) return;
  fs::create_directories(newFolder, e);
  for (const char* name : savedRunFiles()) {
    if (!fs::is_regular_file(oldFolder / name, e)) continue;
    if (!moveFile(oldFolder / name, newFolder / name)) {
      std::fprintf(stderr, "puxten: could not move %s to %s\n", (oldFolder / name).c_str(),
                   newFolder.c_str());
      return;
    }
  }
  std::fprintf(stderr, "puxten: moved the saved progress from %s to %s\n", oldFolder.c_str(),
               newFolder.c_str());
}

}  // namespace

std::string choosePlayerSaveFolder() {
  std::error_code e;
  fs::path dataFolder = fs::current_path(e);
  if (fs::exists(PORTABLE_MARK, e)) return (dataFolder / DATA_SAVE_FOLDER).string();
  char* pref = SDL_GetPrefPath("", PUXTEN_APP_FOLDER);
  if (!pref) {
    std::fprintf(stderr, "puxten: no folder for the player's progress (%s); keeping it in %s\n",
                 SDL_GetError(), (dataFolder / DATA_SAVE_FOLDER).c_str());
    return (dataFolder / DATA_SAVE_FOLDER).string();
  }
  fs::path folder = fs::path(pref) / "save";
  SDL_free(pref);
  moveOldSaves(dataFolder / DATA_SAVE_FOLDER, folder);
  return folder.string();
}
