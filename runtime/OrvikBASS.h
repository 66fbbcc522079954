// OrvikBASS: the soundtrack's playback. Loaded samples live in a table of 128
// slots and callers hold only slot indexes; -1 stands for no sample, and
// every routine given -1 or a freed slot does nothing.
//
// Call order: [PrefetchSample ->] InitMusic -> LoadSample -> PlaySample ...
// -> FreeSample -> ShutdownMusic. Main thread only; the mixer plays on its
// own thread, a prefetch decodes on another.
#pragma once

#include <cstdint>
#include <string>

#include "platform/audio.h"
#include "platform/video.h"

constexpr int32_t kMaxSamples = 128;
// Simultaneous playbacks of one sample; a further start replaces the oldest.
constexpr int32_t kPlaybacksPerSample = 3;

struct TSampleTable {
  SoundHandle handles[kMaxSamples] = {};  // slot i: the sample with index i; null = cleared
  int32_t count = 0;                      // slots in use; the next load goes to slot count
};
extern TSampleTable SampleTable;

// Opens the default output device at 44100 Hz. False when it cannot; the show
// then runs silently on its own clock. `Window` is accepted for the call's
// shape: the output is not tied to a window here.
bool InitMusic(WindowHandle Window);
// Starts decoding the file (a show data name) on a worker thread for the
// device InitMusic opens, so that its LoadSample takes the samples instead
// of decoding them then. Changes no result: a file that fails here loads, or
// fails, in LoadSample as it would have without. The prefetch ends as soon
// as it cannot be used: InitMusic opens no device or one of another format,
// or LoadSample asks for another file; else ShutdownMusic ends it.
void PrefetchSample(const std::string& FileName);
// Loads the whole file (a show data name, '\' allowed) into slot count and
// returns its index. -1 when the file cannot be loaded, when no device is open
// or when all 128 slots are taken; a failed load leaves its slot for the next.
int32_t LoadSample(const std::string& FileName);
// Starts one playback from the start, not looping. Volume 0..100 (full),
// Pan -100 (left) .. 100 (right); values outside are clamped.
void PlaySample(int32_t Index, int32_t Volume, int32_t Pan);
// Stops the sample's playbacks; the sample stays loaded.
void StopSample(int32_t Index);
// Stops the sample's playbacks, frees it and clears its slot.
void FreeSample(int32_t Index);
// Stops output, frees every sample not yet freed, closes the device and
// empties the table.
void ShutdownMusic();

// How many playbacks of the sample are running (0 for -1 or a cleared slot).
int32_t SamplePlaybacks(int32_t Index);

// The mixer volume (0..128) for a volume of 0..100.
int MixerVolume(int32_t Volume);
// Left and right levels (0..255) for a pan of -100..100: the far side is
// turned down, the near side stays full, so the centre plays at full volume.
void PanLevels(int32_t Pan, uint8_t& Left, uint8_t& Right);
