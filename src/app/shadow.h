// The player's shadow on the stage surface.
#pragma once

// Where shadow column (px, y) lands: the top of the first solid cell or
// moving platform below the probe. Returns 0 when the search runs off the
// bottom of the grid (nothing to fall on), else 1 with *landingY set.
int shadowLanding(float px, float y, float* landingY);
