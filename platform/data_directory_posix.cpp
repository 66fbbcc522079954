// Finding the show's data directory on POSIX systems.

#include "platform/data_directory.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

bool EnterDataDirectory() {
  if (chdir("data") == 0) return true;
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (error) return false;
  const fs::path folder = executable.parent_path();
  for (const fs::path& candidate : {folder / "data", folder / ".." / "share" / "veloria" / "data"}) {
    if (chdir(candidate.c_str()) == 0) return true;
  }
  return false;
}
