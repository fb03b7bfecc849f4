#include "stage/assets.h"

Assets assets;
