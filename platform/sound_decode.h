// MP3 decoding into memory through libmpg123, on plain bytes (no SDL): the
// PCM SDL_mixer's loader makes of the same file for a 16-bit stereo device,
// for the files where that loader hands libmpg123's output on unchanged.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// The longest sound that is decoded into memory: ten minutes, 106 MB at
// 44.1 kHz (the show's 200 s take 35 MB). A file that claims or holds more
// is refused before its samples are allocated.
constexpr int64_t kLongestSoundSeconds = 600;
// The bytes of kLongestSoundSeconds of 16-bit stereo at `rate` Hz.
constexpr int64_t LargestSoundBytes(int rate) { return kLongestSoundSeconds * rate * 4; }

enum class SoundDecodeStatus {
  Decoded,   // `pcm` holds the whole sound
  Declined,  // a file SDL_mixer would reshape (tags it strips, another rate,
             // mono, another sample format): decode it through SDL_mixer
  Failed,    // not an MP3 the decoder can read to its end, or cancelled
  TooLong,   // longer than kLongestSoundSeconds: not to be decoded another way either
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
// with Failed soon after `cancel` becomes true, with TooLong as soon as the
// file claims or gives more than LargestSoundBytes. Any thread.
DecodedSound DecodeMp3(const std::vector<uint8_t>& file, int rate, const std::atomic<bool>& cancel);

// The seconds of sound the MP3 file `file` says it holds (its header's frame
// count, or else what its size and bit rate give); 0 when it is no MP3 the
// decoder can open.
double ClaimedMp3Seconds(const std::vector<uint8_t>& file);

// "it claims 3000.0 s of sound, more than the 600 s a sound may have": why a
// sound of `seconds` is refused; empty when it is not.
std::string SoundLengthRefusal(double seconds, bool claimed);
