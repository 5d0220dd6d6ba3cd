// The game's Mixer on SDL2_mixer: one Mix_Music stream sounds at a time, samples
// are Mix_Chunks played on a pool of channels so that overlapping sounds all sound.
#pragma once

#include <SDL_mixer.h>

#include <atomic>
#include <string>
#include <vector>

#include "device/mixer.h"

namespace zt {

class SdlMixer final : public Mixer {
 public:
  static constexpr int kChannels = 32;  // sample voices mixed at once

  SdlMixer() = default;
  SdlMixer(const SdlMixer&) = delete;
  SdlMixer& operator=(const SdlMixer&) = delete;
  ~SdlMixer() override { Shutdown(); }

  // Opens the audio device (stereo, `frequency` Hz). False when there is no usable
  // device, or when another SdlMixer already holds the audio.
  bool Init(int frequency) override;
  void Shutdown() override;  // frees every stream and sample and closes the device
  int StreamOpenFile(const std::string& path) override;
  void StreamClose(int stream) override;
  void StreamPlay(int stream, bool loop) override;
  void ChannelStop(int stream) override;
  void ChannelSetVolume(int stream, int percent) override;
  void ChannelSetEndFlag(int stream, std::atomic<bool>* flag) override;
  int SampleLoad(const std::string& path) override;
  void SampleUnload(int sample) override;
  void SamplePlay(int sample, int percent) override;

  static int MixVolume(int percent);  // 0..100 -> 0..MIX_MAX_VOLUME, rounded, clamped

 private:
  static void SDLCALL OnMusicFinished();
  void HaltMusic();

  // SDL_mixer's end-of-music hook carries no user data, so the mixer that owns the
  // audio registers itself here while it is open (set in Init, cleared in Shutdown).
  // This is the one static the SDL interface forces on us.
  static std::atomic<SdlMixer*> hookOwner_;

  bool open_ = false;
  std::vector<Mix_Music*> streams_;  // by handle; nullptr once closed
  std::vector<int> streamPercents_;  // volume per stream, 0..100
  std::vector<Mix_Chunk*> samples_;  // by handle; nullptr once unloaded
  int currentStream_ = -1;           // the stream last started (main thread only)
  // The flag to clear when the current stream ends; taken (exchanged for nullptr) by
  // whichever side reports the end first. Read by the audio thread.
  std::atomic<std::atomic<bool>*> endFlag_{nullptr};
};

}  // namespace zt
