// Switches, chests, the goal chest and hazards as the player walks into them.
#include "bombs/bomb_state.h"
#include "platform/sound.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

int sideCellContact(float x, float y, int row, int col) {
  MapCell& cell = cellAt(row, col);
  switch (cell.kind) {
    case EMPTY:
    case WARP:
    case STAGE_DOOR: return 0;
    case SWITCH_A:
    case SWITCH_B:
    case SWITCH_C:
    case CRUSHER_SWITCH:
      if (touchesStrict(x, y, row, col)) {
        if (cell.state == 0) {
          playWave("SE/Switch.wav");
          // The blast sound cuts the click off.
          if (cell.kind == CRUSHER_SWITCH) playWave("SE/Tbomb.wav");
        }
        // Latching: the target is driven again on every frame of contact.
        cell.state = 1;
        triggerSwitchTarget(cell.linkRow, cell.linkCol);
      }
      return 0;
    case TIMED_SWITCH:
      if (touchesStrict(x, y, row, col) && cell.state == 0) {
        playWave("SE/Switch.wav");
        cell.state = 1;
        addSwitchTimer(row, col);
        triggerSwitchTarget(cell.linkRow, cell.linkCol);
      }
      return 0;
    case GOAL_CHEST:
      if (touchesInclusive(x, y, row, col)) {
        if (cell.state == 0) {
          playWave("SE/tresure.wav");
          cell.state = 1;
        }
        runPlayerHook(playerHooks.openedGoal);
      }
      return 0;
    case CHEST_ROLLING_BOMB:
    case CHEST_BARREL_BOMB:
    case CHEST_THROWN_BOMB:
      // The opening animation and the reward follow in the stage drawing.
      if (touchesInclusive(x, y, row, col) && cell.state == 0) {
        playWave("SE/tresure.wav");
        cell.state = 1;
      }
      return 0;
    case HAZARD_A:
    case HAZARD_B:
    case HAZARD_C:
    case HAZARD_D:
      if (touchesInclusive(x, y, row, col)) runPlayerHook(playerHooks.touchedHazard);
      return 0;
    default: return 1;
  }
}
