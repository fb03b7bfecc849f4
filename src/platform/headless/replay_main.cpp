// Placeholder runner.
#include "app/app_state.h"
int main() { return runStartup(); }
