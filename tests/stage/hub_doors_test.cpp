// The compiled home stages: every stage of the hub's own world and of the
// worlds before it has a door, so nothing is locked away once the story
// has moved on, and the door that moves the story on is the last one along
// the hall floor.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "test_support.h"

namespace {

constexpr int STAGE_DOOR_KIND = 31;
const int MAIN_STAGE[4] = {11, 21, 31, 42};

struct Door {
  int row, col, target;
};

// Doors of a compiled map: a header line, then "kind,linkRow,linkCol," per
// cell; a door carries its stage in the link row.
std::vector<Door> doorsOf(int hub) {
  std::istringstream in(
      readFile(std::string(PUXTEN_DATA_DIR) + "/map/map" + std::to_string(hub) + ".map"));
  std::string line;
  std::getline(in, line);
  std::vector<Door> doors;
  for (int row = 0; std::getline(in, line); row++) {
    std::istringstream cells(line);
    std::string kind, linkRow, linkCol;
    for (int col = 0; std::getline(cells, kind, ',') && std::getline(cells, linkRow, ',') &&
                      std::getline(cells, linkCol, ',');
         col++)
      if (std::atoi(kind.c_str()) == STAGE_DOOR_KIND)
        doors.push_back({row, col, std::atoi(linkRow.c_str())});
  }
  return doors;
}

bool stageShips(int n) {
  return !readFile(std::string(PUXTEN_DATA_DIR) + "/map/map" + std::to_string(n) + ".map").empty();
}

class HubDoors : public testing::TestWithParam<int> {};

TEST_P(HubDoors, LeadToEveryStageOfThisAndEarlierWorlds) {
  int hub = GetParam();
  std::set<int> targets;
  for (const Door& d : doorsOf(hub)) targets.insert(d.target);
  for (int world = 0; world <= hub; world++) {
    for (int n = 10 * world + 10; n < 10 * world + 20; n++) {
      if (!stageShips(n)) continue;
      EXPECT_TRUE(targets.count(n)) << "home stage " << hub << " has no door to stage " << n;
    }
  }
}

TEST_P(HubDoors, TheDoorThatMovesTheStoryOnIsLastAlongTheHall) {
  int hub = GetParam();
  std::vector<Door> doors = doorsOf(hub);
  int floorRow = -1, mainCol = -1;
  for (const Door& d : doors)
    if (d.target == MAIN_STAGE[hub]) floorRow = d.row, mainCol = d.col;
  ASSERT_GE(mainCol, 0) << "no door to stage " << MAIN_STAGE[hub];
  for (const Door& d : doors) {
    if (d.row == floorRow && d.target != MAIN_STAGE[hub]) {
      EXPECT_LT(d.col, mainCol - 5) << "stage " << d.target << " stands beside the main door";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(HomeStages, HubDoors, testing::Values(0, 1, 2, 3));

}  // namespace
