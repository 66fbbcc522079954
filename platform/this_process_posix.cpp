// This process as POSIX tells it.

#include "platform/this_process.h"

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

double PeakResidentMB() {
  rusage usage {};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux reports KiB
}

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

std::string MakeTemporaryFile(const std::string& prefix) {
  std::error_code ignored;
  std::string pattern = (std::filesystem::temp_directory_path(ignored) / (prefix + "XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return std::string();
  ::close(fd);
  return pattern;
}
