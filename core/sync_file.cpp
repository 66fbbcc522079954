// Writing the sync track file, reading it as the show does, and saying what
// is odd about one.

#include "core/sync_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "core/show.h"

namespace {

constexpr size_t kListBytes = kSyncListLength * sizeof(float);
constexpr const char* kListNames[4] = {"section ends", "channel 1", "channel 2", "channel 3"};
// A file of noise has a thousand odd entries; the first few say enough.
constexpr size_t kFindingsPerList = 5;

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

// "nan", "inf", or seconds such as "0.4 s".
std::string TimeText(float t) {
  if (std::isnan(t)) return "nan";
  if (std::isinf(t)) return t > 0.0f ? "inf" : "-inf";
  char text[32];
  std::snprintf(text, sizeof text, "%.6g s", static_cast<double>(t));
  return text;
}

std::string Count(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Entries before the terminating 0.0; all 1001 when there is none.
int ListEnd(const float* list) {
  int end = 0;
  while (end < kSyncListLength && list[end] != 0.0f) ++end;
  return end;
}

// An entry no time is later than: the cursor over the list stops on it.
bool StopsTheCursor(float t) { return std::isnan(t) || t == INFINITY; }

std::string WhatAStopDoes(int l, int i) {
  if (l > 0) return "no later event of " + std::string(kListNames[l]) + " passes";
  if (i < kShowSections) return "the show stays in section " + std::to_string(i) + " until Escape";
  return "the section cursor stops there";
}

// Appends what is odd about list `l`.
void ListFindings(const float* list, int l, std::vector<std::string>& findings) {
  const std::string name = kListNames[l];
  const int end = ListEnd(list);
  std::vector<std::string> odd;
  int stop = end;  // the entry the cursor can never pass
  std::string stopFinding;  // always said, however many odd entries come first
  for (int i = 0; i < end && stop == end; ++i) {
    const std::string entry = name + ": entry " + std::to_string(i);
    const float t = list[i];
    if (StopsTheCursor(t)) {
      stop = i;
      stopFinding = entry + " is " + TimeText(t) + ", which no time passes; " + WhatAStopDoes(l, i);
    } else if (t < 0.0f) {
      odd.push_back(entry + " is " + TimeText(t) + ", before the music starts; it passes as soon as it is reached");
    } else if (i > 0 && t <= list[i - 1]) {
      odd.push_back(entry + " (" + TimeText(t) + ") is not later than entry " + std::to_string(i - 1) + " (" +
                    TimeText(list[i - 1]) + "), so it passes with it");
    }
  }
  const size_t shown = std::min(odd.size(), kFindingsPerList);
  findings.insert(findings.end(), odd.begin(), odd.begin() + shown);
  if (odd.size() > shown) findings.push_back(name + ": " + Count(odd.size() - shown, "more odd entry", "more odd entries"));
  if (!stopFinding.empty()) findings.push_back(stopFinding);

  const int behindStop = end - stop - 1;
  if (behindStop > 0) {
    findings.push_back(name + ": " + Count(behindStop, "entry", "entries") + " after entry " + std::to_string(stop) +
                       (behindStop == 1 ? " is" : " are") + " never reached");
  }
  size_t unread = 0;
  for (int i = end + 1; i < kSyncListLength; ++i) unread += list[i] != 0.0f;
  if (unread > 0) {
    findings.push_back(name + ": " + Count(unread, "non-zero entry", "non-zero entries") +
                       " after the terminating 0 at entry " + std::to_string(end) + (unread == 1 ? " is" : " are") +
                       " never read");
  }
  if (l == 0 && stop == end && end < kShowSections) {
    findings.push_back(name + ": " + (end == 0 ? std::string("no entries") : Count(end, "entry", "entries")) +
                       "; the show stays in section " + std::to_string(end) + " until Escape");
  }
}

}  // namespace

std::vector<uint8_t> EncodeSyncFile(const SyncLists& lists) {
  CheckList(lists.sectionEnds, "section ends");
  for (int c = 0; c < 3; ++c) CheckList(lists.channels[c], kListNames[c + 1]);

  std::vector<uint8_t> bytes(kSyncFileSize, 0);
  PutList(lists.sectionEnds, bytes.data());
  for (int c = 0; c < 3; ++c) PutList(lists.channels[c], bytes.data() + (c + 1) * kListBytes);
  return bytes;
}

void ReadSyncLists(const uint8_t* data, size_t size, float* const lists[4]) {
  for (size_t l = 0; l < 4; ++l) {
    const size_t offset = l * kListBytes;
    if (offset >= size) break;
    // The file is little-endian, as is every machine the show runs on. A
    // float cut by the end of the file keeps its low bytes from the file.
    std::memcpy(lists[l], data + offset, std::min(kListBytes, size - offset));
  }
}

std::vector<std::string> SyncFileFindings(const float* const lists[4], size_t size) {
  std::vector<std::string> findings;
  const std::string sizeText = std::to_string(size) + " bytes, expected " + std::to_string(kSyncFileSize) + "; ";
  if (size < kSyncFileSize) {
    findings.push_back(sizeText + "the lists past byte " + std::to_string(size) + " are empty");
  } else if (size > kSyncFileSize) {
    findings.push_back(sizeText + "the " + Count(size - kSyncFileSize, "byte", "bytes") + " past byte " +
                       std::to_string(kSyncFileSize) + (size - kSyncFileSize == 1 ? " is" : " are") + " ignored");
  }
  for (int l = 0; l < 4; ++l) ListFindings(lists[l], l, findings);
  return findings;
}

std::vector<std::string> DecodeSyncFile(const std::vector<uint8_t>& bytes, SyncLists& lists) {
  std::vector<float> read(4 * kSyncListLength, 0.0f);
  float* const raw[4] = {&read[0], &read[kSyncListLength], &read[2 * kSyncListLength], &read[3 * kSyncListLength]};
  ReadSyncLists(bytes.data(), bytes.size(), raw);
  std::vector<float>* const out[4] = {&lists.sectionEnds, &lists.channels[0], &lists.channels[1], &lists.channels[2]};
  for (int l = 0; l < 4; ++l) out[l]->assign(raw[l], raw[l] + ListEnd(raw[l]));
  return SyncFileFindings(raw, bytes.size());
}
