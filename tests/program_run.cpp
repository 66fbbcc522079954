// Running the built show from tests.

#include "tests/program_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <fstream>
#include <sstream>

#include "platform/file_path.h"

namespace fs = std::filesystem;

fs::path TempDir(const char* name) {
  const fs::path dir = fs::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

void MakeShowDataDir(const fs::path& dataDir) {
  fs::create_directories(dataDir / "music");
  fs::copy(fs::path(VELORIA_DATA_DIR) / "mod", dataDir / "mod", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void WriteSyncTrack(const fs::path& dataDir, const SyncLists& lists) {
  const std::vector<uint8_t> bytes = EncodeSyncFile(lists);
  std::ofstream(dataDir / "music" / "sync.snc", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  return ReadWholeFile(path.string()).value_or(std::vector<uint8_t>{});
}

int RunVeloria(const fs::path& dir, const std::string& args, const std::string& environment, int limitSeconds) {
  const std::string limit = limitSeconds > 0 ? " timeout -s KILL " + std::to_string(limitSeconds) : "";
  const std::string command = "cd '" + dir.string() + "' && " + environment + limit + " '" VELORIA_BINARY "' " +
                              args + " >stdout.txt 2>stderr.txt";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

BackgroundRun::BackgroundRun(const fs::path& dir, const std::string& args, const std::string& environment) {
  // exec: the shell becomes the program, so the process id is the program's.
  // The stop signals start at their defaults, also when the test runner was
  // started in the background (SIGINT ignored).
  const std::string command = "cd '" + dir.string() + "' && exec env --default-signal=INT,TERM,HUP " + environment +
                              " '" VELORIA_BINARY "' " + args + " >stdout.txt 2>stderr.txt";
  pid_ = ::fork();
  if (pid_ == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
}

BackgroundRun::~BackgroundRun() {
  if (pid_ > 0 && status_ < 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

void BackgroundRun::Signal(int signal) {
  if (pid_ > 0 && status_ < 0) ::kill(pid_, signal);
}

bool BackgroundRun::WaitForFile(const fs::path& path, int limitSeconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
  while (std::chrono::steady_clock::now() < end) {
    if (fs::exists(path)) return true;
    int status = 0;
    if (status_ >= 0 || ::waitpid(pid_, &status, WNOHANG) == pid_) {
      if (status_ < 0) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return fs::exists(path);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

int BackgroundRun::Wait(int limitSeconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
  while (status_ < 0) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (std::chrono::steady_clock::now() >= end) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      status_ = kRunTimedOut;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  return status_;
}
