// The prefetch worker: one thread per prefetch, joined before its outcome is
// read, so the outcome needs no lock.

#include "platform/sound_prefetch.h"

#include <exception>
#include <utility>

#include "platform/file_path.h"

namespace {

DecodedSound ReadAndDecode(const std::string& path, int rate, const std::atomic<bool>& cancel) {
  DecodedSound sound;
  try {
    const std::optional<std::vector<uint8_t>> file = ReadWholeFile(path);
    if (!file) {
      sound.reason = "cannot read " + path;
      return sound;
    }
    return DecodeMp3(*file, rate, cancel);
  } catch (const std::exception& e) {  // out of memory: the load decodes it the usual way
    sound.reason = e.what();
    return sound;
  }
}

}  // namespace

void SoundPrefetch::Start(const std::string& path, int rate, ThreadMaker make) {
  Drop();
  path_ = path;
  rate_ = rate;
  cancel_ = false;
  worker_ = StartWorker([this, path, rate] { result_ = ReadAndDecode(path, rate, cancel_); }, make);
}

std::optional<DecodedSound> SoundPrefetch::Take(const std::string& path, int rate) {
  if (!worker_.joinable()) return std::nullopt;
  if (path != path_ || rate != rate_) {
    Drop();
    return std::nullopt;
  }
  worker_.join();
  DecodedSound sound = std::move(result_);
  result_ = DecodedSound{};
  return sound;
}

void SoundPrefetch::DropUnlessFor(int rate) {
  if (rate != rate_) Drop();
}

void SoundPrefetch::Drop() {
  if (!worker_.joinable()) return;
  cancel_ = true;
  worker_.join();
  result_ = DecodedSound{};
}
