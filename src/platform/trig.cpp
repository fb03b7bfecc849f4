#include "platform/trig.h"

#include <cmath>

TrigState trig;

void fillTrigTables() {
  for (int i = 0; i <= 364; i++) {
    trig.sinTable[i] = std::sin(i * DEG_TO_RAD_PI / 180);
    trig.cosTable[i] = std::cos(i * DEG_TO_RAD_PI / 180);
  }
}

void fillFlightTables() {
  for (int d = -180; d <= -1; d++) {
    trig.sinNeg[-d] = (float)std::sin(d * FLIGHT_PI / 180);
    trig.cosNeg[-d] = (float)std::cos(d * FLIGHT_PI / 180);
  }
  for (int i = 0; i <= 89; i++) {
    trig.tanLow[i] = (float)std::tan((i - 90) * FLIGHT_PI / 180);
    trig.tanHigh[i] = (float)std::tan(i * FLIGHT_PI / 180);
  }
}

// The sine and cosine tables never change, so a reset leaves them filled;
// the flight tables wait for the next stage start.
void resetTrigState() {
  trig = TrigState{};
  fillTrigTables();
}
