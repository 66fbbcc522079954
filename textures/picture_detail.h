// Pictures at more than their designed detail. The generator makes every
// picture but the smeared ones again at 2 and 4 times its designed size,
// with every length of its recipe scaled alike, and writes each beside the
// designed file under the name screens' asset folders use ("gfx\veloria@4x.jpg").
// The show picks the detail from its frame's scale, so a picture on a 4K
// screen has about a texel per pixel.
//
// Pure logic: names and choices, no GL.
#pragma once

#include <string>
#include <vector>

// The details pictures are made at; 1 is the designed picture.
constexpr int kDesignedDetail = 1;
constexpr int kLargestDetail = 4;
const std::vector<int>& PictureDetails();  // 1, 2, 4

// The largest side of any designed picture the show loads at a detail
// ("gfx\veloria.jpg", "gfx\backscroll.jpg"), which a texture at detail D must
// hold D times over.
constexpr int kLargestDesignedPictureSide = 1024;

// Whether `name` (a data name) is made at every detail. False for the four
// pictures the feedback blur smears ("gfx\vantrel.jpg", "gfx\author.jpg",
// "gfx\greets.jpg", "gfx\end.jpg"): it copies the designed frame into them
// texel by texel, so they keep their designed size at every scale; and for
// the sphere map "gfx\map.jpg", which the metaballs' swirl draws texel for
// texel into the designed frame's corner, where its size would decide the
// mipmap level sampled and so what the swirl's feedback picture holds.
bool PictureHasDetails(const std::string& name);

// The file of `name` at `detail`: "gfx\veloria@2x.jpg" for
// ("gfx\veloria.jpg", 2); `name` itself at detail 1.
std::string DetailedPictureName(const std::string& name, int detail);

// The detail of a file named as DetailedPictureName names it: 2 for
// "gfx\veloria@2x.jpg", 1 for a designed name.
int DetailOfPictureFile(const std::string& file);

// The detail a frame of scale K asks for: 1 at K 1 (the designed frame), else
// the smallest detail of at least K, up to kLargestDetail (2 for K up to 2, 4
// above), and no more than a texture of `maxTextureSize` texels a side holds
// (kLargestDesignedPictureSide times the detail); 1 when that is unknown (0).
int PictureDetailFor(double scale, int maxTextureSize);
