// The stop flag and the slots of the children and files the handlers see to,
// shared by both systems. Everything a handler reads is a lock-free atomic or
// static storage that is never freed.

#include "platform/stop_signal_slots.h"

#include <array>
#include <atomic>
#include <cstring>
#include <thread>

namespace {

constexpr size_t kWatched = 4;
constexpr size_t kPathBytes = 4096;

// A slot's life: free → filling (its owner writes the value) → armed →
// busy (a handler uses the value) → armed … → free (its owner releases it,
// waiting while a handler has it busy).
enum SlotState : int { kFree, kFilling, kArmed, kBusy };

template <typename Value>
struct Slot {
  std::atomic<int> state{kFree};
  Value value{};
};

static_assert(std::atomic<int>::is_always_lock_free);

std::atomic<int> stopSignal{0};
std::array<Slot<ChildProcess>, kWatched> children;
std::array<Slot<char[kPathBytes]>, kWatched> files;

// Claims a free slot and fills it by `fill`; -1 when all are taken.
template <typename Value, typename Fill>
int Claim(std::array<Slot<Value>, kWatched>& slots, Fill fill) {
  for (size_t i = 0; i < slots.size(); ++i) {
    int free = kFree;
    if (slots[i].state.compare_exchange_strong(free, kFilling)) {
      fill(slots[i].value);
      slots[i].state.store(kArmed);
      return static_cast<int>(i);
    }
  }
  return -1;
}

template <typename Value>
void Release(std::array<Slot<Value>, kWatched>& slots, int index) {
  if (index < 0) return;
  std::atomic<int>& state = slots[static_cast<size_t>(index)].state;
  // A handler on another thread holds the slot only for one system call;
  // one on this thread has finished before this runs on.
  for (int armed = kArmed; !state.compare_exchange_weak(armed, kFree); armed = kArmed) {
    std::this_thread::yield();
  }
}

// Calls `use` with each armed slot's value, holding the slot busy meanwhile.
// A slot that is busy already (another handler) or still filling is passed by.
template <typename Value, typename Use>
void ForEachArmed(std::array<Slot<Value>, kWatched>& slots, Use use) {
  for (Slot<Value>& slot : slots) {
    int armed = kArmed;
    if (!slot.state.compare_exchange_strong(armed, kBusy)) continue;
    use(slot.value);
    slot.state.store(kArmed);
  }
}

}  // namespace

namespace stop_signals {

Request RecordStop(int signal) {
  int none = 0;
  if (stopSignal.compare_exchange_strong(none, signal)) return Request::kFirst;
  return none == signal ? Request::kRepeated : Request::kOther;
}

void ForEachWatchedChild(void (*kill)(ChildProcess)) {
  ForEachArmed(children, [kill](ChildProcess child) { kill(child); });
}

void ForEachWatchedFile(void (*remove)(const char* path)) {
  ForEachArmed(files, [remove](const char* path) { remove(path); });
}

}  // namespace stop_signals

int StopSignal() { return stopSignal.load(); }

int KillChildOnStop(ChildProcess child) {
  const int slot = Claim(children, [child](ChildProcess& value) { value = child; });
  // A stop that came before the child was armed (the handler passed its slot
  // by) ends it here.
  if (StopSignal() != 0) stop_signals::KillNow(child);
  return slot;
}

void ForgetChildOnStop(int slot) { Release(children, slot); }

AbruptEndRemoval::AbruptEndRemoval(const std::string& path) : slot_(-1) {
  if (path.size() >= kPathBytes || path.empty()) return;
  slot_ = Claim(files, [&path](char (&value)[kPathBytes]) {
    std::memcpy(value, path.c_str(), path.size() + 1);
  });
}

AbruptEndRemoval::~AbruptEndRemoval() { Release(files, slot_); }
