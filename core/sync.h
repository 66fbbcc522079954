// The sync track: which section of the show is current, whether a channel
// passed a beat event since it was last asked, and how strongly it pulses.
// Every query reads the program-wide DemoTime (seconds since the music start).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/sync_file.h"

class TSync {
 public:
  // End time of section k at entry k, so entry k - 1 is its start.
  float SectionEnds[kSyncListLength] = {};
  // The current section: cursor into SectionEnds. Never decreases but by Rewind.
  int32_t SectionIndex = 0;
  // Channels[1..3] (index 0 unused): the event lists.
  float Channels[4][kSyncListLength] = {};
  // Per channel: index of the first event not yet passed.
  int32_t Cursors[4] = {};
  // Per channel: the cursor value that SyncEventFired reported last.
  int32_t Reported[4] = {};

  // Reads the file into the four lists as far as it reaches: a short file
  // leaves the rest as they were (0 after creation), extra bytes are ignored.
  // Returns what is odd about the file (SyncFileFindings), empty for a
  // well-formed track; none of it stops the show. Throws EFOpenError
  // ("Cannot open file %s") when the file cannot be opened.
  std::vector<std::string> LoadFromFile(const std::string& FileName);
  // LoadFromFile's reading, on the file's bytes.
  std::vector<std::string> LoadFromBytes(const uint8_t* data, size_t size);
  // Moves SectionIndex and every cursor back to 0; Reported keeps its values.
  void Rewind();

  // The current section index, after advancing over the sections DemoTime passed.
  int32_t SyncSection();
  // True once after one or more events of `Channel` (1..3) have passed.
  bool SyncEventFired(int32_t Channel);
  // 0 or more: a ramp from 0 to 1 over the `Rise` seconds before the next
  // event, else a fall from 1 to 0 over the `Fall` seconds after the last one.
  float SyncEnvelope(int32_t Channel, float Rise, float Fall);
  // SyncEnvelope for a pulse that makes the picture flash: scaled by
  // `Gentle` in the gentle show (GentleShow), the designed one otherwise.
  float SyncPulse(int32_t Channel, float Rise, float Fall, float Gentle);

 private:
  // Moves `cursor` to the first entry of `list` not earlier than DemoTime, the
  // terminating 0, or the last entry.
  static void Advance(const float* list, int32_t& cursor);
};
