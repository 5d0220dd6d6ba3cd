// Frame-time measurement: up to 40 named slots that add up how long chosen pieces of code
// take, in ticks of the high-resolution counter, and the report of the named slots written
// to result.txt at program end. The game itself names no slot, so its report is empty.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace zt {

constexpr int kTimingSlotCount = 40;
constexpr const char* kUnnamedSlot = "No defined";
constexpr const char* kTimingReportFileName = "result.txt";

struct TimingSlot {
  std::string SlotName = kUnnamedSlot;
  uint32_t SlotTicks = 0;   // counter ticks added up over the measurements
  int32_t SlotCount = 0;    // measurements taken
  uint64_t StartTicks = 0;  // counter at the start of the running measurement
  bool Running = false;
};

// Slots 1..40 are TimingSlots[0..39].
using TimingSlots = std::array<TimingSlot, kTimingSlotCount>;

// The high-resolution counter: its reading and its ticks per second.
struct TickCounter {
  std::function<uint64_t()> Now;
  uint64_t Frequency = 0;
};

void NameTimingSlot(TimingSlots& slots, int slot, const std::string& name);  // slot 1..40
void StartMeasurement(TimingSlots& slots, int slot, const TickCounter& counter);
// Adds the ticks since StartMeasurement and counts one measurement; nothing when the
// slot is not being measured.
void StopMeasurement(TimingSlots& slots, int slot, const TickCounter& counter);

// The report: for each slot up to the first unnamed one, its name and mean ticks (3
// decimals) in 30 characters together, then the mean seconds (7 decimals) in 15, CR LF.
// A slot with no measurement reports 0 for both; so does a counter of frequency 0.
std::string FormatTimingReport(const TimingSlots& slots, uint64_t frequency);

// Puts a fresh result.txt holding the report at `path` (an older one, or a link at the name, is
// replaced, never written through); false when that fails.
bool WriteTimingReport(const TimingSlots& slots, uint64_t frequency, const std::string& path);

}  // namespace zt
