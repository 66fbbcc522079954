// MP3 files to 16-bit stereo PCM through libmpg123, reading from memory.
// SDL_mixer decodes an MP3 with libmpg123 too, then converts its output to
// the device's format; where no conversion is needed the bytes are
// libmpg123's own, which this module reproduces. Anything SDL_mixer would
// change (a tag it cuts off, a rate, channel count or sample format of its
// own) is declined rather than imitated.

#include "platform/sound_decode.h"

#include <mpg123.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Output read per call: about a second of 44.1 kHz stereo.
constexpr size_t kReadBytes = 1 << 18;

// The reader libmpg123 pulls from: the file's bytes and a position.
struct MemorySource {
  const std::vector<uint8_t>* bytes;
  int64_t position;
};

mpg123_ssize_t ReadSource(void* handle, void* buffer, size_t count) {
  auto* source = static_cast<MemorySource*>(handle);
  const size_t left = source->bytes->size() - static_cast<size_t>(source->position);
  const size_t n = count < left ? count : left;
  std::memcpy(buffer, source->bytes->data() + source->position, n);
  source->position += static_cast<int64_t>(n);
  return static_cast<mpg123_ssize_t>(n);
}

// As SDL_mixer's reader: a position past the end stops at the end.
off_t SeekSource(void* handle, off_t offset, int whence) {
  auto* source = static_cast<MemorySource*>(handle);
  const int64_t size = static_cast<int64_t>(source->bytes->size());
  int64_t target = offset;
  if (whence == SEEK_CUR) target += source->position;
  if (whence == SEEK_END) target += size;
  if (target < 0) return -1;
  source->position = target < size ? target : size;
  return static_cast<off_t>(source->position);
}

struct HandleCloser {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};
using Mpg123Handle = std::unique_ptr<mpg123_handle, HandleCloser>;

bool HasAt(const std::vector<uint8_t>& file, size_t offset, const char* text) {
  const size_t n = std::strlen(text);
  return offset + n <= file.size() && std::memcmp(file.data() + offset, text, n) == 0;
}

bool EndsWithin(const std::vector<uint8_t>& file, size_t fromEnd, const char* text) {
  return file.size() >= fromEnd && HasAt(file, file.size() - fromEnd, text);
}

// Why SDL_mixer would not hand this file to libmpg123 as it is: it takes an
// MP3 only by an ID3v2 tag or an MPEG-1 layer III frame at the start, and it
// cuts ID3v1, APE, Lyrics3 and MusicMatch tags off the end. Empty when it
// would pass the file on whole.
std::string ReshapedBySdlMixer(const std::vector<uint8_t>& file) {
  const bool id3v2 = HasAt(file, 0, "ID3");
  const bool frame = file.size() >= 2 && file[0] == 0xFF && (file[1] == 0xFA || file[1] == 0xFB);
  if (!id3v2 && !frame) return "it does not start like an MP3 file";
  if (EndsWithin(file, 128, "TAG")) return "it ends in an ID3v1 tag";
  if (EndsWithin(file, 32, "APETAGEX")) return "it ends in an APE tag";
  if (EndsWithin(file, 9, "LYRICSEND") || EndsWithin(file, 9, "LYRICS200")) return "it ends in a Lyrics3 tag";
  if (EndsWithin(file, 48, "Brava Software Inc.")) return "it ends in a MusicMatch tag";
  return {};
}

// Empty when the decoder's output format is the device's own.
std::string OtherFormat(long rate, int channels, int encoding, int deviceRate) {
  if (encoding != MPG123_ENC_SIGNED_16) return "its samples are not 16-bit";
  if (channels != 2) return "it is not stereo";
  if (rate != deviceRate) return "its rate is " + std::to_string(rate) + " Hz";
  return {};
}

DecodedSound Outcome(SoundDecodeStatus status, std::string reason) {
  DecodedSound sound;
  sound.status = status;
  sound.reason = std::move(reason);
  return sound;
}

DecodedSound Failure(const char* step, mpg123_handle* handle, int result) {
  const char* text = result == MPG123_ERR && handle != nullptr ? mpg123_strerror(handle) : mpg123_plain_strerror(result);
  return Outcome(SoundDecodeStatus::Failed, std::string(step) + ": " + text);
}

// A decoder reading `source`, with SDL_mixer's output formats: every rate
// it knows, mono or stereo, any of six sample formats, so it keeps the
// stream's own. Opened; null with `failure` set when it cannot be.
Mpg123Handle OpenDecoder(MemorySource& source, DecodedSound& failure) {
  // A no-op since libmpg123 1.27, still required by older ones.
  if (mpg123_init() != MPG123_OK) {
    failure = Outcome(SoundDecodeStatus::Failed, "mpg123_init failed");
    return nullptr;
  }
  int result = MPG123_OK;
  Mpg123Handle handle(mpg123_new(nullptr, &result));
  if (!handle) {
    failure = Failure("mpg123_new", nullptr, result);
    return nullptr;
  }
  result = mpg123_replace_reader_handle(handle.get(), ReadSource, SeekSource, nullptr);
  if (result != MPG123_OK) {
    failure = Failure("mpg123_replace_reader_handle", handle.get(), result);
    return nullptr;
  }
  result = mpg123_format_none(handle.get());
  if (result != MPG123_OK) {
    failure = Failure("mpg123_format_none", handle.get(), result);
    return nullptr;
  }
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  constexpr int kEncodings = MPG123_ENC_SIGNED_8 | MPG123_ENC_UNSIGNED_8 | MPG123_ENC_SIGNED_16 |
                             MPG123_ENC_UNSIGNED_16 | MPG123_ENC_SIGNED_32 | MPG123_ENC_FLOAT_32;
  for (size_t i = 0; i < rateCount; ++i) mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, kEncodings);
  result = mpg123_open_handle(handle.get(), &source);
  if (result != MPG123_OK) {
    failure = Failure("mpg123_open_handle", handle.get(), result);
    return nullptr;
  }
  return handle;
}

}  // namespace

std::string SoundLengthRefusal(double seconds, bool claimed) {
  if (seconds <= static_cast<double>(kLongestSoundSeconds)) return {};
  char text[160];
  std::snprintf(text, sizeof text, "it %s %.1f s of sound, more than the %lld s a sound may have",
                claimed ? "claims" : "holds more than", seconds, static_cast<long long>(kLongestSoundSeconds));
  return text;
}

double ClaimedMp3Seconds(const std::vector<uint8_t>& file) {
  MemorySource source{&file, 0};
  DecodedSound failure;
  Mpg123Handle handle = OpenDecoder(source, failure);
  if (!handle) return 0.0;
  long rate = 0;
  int channels = 0, encoding = 0;
  const off_t frames = mpg123_length(handle.get());
  if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || frames <= 0) return 0.0;
  return static_cast<double>(frames) / static_cast<double>(rate);
}

DecodedSound DecodeMp3(const std::vector<uint8_t>& file, int rate, const std::atomic<bool>& cancel) {
  if (std::string reason = ReshapedBySdlMixer(file); !reason.empty()) {
    return Outcome(SoundDecodeStatus::Declined, std::move(reason));
  }
  MemorySource source{&file, 0};
  DecodedSound failure;
  Mpg123Handle handle = OpenDecoder(source, failure);
  if (!handle) return failure;

  long streamRate = 0;
  int channels = 0, encoding = 0;
  int result = mpg123_getformat(handle.get(), &streamRate, &channels, &encoding);
  if (result != MPG123_OK) return Failure("mpg123_getformat", handle.get(), result);
  if (std::string reason = OtherFormat(streamRate, channels, encoding, rate); !reason.empty()) {
    return Outcome(SoundDecodeStatus::Declined, std::move(reason));
  }
  // SDL_mixer seeks to the start before it plays: done here too, so the
  // decoder starts from the same state.
  const off_t start = mpg123_seek(handle.get(), 0, SEEK_SET);
  if (start < 0) return Failure("mpg123_seek", handle.get(), static_cast<int>(start));

  DecodedSound sound;
  const int64_t largest = LargestSoundBytes(rate);
  const off_t frames = mpg123_length(handle.get());
  if (std::string refusal = SoundLengthRefusal(static_cast<double>(frames) / rate, true); !refusal.empty()) {
    return Outcome(SoundDecodeStatus::TooLong, std::move(refusal));
  }
  if (frames > 0) sound.pcm.reserve(static_cast<size_t>(frames) * 4 + kReadBytes);
  for (;;) {
    if (cancel.load(std::memory_order_relaxed)) return Outcome(SoundDecodeStatus::Failed, "cancelled");
    // A file that claims less than it holds is refused once it passes the limit.
    if (static_cast<int64_t>(sound.pcm.size()) > largest) {
      return Outcome(SoundDecodeStatus::TooLong,
                     SoundLengthRefusal(static_cast<double>(sound.pcm.size()) / 4.0 / rate, false));
    }
    const size_t filled = sound.pcm.size();
    sound.pcm.resize(filled + kReadBytes);
    size_t done = 0;
    result = mpg123_read(handle.get(), sound.pcm.data() + filled, kReadBytes, &done);
    // The last samples come with MPG123_DONE, in the same call.
    sound.pcm.resize(filled + done);
    if (result == MPG123_OK) continue;
    if (result == MPG123_DONE) break;
    if (result != MPG123_NEW_FORMAT) return Failure("mpg123_read", handle.get(), result);
    result = mpg123_getformat(handle.get(), &streamRate, &channels, &encoding);
    if (result != MPG123_OK) return Failure("mpg123_getformat", handle.get(), result);
    if (std::string reason = OtherFormat(streamRate, channels, encoding, rate); !reason.empty()) {
      return Outcome(SoundDecodeStatus::Declined, "part of it changes format: " + reason);
    }
  }
  sound.status = SoundDecodeStatus::Decoded;
  return sound;
}
