// The stop signals only leave a note: the program goes on running and closes itself the
// ordinary way. Each case runs in a process of its own, so no note reaches the other tests.
#include "app/stop_signals.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace zt {
namespace {

TEST(StopSignals, EachOfTheThreeIsNotedAndEndsNothing) {
  for (int signal : {SIGHUP, SIGINT, SIGTERM}) {
    EXPECT_EXIT(
        {
          CatchStopSignals();
          if (StopSignal() != 0) std::exit(1);
          std::raise(signal);
          std::exit(StopSignal() == signal ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "")
        << signal;
  }
}

}  // namespace
}  // namespace zt
