// MP3 encoding of the rendered music through libmp3lame.
#pragma once

#include <cstdint>
#include <vector>

// The MP3 file for interleaved stereo 16-bit samples at 44.1 kHz: 192 kbps
// constant bit rate, joint stereo, no ID3 tag, and a LAME info tag in the
// first frame giving the encoder delay and padding, so decoders that honour it
// (libmpg123 does) return exactly the input samples, none added at either end.
// Deterministic. Throws std::runtime_error when libmp3lame fails.
std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& interleaved);
