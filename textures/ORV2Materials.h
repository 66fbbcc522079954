// Where scenes get their textures and the basic draw state: the registry that
// loads each picture file once, the state helpers every drawing routine
// starts from, and the surface Material of textured meshes.
#pragma once

#include "textures/draw_state.h"
#include "textures/material.h"
#include "textures/texture_registry.h"
