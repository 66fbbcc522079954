// The texture registry: every picture file is decoded and uploaded on its
// first request only, and found again by its name (compared exactly,
// case-sensitively). Pictures with details (textures/picture_detail.h) are
// read at the detail in use: the registry keeps the designed name, the
// texture holds the detailed file, and a detailed file that is missing or
// unreadable quietly gives way to the designed one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "textures/ORV2Textures.h"

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
// pictures into the new context instead of naming textures it never made;
// the detail goes back to the designed one.
void ForgetTextures();

// --- Detail -----------------------------------------------------------------

// The detail pictures are loaded at from now on (1 initially, the designed
// pictures). Pictures loaded before keep theirs.
void SetPictureDetail(int detail);
int PictureDetail();
// The files the registry reads for `names` at the detail in use: each with
// details by its detailed name. For the prefetch.
std::vector<std::string> PictureFilesAtDetail(const std::vector<std::string>& names);
// A frame whose scale changed while the show plays: the detail in use becomes
// `detail`, and every registered picture with details is read at it on the
// prefetch's workers, beside its texture, which keeps showing the detail it
// holds until FillNextPictureDetail gives it the new one.
void ChangePictureDetail(int detail);
// Between two frames: the first picture of the change that the workers have
// decoded goes into its texture (same name, so whatever holds it draws the
// new detail from the next frame on); at most one a call, so no frame waits
// for more than one upload. True while pictures of the change are left.
bool FillNextPictureDetail();
// The detail a registered texture holds: 1 when it was read from the
// designed file (or is not registered).
int TextureDetail(int32_t texture);
// A registered picture's designed size: the designed file's, in the pixels
// the show's layout is made in, whatever detail its texture stores (whose
// own size is StoredPictureSize); 0 x 0 for NoTexture and unknown names.
TPixelSize DesignedSize(int32_t texture);
// The GL memory of every registered texture's levels in bytes, as the GL
// reports their sizes and formats. Call with the rendering context current.
int64_t RegisteredTextureBytes();
