// The tests' temporary folders: a folder that cannot be made fails the
// test and stops it, and nothing that was there before is removed.
#include "temp_folder.h"

#include <gtest/gtest-spi.h>

#include "test_support.h"

namespace {

std::string missingParent;  // EXPECT_NONFATAL_FAILURE cannot see locals

TEST(TempFolder, AFolderThatCannotBeMadeFailsTheTestAndRemovesNothing) {
  TempFolder outer("puxten-guard");
  writeFile(outer.path() + "/keep", "kept");
  missingParent = outer.path() + "/missing";
  EXPECT_NONFATAL_FAILURE(
      EXPECT_THROW(TempFolder inner("puxten-never", missingParent), std::runtime_error),
      "cannot make a temporary folder");
  EXPECT_NONFATAL_FAILURE(
      EXPECT_THROW(makeFreshFolder("puxten-never", missingParent), std::runtime_error),
      "No such file or directory");
  EXPECT_EQ(readFile(outer.path() + "/keep"), "kept");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outer.path()), {}), 1);
}

TEST(TempFolder, IsFreshEachTimeAndGoneWithItsOwner) {
  std::string first;
  {
    TempFolder a("puxten-fresh"), b("puxten-fresh");
    first = a.path();
    EXPECT_NE(a.path(), b.path());
    EXPECT_TRUE(std::filesystem::is_empty(a.path()));
  }
  EXPECT_FALSE(std::filesystem::exists(first));
}

}  // namespace
