// Trigonometric tables, filled at start-up and at every stage start.
#pragma once

constexpr double DEG_TO_RAD_PI = 3.141592;  // the tables' own pi
constexpr double FLIGHT_PI = 3.14159265358979;

struct TrigState {
  double sinTable[365];  // whole degrees, with the tables' own pi
  double cosTable[365];
  float sinNeg[181];  // [k]: sin(-k degrees)
  float cosNeg[181];
  float tanLow[90];  // [i]: tan(i - 90 degrees)
  float tanHigh[90];
};
extern TrigState trig;

void fillTrigTables();    // sinTable, cosTable
void fillFlightTables();  // the four float tables
void resetTrigState();    // sine and cosine filled, flight tables zero
