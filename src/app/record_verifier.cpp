#include "app/record_verifier.h"

#include <nlohmann/json.hpp>

#include "app/throwaway_program.h"

namespace zt {

namespace {

std::optional<int32_t> ExpectedScore(const ReplayFile& file) {
  std::optional<int32_t> score;
  for (const ReplayCommand& command : file.Commands) {
    if (command.What != ReplayCommand::Kind::kExpect || command.Path != "Score" || command.Op != "==") continue;
    const nlohmann::json value = nlohmann::json::parse(command.Value);  // checked when the file was read
    if (value.is_number_integer()) score = value.get<int32_t>();
  }
  return score;
}

ReplayVerdict Run(const std::string& text, const FigureShapes& shapes, const Settings& settings,
                  const std::atomic<bool>* stopping) {
  ReplayFile file;
  try {
    file = ParseReplay(text, "record replay");
  } catch (const ReplayError&) {
    return ReplayVerdict{};
  }
  ThrowawayProgram program(shapes, settings);
  const int status = program.Run(file, [&] {
    if (stopping != nullptr && *stopping) program.State().CloseRequested = true;
  });
  const bool ranToItsEnd = !program.State().CloseRequested;
  return ReplayVerdict{status == 0 && ranToItsEnd, ExpectedScore(file)};
}

}  // namespace

ReplayVerdict VerifyReplay(const std::string& text, const FigureShapes& shapes, const Settings& settings) {
  return Run(text, shapes, settings, nullptr);
}

RecordVerifier::RecordVerifier(const FigureShapes& shapes, const Settings& settings)
    : shapes_(shapes), settings_(settings), worker_([this] { Work(); }) {}

RecordVerifier::~RecordVerifier() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void RecordVerifier::Verify(size_t key, std::string text) {
  {
    const std::lock_guard lock(mutex_);
    if (!verdicts_.emplace(key, std::nullopt).second) return;
    queue_.emplace_back(key, std::move(text));
  }
  wake_.notify_one();
}

std::optional<ReplayVerdict> RecordVerifier::Verdict(size_t key) const {
  const std::lock_guard lock(mutex_);
  const auto found = verdicts_.find(key);
  return found == verdicts_.end() ? std::nullopt : found->second;
}

void RecordVerifier::Work() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const auto [key, text] = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    const ReplayVerdict verdict = Run(text, shapes_, settings_, &stopping_);
    lock.lock();
    verdicts_[key] = verdict;
  }
}

}  // namespace zt
