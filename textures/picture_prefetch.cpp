// The picture prefetch: one worker walks the list in order; each entry's
// result is published under the lock, and a reader waits on it only for the
// entry it asks for.

#include "textures/picture_prefetch.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/file_path.h"
#include "textures/ORV2Textures.h"

namespace {

struct Entry {
  std::string name;
  bool done = false;   // the worker has been through it
  bool taken = false;  // handed over (or not needed any more)
  std::optional<TDecodeResult> picture;  // set when it decoded
};

struct Prefetch {
  std::vector<Entry> entries;  // names fixed at the start; the rest under `lock`
  std::mutex lock;
  std::condition_variable entryDone;
  std::atomic<bool> cancel{false};
  std::thread worker;
};

std::unique_ptr<Prefetch> current;

// What the file's reader would decode; nothing when it cannot be read, is
// refused, or is of no kind a reader takes.
std::optional<TDecodeResult> ReadAndDecode(const std::string& name) {
  const TPictureDecoder decode = DecoderOf(PictureKindOf(name));
  if (decode == nullptr) return std::nullopt;
  const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(name);
  if (!bytes) return std::nullopt;
  TDecodeResult decoded = decode(*bytes);
  if (decoded.Status != TDecodeStatus::Ok) return std::nullopt;
  return decoded;
}

void DecodeAll(Prefetch& prefetch) {
  for (Entry& entry : prefetch.entries) {
    std::optional<TDecodeResult> picture;
    if (!prefetch.cancel) {
      try {
        picture = ReadAndDecode(entry.name);
      } catch (const std::exception&) {  // out of memory: its reader tries again
      }
    }
    const std::lock_guard<std::mutex> hold(prefetch.lock);
    entry.picture = std::move(picture);
    entry.done = true;
    prefetch.entryDone.notify_all();
  }
}

}  // namespace

void PrefetchPictures(const std::vector<std::string>& names) {
  DropPrefetchedPictures();
  current = std::make_unique<Prefetch>();
  current->entries.resize(names.size());
  for (size_t i = 0; i < names.size(); ++i) current->entries[i].name = names[i];
  Prefetch* prefetch = current.get();
  current->worker = std::thread([prefetch] { DecodeAll(*prefetch); });
}

std::optional<TDecodeResult> TakePrefetchedPicture(const std::string& name) {
  if (!current) return std::nullopt;
  for (Entry& entry : current->entries) {
    if (entry.name != name) continue;
    std::unique_lock<std::mutex> hold(current->lock);
    if (entry.taken) return std::nullopt;
    current->entryDone.wait(hold, [&entry] { return entry.done; });
    entry.taken = true;
    return std::move(entry.picture);
  }
  return std::nullopt;
}

void DropPrefetchedPictures() {
  if (!current) return;
  current->cancel = true;
  current->worker.join();
  current.reset();
}
