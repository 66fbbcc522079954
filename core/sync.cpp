// The sync track: section and beat-event cursors over the music's time line.

#include "core/sync.h"

#include <cassert>

#include "core/shared_state.h"
#include "platform/stream_errors.h"

std::vector<std::string> TSync::LoadFromFile(const std::string& FileName) {
  const std::vector<uint8_t> bytes = ReadFileBytes(FileName);
  return LoadFromBytes(bytes.data(), bytes.size());
}

std::vector<std::string> TSync::LoadFromBytes(const uint8_t* data, size_t size) {
  float* const lists[4] = {SectionEnds, Channels[1], Channels[2], Channels[3]};
  ReadSyncLists(data, size, lists);
  return SyncFileFindings(lists, size);
}

void TSync::Rewind() {
  SectionIndex = 0;
  for (int c = 1; c <= 3; ++c) Cursors[c] = 0;
}

void TSync::Advance(const float* list, int32_t& cursor) {
  while (list[cursor] < DemoTime && list[cursor] != 0.0f && cursor < kSyncListLength - 1) {
    ++cursor;
  }
}

int32_t TSync::SyncSection() {
  Advance(SectionEnds, SectionIndex);
  return SectionIndex;
}

bool TSync::SyncEventFired(int32_t Channel) {
  assert(Channel >= 1 && Channel <= 3 && "SyncEventFired: channels are 1..3; section changes come from SyncSection");
  Advance(Channels[Channel], Cursors[Channel]);
  if (Cursors[Channel] == Reported[Channel]) return false;
  Reported[Channel] = Cursors[Channel];
  return true;
}

float TSync::SyncEnvelope(int32_t Channel, float Rise, float Fall) {
  assert(Channel >= 1 && Channel <= 3 && "SyncEnvelope: channels are 1..3; section changes come from SyncSection");
  const float* list = Channels[Channel];
  int32_t& c = Cursors[Channel];
  Advance(list, c);
  const float t = DemoTime;
  const float next = list[c];
  // With no event ahead (the cursor rests on the terminator or on the event
  // time itself) there is no rising value: count it as negative so the fall
  // after the last event applies. A rise of 0 gives minus infinity, which
  // switches the ramp off.
  float v = -1.0f;
  if (t < next) v = (t + Rise - next) / Rise;
  if (v < 0.0f) {
    const float prev = c > 0 ? list[c - 1] : 0.0f;
    v = (prev + Fall - t) / Fall;
  }
  if (v < 0.0f) v = 0.0f;
  return v;
}

float TSync::SyncPulse(int32_t Channel, float Rise, float Fall, float Gentle) {
  const float v = SyncEnvelope(Channel, Rise, Fall);
  return GentleShow ? v * Gentle : v;
}
