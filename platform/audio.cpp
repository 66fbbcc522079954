// Music output on SDL_mixer.

#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cstdio>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/file_path.h"
#include "platform/sound_decode.h"
#include "platform/sound_prefetch.h"

namespace {

// 1024 frames at 44.1 kHz: the sound trails the picture by at most ~23 ms.
constexpr int kMixerBufferFrames = 1024;
bool outputOpen = false;
SoundPrefetch prefetch;
// The samples of the sounds made from a prefetch: their chunks point into
// these buffers, which the mixer does not own.
std::unordered_map<const Mix_Chunk*, std::vector<uint8_t>> prefetchedSamples;

// The rate of the open device when it plays 16-bit stereo, the only output
// a prefetch decodes for; 0 when it plays anything else.
int PrefetchableRate() {
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (Mix_QuerySpec(&rate, &format, &channels) == 0 || format != AUDIO_S16SYS || channels != 2) return 0;
  return rate;
}

// The prefetched file `path` as a sound, when the device plays 16-bit stereo
// at the rate it was decoded for: then the bytes are the ones Mix_LoadWAV
// would give. Null when there is no such prefetch or it did not decode; a
// prefetch of another file or rate is dropped, as nothing can use it now.
// Says on stderr why the sound at `path` is not loaded.
void RefuseSound(const std::string& path, const std::string& reason) {
  std::fprintf(stderr, "veloria: %s is not loaded: %s\n", path.c_str(), reason.c_str());
}

Mix_Chunk* TakePrefetchedSound(const std::string& path, bool& refused) {
  std::optional<DecodedSound> sound = prefetch.Take(path, PrefetchableRate());
  if (sound && sound->status == SoundDecodeStatus::TooLong) {
    RefuseSound(path, sound->reason);
    refused = true;
    return nullptr;
  }
  if (!sound || sound->status != SoundDecodeStatus::Decoded || sound->pcm.empty()) return nullptr;
  // Within LargestSoundBytes, so its length fits SDL's 32 bits.
  Mix_Chunk* chunk = Mix_QuickLoad_RAW(sound->pcm.data(), static_cast<Uint32>(sound->pcm.size()));
  if (chunk != nullptr) prefetchedSamples.emplace(chunk, std::move(sound->pcm));
  return chunk;
}

// The file's bytes through the one reader that refuses what is no regular
// file, so a FIFO or a device at the music's name never blocks the load.
Mix_Chunk* LoadFileSound(const std::string& path) {
  const std::optional<std::vector<uint8_t>> bytes = ReadWholeFile(path);
  if (!bytes || bytes->size() > static_cast<size_t>(INT_MAX)) return nullptr;
  // SDL_mixer allocates what it decodes: a file that claims too long a sound is not given to it.
  if (std::string refusal = SoundLengthRefusal(ClaimedMp3Seconds(*bytes), true); !refusal.empty()) {
    RefuseSound(path, refusal);
    return nullptr;
  }
  SDL_RWops* file = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
  if (file == nullptr) return nullptr;
  // The stream is closed here rather than by the mixer: SDL_mixer leaves it
  // open when it cannot recognise the data.
  Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 0);
  SDL_RWclose(file);
  int rate = 0, channels = 0;
  Uint16 format = 0;
  if (chunk != nullptr && Mix_QuerySpec(&rate, &format, &channels) != 0) {
    const double seconds = static_cast<double>(chunk->alen) / (channels * (SDL_AUDIO_BITSIZE(format) / 8)) / rate;
    if (std::string refusal = SoundLengthRefusal(seconds, false); !refusal.empty()) {
      RefuseSound(path, refusal);
      Mix_FreeChunk(chunk);
      return nullptr;
    }
  }
  return chunk;
}

}  // namespace

bool OpenAudioOutput(int rate, std::string& error) {
  if (outputOpen) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = SDL_GetError();
    prefetch.Drop();  // no load can take it without a device
    return false;
  }
  // The MP3 decoder is loaded up front so the first load is not the one that fails.
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(rate, AUDIO_S16SYS, 2, kMixerBufferFrames) != 0) {
    error = Mix_GetError();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    prefetch.Drop();
    return false;
  }
  outputOpen = true;
  // SDL_mixer may open the device at another rate or channel count than
  // asked; a prefetch decoded for the asked one is then of no use.
  prefetch.DropUnlessFor(PrefetchableRate());
  return true;
}

void CloseAudioOutput() {
  prefetch.Drop();
  if (!outputOpen) return;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  outputOpen = false;
}

void PrefetchSound(const std::string& path, int rate) { prefetch.Start(path, rate); }

SoundHandle LoadSound(const std::string& path) {
  if (!outputOpen) return nullptr;
  bool refused = false;
  if (Mix_Chunk* chunk = TakePrefetchedSound(path, refused)) return chunk;
  return refused ? nullptr : LoadFileSound(path);
}

void FreeSound(SoundHandle sound) {
  if (sound == nullptr) return;
  auto* chunk = static_cast<Mix_Chunk*>(sound);
  Mix_FreeChunk(chunk);
  prefetchedSamples.erase(chunk);
}

void EnsureChannels(int count) {
  if (Mix_AllocateChannels(-1) < count) Mix_AllocateChannels(count);
}

void GroupChannels(int first, int count, int group) {
  Mix_GroupChannels(first, first + count - 1, group);
}

int TakeGroupChannel(int group) {
  int channel = Mix_GroupAvailable(group);
  if (channel == -1) {
    channel = Mix_GroupOldest(group);
    if (channel != -1) Mix_HaltChannel(channel);
  }
  return channel;
}

bool PlayOnChannel(int channel, SoundHandle sound, int volume, uint8_t left, uint8_t right) {
  Mix_Volume(channel, volume);
  Mix_SetPanning(channel, left, right);
  return Mix_PlayChannel(channel, static_cast<Mix_Chunk*>(sound), 0) == channel;
}

void HaltGroup(int group) { Mix_HaltGroup(group); }

bool ChannelPlaying(int channel) { return Mix_Playing(channel) != 0; }
