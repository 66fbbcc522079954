// The picture prefetch: one worker walks the list in order; each entry's
// result is published under the lock, and a reader waits on it only for the
// entry it asks for. A picture is handed over only while its file is the
// version the worker read.

#include "textures/picture_prefetch.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/file_path.h"
#include "platform/worker_thread.h"
#include "textures/ORV2Textures.h"

namespace {

struct Entry {
  std::string name;
  bool done = false;   // the worker has been through it
  bool taken = false;  // handed over (or not needed any more)
  std::optional<TDecodeResult> picture;  // set when it decoded
  FileVersion version;                   // of the file it decoded
};

// What the worker made of one file.
struct Decoded {
  TDecodeResult picture;
  FileVersion version;
};

struct Prefetch {
  std::vector<Entry> entries;  // names fixed at the start; the rest under `lock`
  std::mutex lock;
  std::condition_variable entryDone;
  std::atomic<bool> cancel{false};
  std::thread worker;
};

std::unique_ptr<Prefetch> current;

// What the file's reader would decode, and the version of the file read;
// nothing when it cannot be read, is refused, or is of no kind a reader takes.
std::optional<Decoded> ReadAndDecode(const std::string& name) {
  const TPictureDecoder decode = DecoderOf(PictureKindOf(name));
  if (decode == nullptr) return std::nullopt;
  const std::optional<FileContents> file = ReadRegularFile(name);
  if (!file) return std::nullopt;
  TDecodeResult decoded = decode(file->bytes);
  if (decoded.Status != TDecodeStatus::Ok) return std::nullopt;
  return Decoded{std::move(decoded), file->version};
}

void DecodeAll(Prefetch& prefetch) {
  for (Entry& entry : prefetch.entries) {
    std::optional<Decoded> decoded;
    if (!prefetch.cancel) {
      try {
        decoded = ReadAndDecode(entry.name);
      } catch (const std::exception&) {  // out of memory: its reader tries again
      }
    }
    const std::lock_guard<std::mutex> hold(prefetch.lock);
    if (decoded) {
      entry.picture = std::move(decoded->picture);
      entry.version = decoded->version;
    }
    entry.done = true;
    prefetch.entryDone.notify_all();
  }
}

}  // namespace

void PrefetchPictures(const std::vector<std::string>& names, ThreadMaker make) {
  DropPrefetchedPictures();
  current = std::make_unique<Prefetch>();
  current->entries.resize(names.size());
  for (size_t i = 0; i < names.size(); ++i) current->entries[i].name = names[i];
  Prefetch* prefetch = current.get();
  current->worker = StartWorker([prefetch] { DecodeAll(*prefetch); }, make);
  // No worker: no entry would ever be done, so there is no prefetch.
  if (!current->worker.joinable()) current.reset();
}

std::optional<TDecodeResult> TakePrefetchedPicture(const std::string& name) {
  if (!current) return std::nullopt;
  for (Entry& entry : current->entries) {
    if (entry.name != name) continue;
    std::unique_lock<std::mutex> hold(current->lock);
    if (entry.taken) return std::nullopt;
    current->entryDone.wait(hold, [&entry] { return entry.done; });
    entry.taken = true;
    // A file rewritten or replaced since the worker read it is read again
    // by its reader, which then shows the picture as it is now.
    if (!entry.picture || FileVersionOf(name) != entry.version) return std::nullopt;
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
