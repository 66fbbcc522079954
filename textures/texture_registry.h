// The texture registry: every picture file is decoded and uploaded on its
// first request only, and found again by its name (compared exactly,
// case-sensitively).
#pragma once

#include <cstdint>
#include <string>

// The texture value of a picture that failed to load (and of unknown names).
constexpr int32_t NoTexture = -1;

// The texture of a picture file of any supported format, decoded and uploaded
// on the first request only. A failed load returns NoTexture and is tried
// again (with its message) on the next request.
int32_t LoadTexture(const std::string& name);
// The same for a TGA file read by the stand-alone TGA reader.
int32_t LoadTGAFileOnce(const std::string& name);
// The texture registered last under `name`, or NoTexture.
int32_t FindTexture(const std::string& name);
// Appends an entry; earlier entries with the same name stay but are shadowed.
void RegisterTexture(const std::string& name, int32_t texture);
// Number of entries appended so far (failed loads included).
int32_t RegisteredTextureCount();
// Drops every entry and lit-area record once the GL context that held the
// textures is gone, so a show run again in the same process loads its
// pictures into the new context instead of naming textures it never made.
void ForgetTextures();
