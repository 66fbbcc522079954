// The show's pictures, made from the operations of picture_ops.h: one maker
// per file, each returning the file's bytes. Deterministic.
//
// Full-screen pictures are stretched to 800 x 600 on screen, so their
// shapes are drawn 0.75 times as wide as high in the (square) picture to
// look round there. Pictures drawn additively are bright art on black.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

struct TPictureFile {
  const char* name;  // the show's data name, e.g. "gfx\\part.jpg"
  std::vector<uint8_t> (*make)();
};

// Every picture the show loads, with its maker.
const std::vector<TPictureFile>& ShowPictures();
// veloria-data's writer: writes every picture below `outDir`.
void WritePictures(const std::filesystem::path& outDir);

// --- Full-screen pictures (picture_screens.cpp) ----------------------------
std::vector<uint8_t> MakeProgressPicture();   // 800 x 600, room for the bar at x 220..586, y 285..292
std::vector<uint8_t> MakeGroupLogoPicture();  // 512 x 512 "VANTREL"
std::vector<uint8_t> MakeTitlePicture();      // 1024 x 1024 "VELORIA"
std::vector<uint8_t> MakeAuthorPicture();     // 512 x 512 credits
std::vector<uint8_t> MakeGreetingsPicture();  // 512 x 512 greetings
std::vector<uint8_t> MakeEndPicture();        // 512 x 512 end

// --- Surface textures (picture_textures.cpp) -------------------------------
std::vector<uint8_t> MakeGlowSprite();       // 128 x 128 soft round glow
std::vector<uint8_t> MakeEnvironmentMap();   // 256 x 256 sphere map
std::vector<uint8_t> MakeHeartSurface();     // 512 x 512 red surface, tiles
std::vector<uint8_t> MakeBackScroll();       // 1024 x 256 band, tiles across
std::vector<uint8_t> MakeFlushStrip();       // 512 x 128 strip, tiles across
std::vector<uint8_t> MakeFrameOverlay();     // 512 x 512 RGBA run-length TGA frame
std::vector<uint8_t> MakeSmallLogo();        // 256 x 256 emblem

// --- Ring sprites (picture_sprites.cpp) -------------------------------------
// Sprite k (1..8) of the picture ring, 256 x 256.
std::vector<uint8_t> MakeRingSprite(int k);
