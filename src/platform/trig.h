// Trigonometric tables filled at start-up and at every stage start.
#pragma once

constexpr double DEG_TO_RAD_PI = 3.141592;  // the tables' own pi
constexpr double FLIGHT_PI = 3.14159265358979;

extern double SinTable[365];
extern double CosTable[365];
extern float sinNegTable[181];
extern float cosNegTable[181];
extern float tanLowTable[90];
extern float tanHighTable[90];

void fillTrigTables();    // SinTable, CosTable
void fillFlightTables();  // the four float tables
