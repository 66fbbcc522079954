// Finding the show's data directory on Windows: "data" below the current
// directory, or else beside veloria.exe, whatever letters its folder's name
// holds (the wide calls take them all, the ANSI ones would not).

#include "platform/data_directory.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

bool EnterDataDirectory() {
  if (SetCurrentDirectoryW(L"data")) return true;
  std::wstring executable(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
    if (length == 0) return false;
    if (length < executable.size()) {
      executable.resize(length);
      break;
    }
    executable.resize(executable.size() * 2);  // a long path: try again with room for it
  }
  const fs::path folder = fs::path(executable).parent_path();
  return SetCurrentDirectoryW((folder / L"data").c_str()) != 0;
}
