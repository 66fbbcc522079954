// MP3 decoding into memory through libmpg123, on plain bytes (no SDL): the
// PCM SDL_mixer's loader makes of the same file for a 16-bit stereo device,
// for the files where that loader hands libmpg123's output on unchanged.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

enum class SoundDecodeStatus {
  Decoded,   // `pcm` holds the whole sound
  Declined,  // a file SDL_mixer would reshape (tags it strips, another rate,
             // mono, another sample format): decode it through SDL_mixer
  Failed,    // not an MP3 the decoder can read to its end, or cancelled
};

struct DecodedSound {
  SoundDecodeStatus status = SoundDecodeStatus::Failed;
  // Interleaved native-endian signed 16-bit stereo frames at the asked rate;
  // empty unless Decoded.
  std::vector<uint8_t> pcm;
  std::string reason;  // why it was declined or failed
};

// Decodes the whole MP3 file `file` for a device of `rate` Hz, 16-bit
// stereo, with the decoder settings and call order of SDL_mixer 2.6's MP3
// loader, so Decoded bytes equal what Mix_LoadWAV gives for the file. Stops
// with Failed soon after `cancel` becomes true. Any thread.
DecodedSound DecodeMp3(const std::vector<uint8_t>& file, int rate, const std::atomic<bool>& cancel);
