// puxten-stagec: compiles data/stages/*.stage into map/map<N>.map.
#include "stage_source.h"

int main(int argc, char** argv) { return runStageCompiler(argc, argv); }
