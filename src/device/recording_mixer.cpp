#include <algorithm>
#include <filesystem>

#include "device/mixer.h"

namespace zt {

bool RecordingMixer::Init(int frequency) {
  calls.push_back("Init " + std::to_string(frequency));
  return initSucceeds;
}

int RecordingMixer::StreamOpenFile(const std::string& path) {
  calls.push_back("StreamOpenFile " + path);
  if (std::find(missingPaths.begin(), missingPaths.end(), path) != missingPaths.end()) return -1;
  streamPaths.push_back(path);
  streamVolumes.push_back(100);
  endFlags.push_back(nullptr);
  return static_cast<int>(streamPaths.size()) - 1;
}

void RecordingMixer::StreamClose(int stream) { calls.push_back("StreamClose " + std::to_string(stream)); }

void RecordingMixer::StreamPlay(int stream, bool loop) {
  calls.push_back("StreamPlay " + std::to_string(stream) + (loop ? " looped" : " once"));
  std::fill(endFlags.begin(), endFlags.end(), nullptr);  // one stream sounds at a time
}

void RecordingMixer::ChannelStop(int stream) {
  calls.push_back("ChannelStop " + std::to_string(stream));
  if (stream >= 0 && stream < static_cast<int>(endFlags.size()))
    endFlags[stream] = nullptr;  // a stopped stream never ends
}

void RecordingMixer::ChannelSetVolume(int stream, int percent) {
  calls.push_back("ChannelSetVolume " + std::to_string(stream) + " " + std::to_string(percent));
  if (stream >= 0 && stream < static_cast<int>(streamVolumes.size())) streamVolumes[stream] = percent;
}

void RecordingMixer::ChannelSetEndFlag(int stream, std::atomic<bool>* flag) {
  calls.push_back("ChannelSetEndFlag " + std::to_string(stream));
  if (stream >= 0 && stream < static_cast<int>(endFlags.size())) endFlags[stream] = flag;
}

int RecordingMixer::SampleLoad(const std::string& path) {
  calls.push_back("SampleLoad " + path);
  if (std::find(missingPaths.begin(), missingPaths.end(), path) != missingPaths.end()) return -1;
  samplePaths.push_back(path);
  return static_cast<int>(samplePaths.size()) - 1;
}

void RecordingMixer::SampleUnload(int sample) { calls.push_back("SampleUnload " + std::to_string(sample)); }

void RecordingMixer::SamplePlay(int sample, int percent) {
  calls.push_back("SamplePlay " + std::to_string(sample) + " " + std::to_string(percent));
  if (sample >= 0 && sample < static_cast<int>(samplePaths.size()))
    playedSounds.push_back(std::filesystem::path(samplePaths[sample]).filename().string());
}

void RecordingMixer::EndStream(int stream) {
  if (stream >= 0 && stream < static_cast<int>(endFlags.size()) && endFlags[stream] != nullptr) {
    endFlags[stream]->store(false);
    endFlags[stream] = nullptr;
  }
}

std::vector<std::string> RecordingMixer::TakePlayedSounds() {
  std::vector<std::string> taken;
  taken.swap(playedSounds);
  return taken;
}

}  // namespace zt
