#include "app/stop_signals.h"

#include <atomic>
#include <csignal>

namespace zt {

namespace {

// The one thing the handler may touch. It belongs to the process, as the signal dispositions
// do, not to any game state; a lock-free atomic is safe to write from a handler.
std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void NoteStopSignal(int signal) { stopSignal.store(signal, std::memory_order_relaxed); }

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // reads and writes in progress carry on; the loops look at the note
  for (int signal : {SIGHUP, SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

int StopSignal() { return stopSignal.load(std::memory_order_relaxed); }

}  // namespace zt
