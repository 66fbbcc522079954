// Reading whole files through one routine that takes only regular files,
// bounded: the POSIX calls.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/file_path.h"

namespace {

// Growth of the buffer past the size the file had when opened (a file that
// grows meanwhile, or one of the kernel's that reports size 0).
constexpr size_t kReadStep = 64 * 1024;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool RegularWithinBound(const struct stat& info) { return S_ISREG(info.st_mode) && info.st_size <= kMaxDataFileBytes; }

FileVersion VersionOf(const struct stat& info) {
  return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino), static_cast<int64_t>(info.st_size),
          static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileContents> ReadRegularFile(const std::string& name) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer. The type is then
  // checked on the descriptor, so no other file can take the name between
  // the check and the reads; a regular file's reads ignore the flag.
  const Descriptor file(::open(NativePath(name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat info {};
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !RegularWithinBound(info)) return std::nullopt;
  FileContents contents;
  contents.version = VersionOf(info);
  std::vector<uint8_t>& bytes = contents.bytes;
  bytes.resize(static_cast<size_t>(info.st_size) + kReadStep);
  size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (filled > static_cast<size_t>(kMaxDataFileBytes)) return std::nullopt;
      bytes.resize(filled + kReadStep);
    }
    const ssize_t n = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    filled += static_cast<size_t>(n);
  }
  if (filled > static_cast<size_t>(kMaxDataFileBytes)) return std::nullopt;
  bytes.resize(filled);
  return contents;
}

std::optional<FileVersion> FileVersionOf(const std::string& name) {
  struct stat info {};
  if (::stat(NativePath(name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return VersionOf(info);
}

std::FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
