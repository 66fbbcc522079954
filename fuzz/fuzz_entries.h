// The readers' entry points as the fuzz targets and the regression replay
// drive them: bytes in, a verdict out. Shared by fuzz/*_fuzzer.cpp and the
// test suite so a crash found by fuzzing replays through the same code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// How a reader took a byte string: read cleanly, refused with a clear error,
// or read and played with a warning to the viewer (only the sync track has
// one). Anything else (a crash, a sanitizer report, a broken invariant) ends
// the process.
enum class FuzzVerdict { Decoded, Refused, Warned };

// The 3DS reader and loader: open, count, decode and build every mesh.
// Refused when the reader or the loader threw.
FuzzVerdict FuzzModel(const uint8_t* data, size_t size);
// The picture decoders. Decoded pictures must have positive sides and
// exactly Width * Height * BytesPerPixel bytes of pixels.
FuzzVerdict FuzzTGA(const uint8_t* data, size_t size);
FuzzVerdict FuzzBMP(const uint8_t* data, size_t size);
FuzzVerdict FuzzJPEG(const uint8_t* data, size_t size);
// The sync track: loaded as the show loads it and queried over the whole
// show; its findings must agree with whether the section cursor can reach
// the show's end. Every byte string plays: Warned when there were findings.
FuzzVerdict FuzzSync(const uint8_t* data, size_t size);

// The entry point for a target name ("model", "tga", "bmp", "jpeg", "sync");
// null for any other name.
using FuzzEntry = FuzzVerdict (*)(const uint8_t* data, size_t size);
FuzzEntry FindFuzzEntry(const std::string& target);
