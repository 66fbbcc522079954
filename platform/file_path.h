// Data file names keep the show's Windows spelling ("gfx\part.jpg"): they are
// the registry's keys. They become native paths only when a file is opened.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// The largest file ReadRegularFile reads (256 MiB). Far above any file of the
// show (its music is about 5 MB) or one a viewer might put in its place (a
// WAV of the whole music is 35 MB, an 8192 x 8192 BMP 192 MB), so only a
// file that was never meant as data reaches it, and then it is refused
// instead of filling the memory.
constexpr int64_t kMaxDataFileBytes = int64_t{256} << 20;

// One version of a file: a file rewritten or replaced since has another.
struct FileVersion {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0;  // modification time, nanoseconds since 1970
  bool operator==(const FileVersion&) const = default;
};

struct FileContents {
  std::vector<uint8_t> bytes;
  FileVersion version;  // the file's as its reading began
};

// `name` with every '\' turned into '/'.
std::string NativePath(const std::string& name);
// `text` with its ASCII letters upper-cased: names and extensions compare so.
std::string UpperCased(std::string text);
// The whole file `name` (a data name or a native path) and its version. Nothing
// when it is no regular file (a directory, a FIFO, a device, a dangling link),
// cannot be opened, a read fails, or it is larger than kMaxDataFileBytes.
// Never waits on a FIFO or a device. Any thread.
std::optional<FileContents> ReadRegularFile(const std::string& name);
// ReadRegularFile's bytes alone.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& name);
// The version of the file `name` now; nothing when it is no regular file.
std::optional<FileVersion> FileVersionOf(const std::string& name);
// fopen of a UTF-8 path, whatever letters it holds; nullptr when it fails.
std::FILE* OpenFile(const std::string& path, const char* mode);
