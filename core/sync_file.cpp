// Writing and checking the sync track file.

#include "core/sync_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

constexpr size_t kProblemsPerList = 5;
constexpr const char* kListNames[4] = {"section ends", "channel 1", "channel 2", "channel 3"};

float GetFloat(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t bits = 0;
  for (int b = 0; b < 4; ++b) {
    if (offset + b < bytes.size()) bits |= static_cast<uint32_t>(bytes[offset + b]) << (8 * b);
  }
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string Seconds(float t) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g s", static_cast<double>(t));
  return text;
}

// Reads list `l` of the file into `list` and appends its problems.
void DecodeList(const std::vector<uint8_t>& bytes, int l, std::vector<float>& list, std::vector<std::string>& problems) {
  const std::string name = kListNames[l];
  float raw[kSyncListLength];
  for (int i = 0; i < kSyncListLength; ++i) raw[i] = GetFloat(bytes, (l * kSyncListLength + i) * sizeof(float));
  int end = 0;
  while (end < kSyncListLength && raw[end] != 0.0f) ++end;
  list.assign(raw, raw + end);
  std::vector<std::string> entryProblems;
  for (int i = 0; i < end; ++i) {
    if (!std::isfinite(raw[i]) || raw[i] < 0.0f) {
      entryProblems.push_back(name + ": entry " + std::to_string(i) + " is " + Seconds(raw[i]) +
                              ", not a time in seconds from the start of the music");
    } else if (i > 0 && std::isfinite(raw[i - 1]) && raw[i] <= raw[i - 1]) {
      entryProblems.push_back(name + ": entry " + std::to_string(i) + " (" + Seconds(raw[i]) +
                              ") is not later than entry " + std::to_string(i - 1) + " (" + Seconds(raw[i - 1]) +
                              "): the list must ascend");
    }
  }
  // A file of garbage would list a thousand entries; the first few say enough.
  const size_t shown = std::min(entryProblems.size(), kProblemsPerList);
  problems.insert(problems.end(), entryProblems.begin(), entryProblems.begin() + shown);
  if (entryProblems.size() > shown) {
    problems.push_back(name + ": " + std::to_string(entryProblems.size() - shown) + " more bad entries");
  }
  int unread = 0;
  for (int i = end + 1; i < kSyncListLength; ++i) unread += raw[i] != 0.0f;
  if (unread > 0) {
    problems.push_back(name + ": " + std::to_string(unread) + " non-zero entries after the terminating 0.0 at entry " +
                       std::to_string(end) + " are never read");
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

std::vector<std::string> DecodeSyncFile(const std::vector<uint8_t>& bytes, SyncLists& lists) {
  std::vector<std::string> problems;
  if (bytes.size() != kSyncFileSize) {
    problems.push_back("size is " + std::to_string(bytes.size()) + " bytes, a sync track has " +
                       std::to_string(kSyncFileSize) + " (four lists of 1001 floats)");
  }
  DecodeList(bytes, 0, lists.sectionEnds, problems);
  for (int c = 0; c < 3; ++c) DecodeList(bytes, c + 1, lists.channels[c], problems);
  if (lists.sectionEnds.size() < static_cast<size_t>(kShowSections)) {
    problems.push_back("section ends: " + std::to_string(lists.sectionEnds.size()) +
                       " entries; the show needs 8 to reach section 8 and end by itself");
  }
  return problems;
}
