#include "menu/timing_report.h"

#include <cassert>
#include <charconv>

#include "core/safe_save.h"

namespace zt {
namespace {

TimingSlot* SlotAt(TimingSlots& slots, int slot) {
  assert(slot >= 1 && slot <= kTimingSlotCount);
  if (slot < 1 || slot > kTimingSlotCount) return nullptr;
  return &slots[static_cast<size_t>(slot - 1)];
}

// Fixed-point with `decimals` and a full stop whatever the locale, right-aligned in
// `width` characters (or as wide as the number is).
std::string Fixed(double value, int decimals, int width) {
  char text[400];  // room for any double in fixed notation
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  std::string number(text, result.ptr);
  if (static_cast<int>(number.size()) < width) number.insert(0, static_cast<size_t>(width) - number.size(), ' ');
  return number;
}

}  // namespace

void NameTimingSlot(TimingSlots& slots, int slot, const std::string& name) {
  if (TimingSlot* s = SlotAt(slots, slot)) s->SlotName = name;
}

void StartMeasurement(TimingSlots& slots, int slot, const TickCounter& counter) {
  if (TimingSlot* s = SlotAt(slots, slot)) {
    s->StartTicks = counter.Now();
    s->Running = true;
  }
}

void StopMeasurement(TimingSlots& slots, int slot, const TickCounter& counter) {
  TimingSlot* s = SlotAt(slots, slot);
  if (s == nullptr || !s->Running) return;
  // The ticks add up in 32 bits and wrap around, as the slot keeps them.
  s->SlotTicks += static_cast<uint32_t>(counter.Now() - s->StartTicks);
  ++s->SlotCount;
  s->Running = false;
}

std::string FormatTimingReport(const TimingSlots& slots, uint64_t frequency) {
  std::string report;
  for (const TimingSlot& slot : slots) {
    if (slot.SlotName == kUnnamedSlot) break;
    const double meanTicks = slot.SlotCount > 0 ? static_cast<double>(slot.SlotTicks) / slot.SlotCount : 0.0;
    const double meanSeconds = frequency > 0 ? meanTicks / static_cast<double>(frequency) : 0.0;
    report += slot.SlotName;
    report += Fixed(meanTicks, 3, 30 - static_cast<int>(slot.SlotName.size()));
    report += Fixed(meanSeconds, 7, 15);
    report += "\r\n";
  }
  return report;
}

bool WriteTimingReport(const TimingSlots& slots, uint64_t frequency, const std::string& path) {
  return ReplaceFileSafely(path, FormatTimingReport(slots, frequency));
}

}  // namespace zt
