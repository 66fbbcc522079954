// Writing the sync track file.

#include "runtime/sync_file.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

void CheckList(const std::vector<float>& list, const char* what) {
  if (list.size() > static_cast<size_t>(kSyncListLength)) {
    throw std::invalid_argument(std::string(what) + ": more than 1001 entries");
  }
  for (size_t i = 0; i < list.size(); ++i) {
    if (!std::isfinite(list[i]) || list[i] <= 0.0f) {
      throw std::invalid_argument(std::string(what) + ": entry " + std::to_string(i) +
                                  " is not a positive time (0 ends a list)");
    }
    if (i > 0 && list[i] <= list[i - 1]) {
      throw std::invalid_argument(std::string(what) + ": entry " + std::to_string(i) +
                                  " is not later than the one before");
    }
  }
}

void PutList(const std::vector<float>& list, uint8_t* out) {
  // Unused entries stay 0; the first of them is the terminator.
  for (size_t i = 0; i < list.size(); ++i) {
    uint32_t bits;
    std::memcpy(&bits, &list[i], sizeof bits);
    for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<uint8_t>(bits >> (8 * b));
  }
}

}  // namespace

std::vector<uint8_t> EncodeSyncFile(const SyncLists& lists) {
  CheckList(lists.sectionEnds, "section ends");
  const char* names[3] = {"channel 1", "channel 2", "channel 3"};
  for (int c = 0; c < 3; ++c) CheckList(lists.channels[c], names[c]);

  std::vector<uint8_t> bytes(kSyncFileSize, 0);
  const size_t listBytes = kSyncListLength * sizeof(float);
  PutList(lists.sectionEnds, bytes.data());
  for (int c = 0; c < 3; ++c) PutList(lists.channels[c], bytes.data() + (c + 1) * listBytes);
  return bytes;
}
