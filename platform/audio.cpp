// Music output on SDL_mixer.

#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

// 1024 frames at 44.1 kHz: the sound trails the picture by at most ~23 ms.
constexpr int kMixerBufferFrames = 1024;
bool outputOpen = false;

}  // namespace

bool OpenAudioOutput(int rate, std::string& error) {
  if (outputOpen) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    error = SDL_GetError();
    return false;
  }
  // The MP3 decoder is loaded up front so the first load is not the one that fails.
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(rate, AUDIO_S16SYS, 2, kMixerBufferFrames) != 0) {
    error = Mix_GetError();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  outputOpen = true;
  return true;
}

void CloseAudioOutput() {
  if (!outputOpen) return;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  outputOpen = false;
}

SoundHandle LoadSound(const std::string& path) {
  if (!outputOpen) return nullptr;
  SDL_RWops* file = SDL_RWFromFile(path.c_str(), "rb");
  if (file == nullptr) return nullptr;
  // The file is closed here rather than by the mixer: SDL_mixer leaves it
  // open when it cannot recognise the data.
  Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 0);
  SDL_RWclose(file);
  return chunk;
}

void FreeSound(SoundHandle sound) {
  if (sound != nullptr) Mix_FreeChunk(static_cast<Mix_Chunk*>(sound));
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
