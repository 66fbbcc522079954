// Starting worker threads, with the system's refusal turned into a thread
// that is not there.

#include "platform/worker_thread.h"

#include <system_error>
#include <utility>

std::thread MakeThread(std::function<void()> work) { return std::thread(std::move(work)); }

std::thread StartWorker(std::function<void()> work, ThreadMaker make) {
  try {
    return make(std::move(work));
  } catch (const std::system_error&) {
    return std::thread();
  }
}
