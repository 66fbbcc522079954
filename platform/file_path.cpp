// Windows-style data file names to native paths, and reading whole files:
// what both systems share. Each system's own calls are in file_path_posix.cpp
// and file_path_windows.cpp.

#include "platform/file_path.h"

#include <algorithm>
#include <utility>

std::string NativePath(const std::string& name) {
  std::string path = name;
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string UpperCased(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& name) {
  std::optional<FileContents> contents = ReadRegularFile(name);
  if (!contents) return std::nullopt;
  return std::move(contents->bytes);
}
