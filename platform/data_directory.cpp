// Finding the show's data directory.

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
  const fs::path besideExecutable = executable.parent_path() / "data";
  return chdir(besideExecutable.c_str()) == 0;
}
