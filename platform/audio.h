// The SDL_mixer side of music playback: the output device, whole decoded
// sounds, and mixer channels organised in groups of a few per sound.
#pragma once

#include <cstdint>
#include <string>

using SoundHandle = void*;  // a Mix_Chunk

// Opens the default output device at `rate` Hz, stereo, with a mixer buffer
// of at most 1024 frames. False with `error` filled when it cannot. A
// prefetch the device cannot use (none opened, or one of another rate or
// channel count) is dropped then.
bool OpenAudioOutput(int rate, std::string& error);
// Stops every channel, closes the device and the decoders, and stops and
// drops a prefetch no load took. Safe when closed.
void CloseAudioOutput();

// Starts decoding the MP3 file at `path` on a worker thread, for a device of
// `rate` Hz, 16-bit stereo, that may be opened later; replaces an earlier
// prefetch. Nothing of it shows until LoadSound asks for the same path; a
// LoadSound of another path drops it. Without a worker thread (the system
// refused one) the load decodes the file itself.
void PrefetchSound(const std::string& path, int rate);

// Decodes the whole file into memory (WAV, MP3, OGG...). Null on failure,
// also for what is no readable regular file; needs an open device. A
// prefetch of `path` decoded for the device's format is taken instead
// (waiting for its worker); one that failed loads the file as if there had
// been no prefetch.
SoundHandle LoadSound(const std::string& path);
void FreeSound(SoundHandle sound);

// Makes sure channels 0 .. `count` - 1 exist.
void EnsureChannels(int count);
// Puts `count` channels from `first` on into group `group`.
void GroupChannels(int first, int count, int group);
// A free channel of `group`, or else the one of the group that has played
// longest (it is stopped). -1 when the group has no channels.
int TakeGroupChannel(int group);
// Plays `sound` once on `channel` at `volume` (0..128) with the given left and
// right levels (0..255, 255 = unchanged). False when it cannot start.
bool PlayOnChannel(int channel, SoundHandle sound, int volume, uint8_t left, uint8_t right);
// Stops every channel of `group`.
void HaltGroup(int group);
// True while `channel` plays.
bool ChannelPlaying(int channel);
