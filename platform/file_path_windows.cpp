// Reading whole files through one routine that takes only regular files,
// bounded: the Windows calls, with UTF-16 paths.

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "platform/file_path.h"
#include "platform/wide_text.h"

namespace {

// Growth of the buffer past the size the file had when opened.
constexpr size_t kReadStep = 64 * 1024;

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// 100 ns ticks since 1601 to nanoseconds since 1970.
int64_t UnixNanoseconds(FILETIME time) {
  const int64_t ticks = (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (ticks - 116444736000000000LL) * 100;
}

// The version of an open file; nothing unless it is a regular disk file.
std::optional<FileVersion> VersionOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return FileVersion{info.dwVolumeSerialNumber,
                     (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                     static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow),
                     UnixNanoseconds(info.ftLastWriteTime)};
}

// Opened for reading, shared with writers as POSIX files are; a directory too,
// so that its version can be refused.
HANDLE OpenForReading(const std::string& name) {
  return CreateFileW(WideText(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

std::optional<FileContents> ReadRegularFile(const std::string& name) {
  const Handle file(OpenForReading(name));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::optional<FileVersion> version = VersionOf(file.get());
  if (!version || version->size > kMaxDataFileBytes) return std::nullopt;
  FileContents contents;
  contents.version = *version;
  std::vector<uint8_t>& bytes = contents.bytes;
  bytes.resize(static_cast<size_t>(version->size) + kReadStep);
  size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (filled > static_cast<size_t>(kMaxDataFileBytes)) return std::nullopt;
      bytes.resize(filled + kReadStep);
    }
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - filled, 1u << 30));
    if (!ReadFile(file.get(), bytes.data() + filled, want, &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    filled += n;
  }
  if (filled > static_cast<size_t>(kMaxDataFileBytes)) return std::nullopt;
  bytes.resize(filled);
  return contents;
}

std::optional<FileVersion> FileVersionOf(const std::string& name) {
  const Handle file(OpenForReading(name));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  return VersionOf(file.get());
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(WideText(path).c_str(), WideText(mode).c_str());
}
