// The speeds a figure falls and steps sideways at, in cells per ms, and the thresholds the fall
// speed is tested against. Speeds are kept as singles; the thresholds are compared as the
// doubles written here, so the Down speed 0.05f (slightly above 0.05) counts as "not below 0.05".
#pragma once

namespace zt {

constexpr double kStartFallSpeed = 0.0019;  // the base fall speed of level 1; each level adds a part of it
constexpr float kDownSpeed = 0.05f;
constexpr float kSpaceSpeed = 0.08f;
constexpr float kCtrlSpeed = 0.1f;

constexpr double kTrailSpeed = 0.049;    // at or above, the figure lays its drop trail
constexpr double kDroppedSpeed = 0.079;  // at or above, Space or Ctrl dropped it: no turns, no return to the base speed
constexpr double kFastTrailSpeed = 0.099;  // at or above (Ctrl), the trail at its fastest and left on landing
constexpr double kQuickShiftFrom = 0.05;   // at or above, sideways steps are quick

constexpr double kSlowShiftSpeed = 0.022;
constexpr double kQuickShiftSpeed = 0.08;

}  // namespace zt
