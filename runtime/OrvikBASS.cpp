// The sample table and its playback on the platform's mixer. Sample i owns
// the mixer channels 3i .. 3i + 2, grouped under the tag i.

#include "runtime/OrvikBASS.h"

#include <algorithm>

#include "core/show.h"
#include "platform/file_path.h"

TSampleTable SampleTable;

namespace {

bool ValidSlot(int32_t index) {
  return index >= 0 && index < SampleTable.count && SampleTable.handles[index] != nullptr;
}

int FirstChannel(int32_t index) { return index * kPlaybacksPerSample; }

}  // namespace

bool InitMusic(WindowHandle) {
  std::string error;
  return OpenAudioOutput(kMusicSampleRate, error);
}

void PrefetchSample(const std::string& FileName) { PrefetchSound(NativePath(FileName), kMusicSampleRate); }

int32_t LoadSample(const std::string& FileName) {
  if (SampleTable.count >= kMaxSamples) return -1;
  const int32_t index = SampleTable.count;
  SampleTable.handles[index] = LoadSound(NativePath(FileName));
  if (SampleTable.handles[index] == nullptr) return -1;
  EnsureChannels(FirstChannel(index + 1));
  GroupChannels(FirstChannel(index), kPlaybacksPerSample, index);
  ++SampleTable.count;
  return index;
}

void PlaySample(int32_t Index, int32_t Volume, int32_t Pan) {
  if (!ValidSlot(Index)) return;
  const int channel = TakeGroupChannel(Index);
  if (channel < 0) return;
  uint8_t left = 0, right = 0;
  PanLevels(Pan, left, right);
  PlayOnChannel(channel, SampleTable.handles[Index], MixerVolume(Volume), left, right);
}

void StopSample(int32_t Index) {
  if (ValidSlot(Index)) HaltGroup(Index);
}

void FreeSample(int32_t Index) {
  if (!ValidSlot(Index)) return;
  HaltGroup(Index);
  FreeSound(SampleTable.handles[Index]);
  SampleTable.handles[Index] = nullptr;
}

void ShutdownMusic() {
  for (int32_t i = 0; i < SampleTable.count; ++i) HaltGroup(i);
  for (int32_t i = 0; i < SampleTable.count; ++i) FreeSample(i);
  CloseAudioOutput();
  SampleTable = TSampleTable{};
}

int32_t SamplePlaybacks(int32_t Index) {
  if (!ValidSlot(Index)) return 0;
  int32_t playing = 0;
  for (int c = 0; c < kPlaybacksPerSample; ++c) {
    if (ChannelPlaying(FirstChannel(Index) + c)) ++playing;
  }
  return playing;
}

int MixerVolume(int32_t Volume) {
  const int32_t v = std::clamp(Volume, 0, 100);
  return (v * 128 + 50) / 100;
}

void PanLevels(int32_t Pan, uint8_t& Left, uint8_t& Right) {
  const int32_t p = std::clamp(Pan, -100, 100);
  Left = static_cast<uint8_t>(p > 0 ? 255 * (100 - p) / 100 : 255);
  Right = static_cast<uint8_t>(p < 0 ? 255 * (100 + p) / 100 : 255);
}
