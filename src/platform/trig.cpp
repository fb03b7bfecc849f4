#include "platform/trig.h"

#include <cmath>

double SinTable[365];
double CosTable[365];
float sinNegTable[181];
float cosNegTable[181];
float tanLowTable[90];
float tanHighTable[90];

void fillTrigTables() {
  for (int i = 0; i <= 364; i++) {
    SinTable[i] = std::sin(i * DEG_TO_RAD_PI / 180);
    CosTable[i] = std::cos(i * DEG_TO_RAD_PI / 180);
  }
}

void fillFlightTables() {
  for (int d = -180; d <= -1; d++) {
    sinNegTable[-d] = (float)std::sin(d * FLIGHT_PI / 180);
    cosNegTable[-d] = (float)std::cos(d * FLIGHT_PI / 180);
  }
  for (int i = 0; i <= 89; i++) {
    tanLowTable[i] = (float)std::tan((i - 90) * FLIGHT_PI / 180);
    tanHighTable[i] = (float)std::tan(i * FLIGHT_PI / 180);
  }
}
