// The audio mixer the music and sound effects play through: music streams (one
// sounding at a time) and samples loaded whole, played by handle.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace zt {

class Mixer {
 public:
  virtual ~Mixer() = default;
  virtual bool Init(int frequency) = 0;  // opens the output device and starts mixing
  virtual void Shutdown() = 0;
  virtual int StreamOpenFile(const std::string& path) = 0;  // a handle >= 0, or < 0 on failure
  virtual void StreamClose(int stream) = 0;
  virtual void StreamPlay(int stream, bool loop) = 0;
  virtual void ChannelStop(int stream) = 0;
  virtual void ChannelSetVolume(int stream, int percent) = 0;  // 0..100
  // When the stream reaches its end, *flag := false (possibly on the audio thread);
  // at once when the stream is not playing any more. Stopping a stream to start
  // another never clears the flag handed over for the new one.
  virtual void ChannelSetEndFlag(int stream, std::atomic<bool>* flag) = 0;
  virtual int SampleLoad(const std::string& path) = 0;  // a handle >= 0, or < 0 on failure
  virtual void SampleUnload(int sample) = 0;
  virtual void SamplePlay(int sample, int percent) = 0;  // may overlap the same sample
};

// A mixer that plays nothing and keeps every call; streams end only when told to.
// Like a real mixer, it reports the end of the stream playing last, and only once.
class RecordingMixer final : public Mixer {
 public:
  bool Init(int frequency) override;
  void Shutdown() override { calls.push_back("Shutdown"); }
  int StreamOpenFile(const std::string& path) override;
  void StreamClose(int stream) override;
  void StreamPlay(int stream, bool loop) override;
  void ChannelStop(int stream) override;
  void ChannelSetVolume(int stream, int percent) override;
  void ChannelSetEndFlag(int stream, std::atomic<bool>* flag) override;
  int SampleLoad(const std::string& path) override;
  void SampleUnload(int sample) override;
  void SamplePlay(int sample, int percent) override;

  void EndStream(int stream);  // the stream reaches its end
  // File names of the samples played since the last call, in order.
  std::vector<std::string> TakePlayedSounds();

  bool initSucceeds = true;
  std::vector<std::string> missingPaths;     // files that fail to open or load
  std::vector<std::string> calls;            // e.g. "StreamPlay 2 once", "SamplePlay 7 56"
  std::vector<std::string> streamPaths;      // by handle
  std::vector<std::string> samplePaths;      // by handle
  std::vector<int> streamVolumes;            // by handle
  std::vector<std::string> playedSounds;     // sample file names, in play order
  std::vector<std::atomic<bool>*> endFlags;  // by stream handle
};

}  // namespace zt
