// The game refuses to start on missing or damaged data, before it asks
// anything, naming the file and the folders it searched.
#include <gtest/gtest.h>

#include "test_support.h"

struct DataCase {
  const char* name;
  void (*prepare)(const std::string& dir);  // fills the data folder
  const char* locale;
  std::vector<std::string> said;
};

void nothing(const std::string&) {}
void damagedPicture(const std::string& dir) {
  std::filesystem::create_directory(dir + "/image");
  writeFile(dir + "/image/boxs.bmp", "BM not a picture");
}
void picturesWithoutMusic(const std::string& dir) {
  std::filesystem::create_directory_symlink(std::string(PUXTEN_DATA_DIR) + "/image",
                                            dir + "/image");
}

class MissingData : public ::testing::TestWithParam<DataCase> {};

TEST_P(MissingData, IsNamedOnTheErrorStreamWithAFailure) {
  const DataCase& c = GetParam();
  std::string dir = makeTempDir();
  c.prepare(dir);
  std::string out;
  int code = runCapture("env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= LC_ALL= LANG=" +
                            std::string(c.locale) + " '" + PUXTEN_GAME + "' --data " + dir,
                        &out);
  EXPECT_EQ(code, 1) << out;
  for (const std::string& s : c.said) EXPECT_NE(out.find(s), std::string::npos) << s << "\n" << out;
  EXPECT_NE(out.find(dir), std::string::npos) << out;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MissingData,
    ::testing::Values(DataCase{"Empty", nothing, "C", {"image/boxs.bmp", "missing or damaged"}},
                      DataCase{"DamagedPicture",
                               damagedPicture,
                               "ja_JP.UTF-8",
                               {"image/boxs.bmp", "探したフォルダ"}},
                      DataCase{"NoMusic", picturesWithoutMusic, "C", {"bgm/main.mp3 (missing)"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MissingData, ListsEveryFolderSearched) {
  std::string dir = makeTempDir();
  std::filesystem::create_directory(dir + "/bin");
  std::filesystem::copy_file(PUXTEN_GAME, dir + "/bin/puxten");
  std::string out;
  int code = runCapture(
      "cd " + dir + " && env -u DISPLAY -u WAYLAND_DISPLAY LANG=C " + dir + "/bin/puxten --window",
      &out);
  EXPECT_EQ(code, 1) << out;
  for (std::string searched : {dir + "\n", dir + "/bin/data\n", dir + "/bin/../share/puxten\n"})
    EXPECT_NE(out.find("  " + searched), std::string::npos) << searched << out;
}
