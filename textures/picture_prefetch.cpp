// The picture prefetch: workers claim the entries in list order; each
// entry's result is published under the lock, and a reader waits on it only
// for the entry it asks for. A worker claims no further entry while the
// pictures not yet taken hold the look-ahead bound, unless a reader waits
// (for an entry no worker may have reached yet). A picture is handed over
// only while its file is the version the worker read.

#include "textures/picture_prefetch.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/file_path.h"
#include "platform/worker_thread.h"
#include "textures/ORV2Textures.h"
#include "textures/picture_detail.h"

namespace {

struct Entry {
  std::string name;
  bool claimed = false;  // a worker has started on it
  bool done = false;     // the worker has been through it
  bool taken = false;    // handed over (or not needed any more)
  std::optional<TDecodeResult> picture;  // set when it decoded
  std::optional<TMipmapChain> chain;     // instead, for a detailed picture
  FileVersion version;                   // of the file it decoded
};

// What a worker made of one file.
struct Decoded {
  TDecodeResult picture;
  FileVersion version;
  std::optional<TMipmapChain> chain;
};

struct Prefetch {
  std::vector<Entry> entries;  // names fixed at the start; the rest under `lock`
  std::mutex lock;
  std::condition_variable changed;
  size_t nextEntry = 0;      // the next entry a worker claims
  size_t heldBytes = 0;      // pixels decoded and not taken
  int waitingReaders = 0;
  bool cancel = false;
  std::vector<std::thread> workers;

  // Ends the workers: after the entries they are on, before any further.
  ~Prefetch() {
    {
      const std::lock_guard<std::mutex> hold(lock);
      cancel = true;
      changed.notify_all();
    }
    for (std::thread& worker : workers) worker.join();
  }
};

std::unique_ptr<Prefetch> current;

size_t PixelBytes(const Entry& entry) {
  size_t bytes = entry.picture ? entry.picture->Image.Pixels.size() : 0;
  if (entry.chain) {
    for (const TImage& level : entry.chain->Levels) bytes += level.Pixels.size();
  }
  return bytes;
}

// What the file's reader would decode, and the version of the file read;
// nothing when it cannot be read, is refused, or is of no kind a reader takes.
std::optional<Decoded> ReadAndDecode(const std::string& name) {
  const TPictureDecoder decode = DecoderOf(PictureKindOf(name));
  if (decode == nullptr) return std::nullopt;
  const std::optional<FileContents> file = ReadRegularFile(name);
  if (!file) return std::nullopt;
  TDecodeResult decoded = decode(file->bytes);
  if (decoded.Status != TDecodeStatus::Ok) return std::nullopt;
  if (DetailOfPictureFile(name) != kDesignedDetail) {
    return Decoded{{}, file->version, BuildMipmapChain(std::move(decoded.Image))};
  }
  return Decoded{std::move(decoded), file->version, std::nullopt};
}

void DecodeInTurn(Prefetch& prefetch) {
  std::unique_lock<std::mutex> hold(prefetch.lock);
  for (;;) {
    prefetch.changed.wait(hold, [&prefetch] {
      return prefetch.cancel || prefetch.nextEntry == prefetch.entries.size() ||
             prefetch.heldBytes < kPrefetchLookAheadBytes || prefetch.waitingReaders > 0;
    });
    if (prefetch.cancel || prefetch.nextEntry == prefetch.entries.size()) return;
    Entry& entry = prefetch.entries[prefetch.nextEntry++];
    entry.claimed = true;
    hold.unlock();
    std::optional<Decoded> decoded;
    try {
      decoded = ReadAndDecode(entry.name);
    } catch (const std::exception&) {  // out of memory: its reader tries again
    }
    hold.lock();
    if (decoded && !entry.taken) {
      if (decoded->chain) {
        entry.chain = std::move(decoded->chain);
      } else {
        entry.picture = std::move(decoded->picture);
      }
      entry.version = decoded->version;
      prefetch.heldBytes += PixelBytes(entry);
    }
    entry.done = true;
    prefetch.changed.notify_all();
  }
}

}  // namespace

void PrefetchPictures(const std::vector<std::string>& names, ThreadMaker make) {
  DropPrefetchedPictures();
  current = std::make_unique<Prefetch>();
  current->entries.resize(names.size());
  for (size_t i = 0; i < names.size(); ++i) current->entries[i].name = names[i];
  Prefetch* prefetch = current.get();
  const int workers = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kPrefetchWorkers);
  for (int k = 0; k < workers; ++k) {
    std::thread worker = StartWorker([prefetch] { DecodeInTurn(*prefetch); }, make);
    if (!worker.joinable()) break;
    current->workers.push_back(std::move(worker));
  }
  // No worker: no entry would ever be done, so there is no prefetch.
  if (current->workers.empty()) current.reset();
}

namespace {

// The entry of `name` once its worker is through it, marked taken and its
// bytes no longer held; null when there is none to take.
Entry* TakeEntry(const std::string& name) {
  if (!current) return nullptr;
  for (Entry& entry : current->entries) {
    if (entry.name != name) continue;
    std::unique_lock<std::mutex> hold(current->lock);
    if (entry.taken) return nullptr;
    ++current->waitingReaders;
    current->changed.notify_all();
    current->changed.wait(hold, [&entry] { return entry.done; });
    --current->waitingReaders;
    entry.taken = true;
    current->heldBytes -= PixelBytes(entry);
    current->changed.notify_all();
    // A file rewritten or replaced since the worker read it is read again
    // by its reader, which then shows the picture as it is now.
    if (FileVersionOf(name) != entry.version) return nullptr;
    return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<TDecodeResult> TakePrefetchedPicture(const std::string& name) {
  Entry* entry = TakeEntry(name);
  if (entry == nullptr || !entry->picture) return std::nullopt;
  return std::move(entry->picture);
}

std::optional<TMipmapChain> TakePrefetchedChain(const std::string& name) {
  Entry* entry = TakeEntry(name);
  if (entry == nullptr || !entry->chain) return std::nullopt;
  return std::move(entry->chain);
}

bool PrefetchedPictureReady(const std::string& name) {
  if (!current) return true;
  const std::lock_guard<std::mutex> hold(current->lock);
  for (const Entry& entry : current->entries) {
    if (entry.name == name && !entry.taken) return entry.done;
  }
  return true;
}

void DropPrefetchedPictures() { current.reset(); }
