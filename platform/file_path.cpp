// Windows-style data file names to native paths, and reading whole files.

#include "platform/file_path.h"

#include <algorithm>
#include <fstream>
#include <iterator>

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
  std::ifstream in(NativePath(name), std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}
