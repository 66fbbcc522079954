// Picture operations for the generated art: scalar fields (noise, gradients,
// glows, shapes, text masks, blur) and an RGBA canvas that fields are
// coloured onto. Every operation is deterministic: same arguments, same floats.
//
// Axes: x to the right, y downwards, row 0 at the top (as the art is
// designed); ToImage turns the canvas into bottom-up rows for the encoders.
// Coordinates are in pixels; values nominally 0..1.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "textures/image_decode.h"

struct TField {
  int Width = 0;
  int Height = 0;
  std::vector<float> V;  // Width * Height values, row by row

  TField() = default;
  TField(int width, int height, float value = 0.0f);
  float& At(int x, int y) { return V[static_cast<size_t>(y) * Width + x]; }
  float At(int x, int y) const { return V[static_cast<size_t>(y) * Width + x]; }
  // Bilinear sample at (x, y), wrapping around both edges.
  float SampleWrapped(float x, float y) const;
};

struct TRGB {
  float r = 0.0f, g = 0.0f, b = 0.0f;
};

// A colour ramp: `At` picks the colour at `position` (0..1) between stops.
struct TPalette {
  struct Stop {
    float position;
    TRGB color;
  };
  std::vector<Stop> stops;  // ascending positions
  TRGB At(float position) const;
};

struct TCanvas {
  int Width = 0;
  int Height = 0;
  std::vector<float> Px;  // R, G, B, A per pixel, row by row

  TCanvas(int width, int height, TRGB fill = {}, float alpha = 1.0f);
  float* At(int x, int y) { return &Px[(static_cast<size_t>(y) * Width + x) * 4]; }
};

// --- Detail ----------------------------------------------------------------
// A picture made at detail D is D times its designed size each way, and
// every length of its recipe (positions, radii, font sizes, blur and glow
// widths, line widths) is D times as long: averaged down D x D it is the
// designed picture, its edges D times finer. Detail 1 is the designed picture.

// The designed picture's pixel coordinate at the centre of pixel `p` of the
// picture at `detail`: p itself at detail 1.
float DesignedCoordinate(int p, int detail);
// Generate over a picture at `detail` of a width x height designed picture:
// f takes the designed coordinates of each pixel's centre.
TField GenerateDesigned(int width, int height, int detail, const std::function<float(float x, float y)>& f);
// A soft edge value (0..1 over about a designed pixel) steepened about its
// midpoint to ramp over one pixel of the picture at `detail`; unchanged at
// detail 1.
float SharpenEdge(float value, int detail);

// --- Field generators ------------------------------------------------------

// f(x, y) for every pixel: the escape hatch for formulas of one picture.
TField Generate(int width, int height, const std::function<float(float x, float y)>& f);
// Fractal value noise in 0..1 that tiles over the field in both directions:
// `cells` lattice cells across the first octave, each octave doubling them
// at half the amplitude.
TField Noise(int width, int height, int cells, int octaves, uint32_t seed);
// Elliptic glow around (cx, cy) with radii rx, ry: (1 - d)^exponent inside
// the ellipse (d = normalised distance), exactly 0 outside.
TField Glow(int width, int height, float cx, float cy, float rx, float ry, float exponent);
// Anti-aliased text in `fontPattern` (see FindFontFile), `pixelHeight` pixels
// per em and glyphs scaled by `xScale` across, centred on (cx, cy), with
// `tracking` extra pixels between letters. Coverage 0..1.
TField Text(int width, int height, const std::string& text, const std::string& fontPattern, bool bold,
            float pixelHeight, float xScale, float cx, float cy, float tracking = 0.0f);

// --- Field filters ---------------------------------------------------------

// Near-Gaussian blur of `radius` pixels (three box passes); edges clamp, or
// wrap when `wrap` is set (for tiling pictures).
TField Blur(const TField& field, float radius, bool wrap = false);
// f(value) for every value.
TField Map(const TField& field, const std::function<float(float)>& f);
// f(a, b) value by value; both fields have the same size.
TField Combine(const TField& a, const TField& b, const std::function<float(float, float)>& f);
// Moves every value by the vector (dx, dy) * strength read from two fields:
// a domain warp that makes straight shapes flow.
TField Warp(const TField& field, const TField& dx, const TField& dy, float strength);

// --- Canvas operations -----------------------------------------------------

// canvas.rgb += field * color * gain (light added onto the picture).
void AddLight(TCanvas& canvas, const TField& field, TRGB color, float gain = 1.0f);
// The show's title lettering: `text` (a coverage field) as a sharp `core`
// with a near glow blurred by `spread` pixels and a far glow by 4 * spread.
void AddGlowingText(TCanvas& canvas, const TField& text, TRGB core, TRGB nearGlow, TRGB farGlow, float spread);
// canvas.rgb += palette(field) * gain: each value picks its own colour (a
// palette that starts at black adds nothing where the field is 0).
void AddPalette(TCanvas& canvas, const TField& field, const TPalette& palette, float gain = 1.0f);
// canvas.rgb = palette(field): paints every pixel.
void PaintPalette(TCanvas& canvas, const TField& field, const TPalette& palette);
// canvas.rgb *= field (shading, vignettes).
void Shade(TCanvas& canvas, const TField& field);
// canvas = canvas * (1 - field) + color * field (opaque paint through a mask).
void PaintOver(TCanvas& canvas, const TField& field, TRGB color);
// canvas.rgb += layer.rgb * gain (composing two lit pictures).
void AddCanvas(TCanvas& canvas, const TCanvas& layer, float gain = 1.0f);
// canvas = canvas * (1 - mask) + layer * mask (a painted picture through a mask).
void PaintCanvasOver(TCanvas& canvas, const TField& mask, const TCanvas& layer);
// canvas.a = field.
void SetAlpha(TCanvas& canvas, const TField& field);
// Film-like soft clip of the colours, so bright additive layers roll off
// into white instead of clipping hard: c' = 1 - exp(-c * exposure).
void ToneMap(TCanvas& canvas, float exposure);

// 8-bit image, rows bottom-up: RGB, or RGBA with `withAlpha`. Values are
// clamped to 0..1 and rounded.
TImage ToImage(const TCanvas& canvas, bool withAlpha);
