// The surface Material of textured meshes: how a mesh colours its surface.
#pragma once

#include <cstdint>
#include <string>

#include "textures/color.h"

// How a textured mesh colours its surface. A new Material is plain colour
// (0, 0, 0, 0) without blending.
class Material {
 public:
  int32_t Texture = 0;
  std::string Name;  // kept with the material; no operation reads it
  bool Blend = false;
  bool TexGen = false;
  int32_t Kind = 0;  // 0 = plain colour, 1 = textured, others leave the state alone
  TColorRGBA Color;
  TColorRGBA BlendColor;
  bool AlphaBlend = false;  // textured blending: alpha blend instead of colour modulation
  std::string Comment;      // kept with the material; no operation reads it

  // Sets the GL state for this material.
  void Apply() const;
};
