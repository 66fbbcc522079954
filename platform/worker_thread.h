// Worker threads that may fail to start: under process or memory limits
// std::thread's constructor throws, and a worker that only gets work done
// ahead of time is then simply not there.
#pragma once

#include <functional>
#include <thread>

// How a worker's thread is made. The program uses MakeThread; tests pass one
// that throws std::system_error as std::thread does when the system refuses.
using ThreadMaker = std::thread (*)(std::function<void()> work);

// A std::thread running `work`.
std::thread MakeThread(std::function<void()> work);
// `work` running on a thread from `make`; when none can be started, a thread
// object that runs nothing (not joinable), and the caller does without.
std::thread StartWorker(std::function<void()> work, ThreadMaker make = MakeThread);
