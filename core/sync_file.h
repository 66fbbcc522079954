// The sync track file: four lists of 1001 little-endian 32-bit floats
// (section ends, then channels 1, 2 and 3), 16016 bytes, no header. Each list
// is ascending, in seconds from the start of the music, and ends at its first
// 0.0 unless it uses all 1001 entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/show.h"

constexpr int kSyncListLength = 1001;
constexpr size_t kSyncFileSize = 4 * kSyncListLength * sizeof(float);

// The lists of a sync file without their terminators.
struct SyncLists {
  std::vector<float> sectionEnds;
  std::vector<float> channels[3];  // channels 1, 2, 3
};

// The file bytes for `lists`. Throws std::invalid_argument when a list has
// more than 1001 entries, an entry that is 0, negative or not finite, or is
// not strictly ascending: any of these would change what the show reads.
std::vector<uint8_t> EncodeSyncFile(const SyncLists& lists);

// Copies file bytes into the four lists (section ends, channels 1..3) as the
// show reads the file: list l takes bytes l * 4004 to (l + 1) * 4004 as far
// as the file reaches, entries past its end keep their values, and bytes past
// 16016 are ignored. No size is an error.
void ReadSyncLists(const uint8_t* data, size_t size, float* const lists[4]);

// What is odd about a sync file of `size` bytes whose lists read as `lists`,
// one sentence each naming the list and entry and saying what the show does
// with it: a size other than 16016 bytes, an entry that is negative or not
// finite, a list not strictly ascending, non-zero entries after a terminator
// (never read), a section list that never reaches section 8; odd entries at
// most five per list, then their count. Empty for a well-formed track.
std::vector<std::string> SyncFileFindings(const float* const lists[4], size_t size);

// `bytes` read by ReadSyncLists into empty lists: each list's entries up to
// its first 0.0 (all 1001 when it has none) into `lists`, and the findings.
std::vector<std::string> DecodeSyncFile(const std::vector<uint8_t>& bytes, SyncLists& lists);
