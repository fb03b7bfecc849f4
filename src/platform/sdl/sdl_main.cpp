// Placeholder game.
#include "app/app_state.h"
int main() { return runStartup(); }
