// Where the game keeps progress: the player's own folder, saves from the
// data folder's old "save/" moved there once; or, in portable mode, the
// data folder itself. Checked with no display: folders are chosen first.
#include <gtest/gtest.h>

#include "test_support.h"

namespace fs = std::filesystem;

struct FolderCase {
  const char* name;
  bool portable;
};

class PlayerFolders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(PlayerFolders, OldSavesMoveToTheHomeUnlessPortable) {
  std::string root = makeTempDir();
  std::string data = root + "/data", home = root + "/home";
  fs::create_directories(data + "/save");
  fs::create_directories(home);
  for (const char* part : {"image", "map", "SE", "bgm"})
    fs::create_directory_symlink(std::string(PUXTEN_DATA_DIR) + "/" + part, data + "/" + part);
  writeFile(data + "/save/save1.dat", "progress");
  writeFile(data + "/save/mapsave.dat", "stage");
  if (GetParam().portable) writeFile(data + "/portable", "");
  std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME=" + home + " '" +
                        PUXTEN_GAME + "' --window --data " + data;
  std::string out;
  runCapture(command, &out);
  std::string moved = home + "/.local/share/puxten/save/";
  if (GetParam().portable) {
    EXPECT_EQ(readFile(data + "/save/save1.dat"), "progress");
    EXPECT_FALSE(fs::exists(home + "/.local")) << out;
    return;
  }
  EXPECT_EQ(readFile(moved + "save1.dat"), "progress") << out;
  EXPECT_EQ(readFile(moved + "mapsave.dat"), "stage");
  EXPECT_FALSE(fs::exists(data + "/save/save1.dat"));
  EXPECT_NE(out.find("moved the saved progress"), std::string::npos) << out;
  // Once: a second start finds nothing left to move.
  runCapture(command, &out);
  EXPECT_EQ(out.find("moved"), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(Modes, PlayerFolders,
                         ::testing::Values(FolderCase{"Installed", false},
                                           FolderCase{"Portable", true}),
                         [](const auto& info) { return std::string(info.param.name); });
