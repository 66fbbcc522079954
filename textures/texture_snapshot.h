// A texture's level 0 kept as it is, to be put back after drawing has written
// into it: the feedback blurs smear pictures into themselves, and a further
// pass of the show starts from the pictures as they were loaded, without
// reading their files again.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "textures/lit_area.h"
#include "textures/texture_registry.h"

struct TTextureSnapshot {
  int32_t Texture = NoTexture;  // NoTexture: nothing kept
  int32_t Width = 0, Height = 0;
  std::vector<uint8_t> Pixels;  // RGBA, rows bottom-up as the GL holds them
  std::optional<TLitArea> LitArea;  // the record the texture had, if any
};

// Level 0 of `texture` and its lit-area record as they are now; an empty
// snapshot for NoTexture (a picture that failed to load). Leaves the GL state
// as it found it. Call with the rendering context current.
TTextureSnapshot KeepTexture(int32_t texture);
// Writes the kept pixels back into level 0 of the same texture and its
// lit-area record back; nothing for an empty snapshot. The other levels are
// not kept: the feedback copies write level 0 only. Leaves the GL state as it
// found it.
void RestoreTexture(const TTextureSnapshot& snapshot);
