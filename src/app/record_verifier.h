// Verifies the replays of the records on a thread of its own, each in a throwaway program state
// (throwaway_program.h), so that the frames of the game being played never wait for it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/settings.h"
#include "game/figure_shapes.h"

namespace zt {

// A replay's verdict: it ran to its end with every expect held, and the score it ends with.
struct ReplayVerdict {
  bool Held = false;
  std::optional<int32_t> Score;  // from its `expect Score == N` line; nothing without one
};

// What the verifier runs: the whole replay text, which is also how its verdict is found again.
ReplayVerdict VerifyReplay(const std::string& text, const FigureShapes& shapes, const Settings& settings);

class RecordVerifier {
 public:
  // The shapes and settings are copied: the thread never reads the running program.
  RecordVerifier(const FigureShapes& shapes, const Settings& settings);
  ~RecordVerifier();  // stops a verification under way and waits for the thread
  RecordVerifier(const RecordVerifier&) = delete;
  RecordVerifier& operator=(const RecordVerifier&) = delete;

  // A replay is known by a key of its text (ReplayKey): the same text is verified once.
  static size_t ReplayKey(const std::string& text) { return std::hash<std::string>{}(text); }
  // Queues the replay unless it is queued or verified already.
  void Verify(size_t key, std::string text);
  // The verdict once the replay has been run; nothing while it waits or runs.
  std::optional<ReplayVerdict> Verdict(size_t key) const;

 private:
  void Work();

  const FigureShapes shapes_;
  const Settings settings_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<size_t, std::string>> queue_;
  std::map<size_t, std::optional<ReplayVerdict>> verdicts_;  // by key; empty while waiting
  std::atomic<bool> stopping_{false};
  std::thread worker_;
};

}  // namespace zt
