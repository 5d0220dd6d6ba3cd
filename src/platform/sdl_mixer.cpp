#include "platform/sdl_mixer.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "core/file_read.h"

namespace zt {

std::atomic<SdlMixer*> SdlMixer::hookOwner_{nullptr};

namespace {

// The largest music or sound file read; the longest track the game ships is under 2 MB.
constexpr std::uintmax_t kMaxAudioFileBytes = 64u << 20;

template <typename T>
T* Slot(std::vector<T*>& items, int handle) {
  return handle >= 0 && handle < static_cast<int>(items.size()) ? items[handle] : nullptr;
}

}  // namespace

int SdlMixer::MixVolume(int percent) {
  percent = std::clamp(percent, 0, 100);
  return (percent * MIX_MAX_VOLUME + 50) / 100;
}

// SDL_mixer calls this when the music stops: on the audio thread when a stream runs
// out, or synchronously inside Mix_HaltMusic (under the audio lock in both cases).
// Only the music-playing flag is touched here.
void SDLCALL SdlMixer::OnMusicFinished() {
  SdlMixer* owner = hookOwner_.load();
  if (owner == nullptr) return;
  if (std::atomic<bool>* flag = owner->endFlag_.exchange(nullptr)) flag->store(false);
}

bool SdlMixer::Init(int frequency) {
  if (open_) return true;
  SdlMixer* expected = nullptr;
  if (!hookOwner_.compare_exchange_strong(expected, this)) return false;  // audio already held
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    hookOwner_.store(nullptr);
    return false;
  }
  Mix_Init(MIX_INIT_OGG);
  if (Mix_OpenAudio(frequency, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    hookOwner_.store(nullptr);
    return false;
  }
  Mix_AllocateChannels(kChannels);
  Mix_HookMusicFinished(&SdlMixer::OnMusicFinished);
  open_ = true;
  return true;
}

void SdlMixer::Shutdown() {
  if (!open_) return;
  endFlag_.store(nullptr);
  Mix_HookMusicFinished(nullptr);  // takes the audio lock: no hook runs after this
  Mix_HaltMusic();
  Mix_HaltChannel(-1);
  for (Mix_Music*& music : streams_) {
    if (music != nullptr) Mix_FreeMusic(music);
    music = nullptr;
  }
  for (Mix_Chunk*& chunk : samples_) {
    if (chunk != nullptr) Mix_FreeChunk(chunk);
    chunk = nullptr;
  }
  streams_.clear();
  streamPercents_.clear();
  samples_.clear();
  currentStream_ = -1;
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
  hookOwner_.store(nullptr);
}

int SdlMixer::StreamOpenFile(const std::string& path) {
  if (!open_) return -1;
  // SDL_mixer decodes music as it plays: the track is read from its file as it goes, the
  // file kept open as long as the stream.
  const OpenedFile file = OpenReadableFile(path, kMaxAudioFileBytes);
  if (!file.Ok()) return -1;
  FILE* stream = ::fdopen(file.Descriptor, "rb");
  if (stream == nullptr) {
    ::close(file.Descriptor);
    return -1;
  }
  SDL_RWops* source = SDL_RWFromFP(stream, SDL_TRUE);
  if (source == nullptr) {
    std::fclose(stream);
    return -1;
  }
  Mix_Music* music = Mix_LoadMUS_RW(source, SDL_TRUE);
  if (music == nullptr) return -1;
  streams_.push_back(music);
  streamPercents_.push_back(100);
  return static_cast<int>(streams_.size()) - 1;
}

void SdlMixer::HaltMusic() {
  // Disarm first: Mix_HaltMusic runs the hook before it returns, and stopping a track
  // to start another must not report the end of the new one.
  endFlag_.store(nullptr);
  Mix_HaltMusic();
}

void SdlMixer::StreamClose(int stream) {
  Mix_Music* music = Slot(streams_, stream);
  if (music == nullptr) return;
  if (stream == currentStream_) {
    HaltMusic();
    currentStream_ = -1;
  }
  Mix_FreeMusic(music);
  streams_[stream] = nullptr;
}

void SdlMixer::StreamPlay(int stream, bool loop) {
  Mix_Music* music = Slot(streams_, stream);
  if (music == nullptr) return;
  HaltMusic();
  Mix_VolumeMusic(MixVolume(streamPercents_[stream]));
  currentStream_ = stream;
  Mix_PlayMusic(music, loop ? -1 : 0);  // 0: play once
}

void SdlMixer::ChannelStop(int stream) {
  if (stream >= 0 && stream == currentStream_) HaltMusic();
}

void SdlMixer::ChannelSetVolume(int stream, int percent) {
  if (Slot(streams_, stream) == nullptr) return;
  streamPercents_[stream] = std::clamp(percent, 0, 100);
  if (stream == currentStream_) Mix_VolumeMusic(MixVolume(percent));
}

void SdlMixer::ChannelSetEndFlag(int stream, std::atomic<bool>* flag) {
  if (flag == nullptr || Slot(streams_, stream) == nullptr) return;
  endFlag_.store(flag);
  // A very short stream may have ended before the flag was armed, when the hook had
  // nothing to clear; Mix_PlayingMusic turns false before the hook runs, so checking
  // after arming catches every end exactly once or twice, never not at all.
  if (stream != currentStream_ || !Mix_PlayingMusic()) {
    if (std::atomic<bool>* armed = endFlag_.exchange(nullptr)) armed->store(false);
  }
}

int SdlMixer::SampleLoad(const std::string& path) {
  if (!open_) return -1;
  const FileBytes read = ReadFileBytes(path, kMaxAudioFileBytes);
  if (!read.Ok()) return -1;
  // A sound is decoded whole here; its bytes are not needed afterwards.
  Mix_Chunk* chunk =
      Mix_LoadWAV_RW(SDL_RWFromConstMem(read.Bytes.data(), static_cast<int>(read.Bytes.size())), SDL_TRUE);
  if (chunk == nullptr) return -1;
  samples_.push_back(chunk);
  return static_cast<int>(samples_.size()) - 1;
}

void SdlMixer::SampleUnload(int sample) {
  Mix_Chunk* chunk = Slot(samples_, sample);
  if (chunk == nullptr) return;
  Mix_FreeChunk(chunk);  // halts the channels still playing it
  samples_[sample] = nullptr;
}

void SdlMixer::SamplePlay(int sample, int percent) {
  Mix_Chunk* chunk = Slot(samples_, sample);
  if (chunk == nullptr) return;
  // Pick the channel first so that its volume is set before the sound starts. Only
  // this thread starts channels, so a free channel stays free until we use it.
  int channel = Mix_GroupAvailable(-1);
  if (channel < 0) {
    channel = Mix_GroupOldest(-1);  // every voice busy: the oldest sound gives way
    if (channel < 0) return;
    Mix_HaltChannel(channel);
  }
  Mix_Volume(channel, MixVolume(percent));
  Mix_PlayChannel(channel, chunk, 0);
}

}  // namespace zt
