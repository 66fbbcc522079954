// Fixed-function lights: pick one, switch it on with defaults, place it and
// colour it. Every light is positional (w = 1); positions are transformed by
// the modelview matrix current at the call. Needs a current GL context.
#pragma once

#include <GL/gl.h>

#include "geometry/VectorTypes.h"
#include "textures/color.h"

// The light the other calls address (GL_LIGHT0, GL_LIGHT1, ...); 0 until
// SelectLight, which must come first.
extern GLenum CurrentLight;

void SelectLight(GLenum light);
// Places CurrentLight at `position`.
void SetLightPosition(const TVertex& position);
// Sets CurrentLight's ambient, then diffuse colour.
void SetLightColors(const TColorRGBA& ambient, const TColorRGBA& diffuse);
// Enables CurrentLight, white at (10, 10, 10), then GL_LIGHTING and GL_NORMALIZE.
void SetupLight();
