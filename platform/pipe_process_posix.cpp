// Child processes through posix_spawn: a pipe into the child's input, its
// output into a log file, and SIGPIPE kept away from the parent.

#include "platform/pipe_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/stop_signals.h"

extern char** environ;

namespace {

constexpr int kPipeBytes = 1 << 20;

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindOnPath(const std::string& name) {
  if (name.empty()) return std::string();
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  const std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    // An empty entry stands for the current directory, as in execvp.
    const std::string dir = colon == start ? "." : dirs.substr(start, colon - start);
    const std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = colon + 1;
  }
  return std::string();
}

PipeProcess::~PipeProcess() {
  if (input_ >= 0) ::close(static_cast<int>(input_));
  input_ = -1;
  Kill();
  Reap(/*wait=*/true);
}

bool PipeProcess::Start(const std::vector<std::string>& argv, const std::string& logPath,
                        std::string& error) {
  if (argv.empty()) {
    error = "no program to start";
    return false;
  }
  const std::string program = FindOnPath(argv[0]);
  if (program.empty()) {
    error = argv[0] + " was not found on PATH";
    return false;
  }
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  // The child gets the default SIGPIPE action even if this process ignores it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t child = -1;
  const int result = posix_spawn(&child, program.c_str(), &actions, &attributes, args.data(), environ);
  pid_ = child;
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(fds[0]);
  if (result != 0) {
    ::close(fds[1]);
    pid_ = -1;
    error = "cannot start " + program + ": " + std::strerror(result);
    return false;
  }
  input_ = fds[1];
  reaped_ = false;
  stopWatch_ = KillChildOnStop(pid_);
  // A larger pipe means fewer switches between writer and reader for big
  // writes; the system's limit may refuse it, which only costs speed.
  ::fcntl(static_cast<int>(input_), F_SETPIPE_SZ, kPipeBytes);
  return true;
}

bool PipeProcess::Write(const void* data, size_t size, std::string& error) {
  if (input_ < 0) {
    error = "the program's input is closed";
    return false;
  }
  // SIGPIPE is blocked around the write so a closed pipe shows as EPIPE; a
  // signal it raised is taken back before unblocking.
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  const char* bytes = static_cast<const char*>(data);
  bool ok = true;
  while (size > 0) {
    const ssize_t written = ::write(static_cast<int>(input_), bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      error = errno == EPIPE ? "the program stopped reading its input"
                             : std::string("cannot write to the program: ") + std::strerror(errno);
      if (errno == EPIPE) {
        const timespec now{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
      }
      ok = false;
      break;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return ok;
}

void PipeProcess::Reap(bool wait) {
  if (pid_ <= 0 || reaped_) return;
  // Waited for without being reaped first, so its process id stays taken
  // until the stop handler no longer kills it.
  siginfo_t ended{};
  int result;
  do {
    result = ::waitid(P_PID, static_cast<id_t>(pid_), &ended, WEXITED | WNOWAIT | (wait ? 0 : WNOHANG));
  } while (result < 0 && errno == EINTR);
  if (result == 0 && ended.si_pid == 0) return;  // still running
  ForgetChildOnStop(stopWatch_);
  stopWatch_ = -1;
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(static_cast<pid_t>(pid_), &status, 0);
  } while (done < 0 && errno == EINTR);
  status_ = done == pid_ ? status : -1;
  reaped_ = true;
}

bool PipeProcess::Running() {
  Reap(/*wait=*/false);
  return pid_ > 0 && !reaped_;
}

void PipeProcess::Kill() {
  if (pid_ > 0 && !reaped_) ::kill(static_cast<pid_t>(pid_), SIGKILL);
}

bool PipeProcess::Finish(std::string& how) {
  if (input_ >= 0) ::close(static_cast<int>(input_));
  input_ = -1;
  if (pid_ <= 0) {
    how = "never started";
    return false;
  }
  Reap(/*wait=*/true);
  if (status_ == -1) {
    how = "lost track of the process";
    return false;
  }
  if (WIFEXITED(status_)) {
    how = "exit status " + std::to_string(WEXITSTATUS(status_));
    return WEXITSTATUS(status_) == 0;
  }
  how = WIFSIGNALED(status_) ? "signal " + std::to_string(WTERMSIG(status_)) : "an unknown end";
  return false;
}
