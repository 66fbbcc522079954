// The show's pictures, made from the operations of picture_ops.h: one maker
// per file, each returning the file's bytes. Deterministic.
//
// The pictures with details (textures/picture_detail.h) are made at any
// detail D: D times the designed size, every length of the recipe D times as
// long (picture_ops.h). The sizes below are the designed ones.
//
// Full-screen pictures are stretched to 800 x 600 on screen, so their
// shapes are drawn 0.75 times as wide as high in the (square) picture to
// look round there. Pictures drawn additively are bright art on black.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "textures/picture_detail.h"

struct TCanvas;

struct TPictureFile {
  const char* name;  // the show's data name, e.g. "gfx\\part.jpg"
  std::vector<uint8_t> (*make)(int detail);  // kDesignedDetail only where !PictureHasDetails(name)
};

// Every picture the show loads, with its maker.
const std::vector<TPictureFile>& ShowPictures();
// veloria-data's writer: writes every picture below `outDir`, and those with
// details again at each detail up to `largestDetail` (name@2x.jpg, ...), the
// pictures made on every core at once.
void WritePictures(const std::filesystem::path& outDir, int largestDetail);

// The JPEG file of a picture at `detail`: quality 92 for the designed
// picture, less for the detailed ones, whose finer texels hide the coding's
// losses better and would otherwise make the data folder grow 20 times over.
std::vector<uint8_t> EncodePictureJPEG(const TCanvas& canvas, int detail);

// --- Full-screen pictures (picture_screens.cpp) ----------------------------
std::vector<uint8_t> MakeProgressPicture(int detail);   // 800 x 600, room for the bar at x 220..586, y 285..292
// The smeared four have their designed detail only (as has the sphere map).
std::vector<uint8_t> MakeGroupLogoPicture();  // 512 x 512 "VANTREL"
std::vector<uint8_t> MakeTitlePicture(int detail);      // 1024 x 1024 "VELORIA"
std::vector<uint8_t> MakeAuthorPicture();     // 512 x 512 credits
std::vector<uint8_t> MakeGreetingsPicture();  // 512 x 512 greetings
std::vector<uint8_t> MakeEndPicture();        // 512 x 512 end

// --- Surface textures (picture_textures.cpp) -------------------------------
std::vector<uint8_t> MakeGlowSprite(int detail);       // 128 x 128 soft round glow
std::vector<uint8_t> MakeEnvironmentMap();   // 256 x 256 sphere map, designed detail only
std::vector<uint8_t> MakeHeartSurface(int detail);     // 512 x 512 red surface, tiles
std::vector<uint8_t> MakeBackScroll(int detail);       // 1024 x 256 band, tiles across
std::vector<uint8_t> MakeFlushStrip(int detail);       // 512 x 128 strip, tiles across
std::vector<uint8_t> MakeFrameOverlay(int detail);     // 512 x 512 RGBA run-length TGA frame
std::vector<uint8_t> MakeSmallLogo(int detail);        // 256 x 256 emblem

// --- Ring sprites (picture_sprites.cpp) -------------------------------------
// Sprite k (1..8) of the picture ring, 256 x 256, at `detail`.
std::vector<uint8_t> MakeRingSprite(int k, int detail);
