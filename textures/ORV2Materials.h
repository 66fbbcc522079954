// Where scenes get their textures and the basic draw state: the registry that
// loads each picture file once, the state helpers every drawing routine
// starts from, and the surface Material of textured meshes.
#pragma once

#include <cstdint>
#include <string>

#include "textures/color.h"

// The texture value of a picture that failed to load (and of unknown names).
extern int32_t NoTexture;

// --- Texture registry (names are compared exactly, case-sensitively) -------

// The texture of a picture file of any supported format, decoded and uploaded
// on the first request only. A failed load returns NoTexture and is tried
// again (with its message) on the next request.
int32_t LoadTexture(const std::string& name);
// The same for a TGA file read by the stand-alone TGA reader.
int32_t LoadTGAFileOnce(const std::string& name);
// Decodes and uploads the picture file `name` again as a fresh texture that
// takes the place of its registered one (deleted), so whatever was copied into
// the old one is gone; loads it like LoadTexture when it is not registered.
// When the file no longer loads, the reader's message shows and the old
// texture stays. Returns the texture now registered.
int32_t ReloadTexture(const std::string& name);
// The texture registered last under `name`, or NoTexture.
int32_t FindTexture(const std::string& name);
// Appends an entry; earlier entries with the same name stay but are shadowed.
void RegisterTexture(const std::string& name, int32_t texture);
// Number of entries appended so far (failed loads included).
int32_t RegisteredTextureCount();

// --- State helpers ---------------------------------------------------------

// Untextured opaque white, no texgen, no blending.
void ResetDrawState();
// ResetDrawState, then 2D texturing on with `texture` bound, white.
void UseTexture(int32_t texture);
// ResetDrawState, then `color`.
void UseColor(const TColorRGBA& color);
// Sphere-map texture-coordinate generation for S and T on / off.
void EnableTexGen();
void DisableTexGen();
// The GL's default material for front and back faces.
void SetDefaultMaterial();

// --- Surface material ------------------------------------------------------

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
