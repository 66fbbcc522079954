// The sync track file: four lists of 1001 little-endian 32-bit floats
// (section ends, then channels 1, 2 and 3), 16016 bytes, no header. Each list
// is ascending, in seconds from the start of the music, and ends at its first
// 0.0 unless it uses all 1001 entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// Sections a sync track must end for the show to stop by itself (0..7).
constexpr int kShowSections = 8;

// Reads file bytes back into `lists`: each list's entries up to its first
// 0.0, all 1001 when it has none; a short file reads as if padded with 0.
// Returns every problem found, one sentence each naming the list and entry:
// a size other than 16016 bytes, an entry that is negative or not finite, a
// list not strictly ascending, non-zero entries after a terminator (never
// read), fewer than 8 section ends; bad entries at most five per list, then
// their count. Empty when the file is a valid track.
std::vector<std::string> DecodeSyncFile(const std::vector<uint8_t>& bytes, SyncLists& lists);
