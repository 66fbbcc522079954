// Compiled by the Layers test only: a geometry-layer file that reaches up into
// the scenes. The build must refuse it, since geometry links below the scenes.
#include "scenes/heart.h"
