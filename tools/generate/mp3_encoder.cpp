// MP3 encoding through libmp3lame, into memory, with the LAME tag patched
// into the placeholder frame the encoder leaves at the start.

#include "tools/generate/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/show.h"

namespace {

constexpr int kKbps = 192;
// Frames handed to the encoder per call; its output bound is 1.25 n + 7200.
constexpr size_t kChunkFrames = 1 << 16;

struct LameDeleter {
  void operator()(lame_global_flags* gf) const { lame_close(gf); }
};

void Check(int result, const char* what) {
  if (result < 0) throw std::runtime_error(std::string("mp3 encoder: ") + what + " failed (" + std::to_string(result) + ")");
}

}  // namespace

std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& interleaved) {
  std::unique_ptr<lame_global_flags, LameDeleter> gf(lame_init());
  if (!gf) throw std::runtime_error("mp3 encoder: lame_init failed");
  lame_set_in_samplerate(gf.get(), kMusicSampleRate);
  lame_set_out_samplerate(gf.get(), kMusicSampleRate);
  lame_set_num_channels(gf.get(), 2);
  lame_set_mode(gf.get(), JOINT_STEREO);
  lame_set_brate(gf.get(), kKbps);
  lame_set_VBR(gf.get(), vbr_off);
  // 3 of 0 (best) .. 9: near the best, at a fraction of its time.
  lame_set_quality(gf.get(), 3);
  lame_set_bWriteVbrTag(gf.get(), 1);
  lame_set_write_id3tag_automatic(gf.get(), 0);
  Check(lame_init_params(gf.get()), "lame_init_params");

  std::vector<uint8_t> mp3;
  std::vector<uint8_t> chunk(kChunkFrames + kChunkFrames / 4 + 7200);
  const size_t frames = interleaved.size() / 2;
  for (size_t done = 0; done < frames; done += kChunkFrames) {
    const size_t n = std::min(kChunkFrames, frames - done);
    // lame_encode_buffer_interleaved takes a non-const pointer but only reads.
    const int bytes = lame_encode_buffer_interleaved(gf.get(), const_cast<short*>(interleaved.data() + 2 * done),
                                                     static_cast<int>(n), chunk.data(), static_cast<int>(chunk.size()));
    Check(bytes, "lame_encode_buffer_interleaved");
    mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + bytes);
  }
  const int tail = lame_encode_flush(gf.get(), chunk.data(), static_cast<int>(chunk.size()));
  Check(tail, "lame_encode_flush");
  mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + tail);

  // The first frame is the encoder's placeholder for the tag: overwrite it.
  uint8_t tag[4096];
  const size_t tagSize = lame_get_lametag_frame(gf.get(), tag, sizeof tag);
  if (tagSize == 0 || tagSize > sizeof tag || tagSize > mp3.size()) {
    throw std::runtime_error("mp3 encoder: no LAME tag frame");
  }
  std::copy(tag, tag + tagSize, mp3.begin());
  return mp3;
}
