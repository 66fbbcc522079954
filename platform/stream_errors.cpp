// The runtime's file and list errors, and reading a whole data file.

#include "platform/stream_errors.h"

#include <fstream>
#include <iterator>

#include "platform/file_path.h"

EFOpenError::EFOpenError(const std::string& fileName)
    : std::runtime_error("Cannot open file " + fileName) {}

EReadError::EReadError() : std::runtime_error("Stream read error") {}

EListError::EListError(int32_t index)
    : std::runtime_error("List index out of bounds (" + std::to_string(index) + ")") {}

std::vector<uint8_t> ReadFileBytes(const std::string& fileName) {
  std::ifstream in(NativePath(fileName), std::ios::binary);
  if (!in) throw EFOpenError(fileName);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EFOpenError(fileName);
  return bytes;
}
