// The settings the game plays with once a config.ini is read, checked field by field.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "core/settings.h"

namespace zt::testing {

// What a config.ini sets besides the display mode.
struct PlaySettings {
  float RotationSpeedFactor;
  int32_t SidewaysKeyDelay;
  int32_t MusicVolume, SoundVolume;
  bool RotationClockwise;
  int32_t BrickQuality;
};

// A missing or empty config.ini, every key read as 0: the slowest turns, the longest sideways
// delay, silence, counter-clockwise turns and medium bricks.
constexpr PlaySettings kSettingsOfAnEmptyFile{0.75f, 340, 0, 0, false, 1};

inline void ExpectPlaySettings(const Settings& settings, const PlaySettings& expected) {
  EXPECT_FLOAT_EQ(settings.RotationSpeedFactor, expected.RotationSpeedFactor);
  EXPECT_EQ(settings.SidewaysKeyDelay, expected.SidewaysKeyDelay);
  EXPECT_EQ(settings.MusicVolume, expected.MusicVolume);
  EXPECT_EQ(settings.SoundVolume, expected.SoundVolume);
  EXPECT_EQ(settings.RotationClockwise, expected.RotationClockwise);
  EXPECT_EQ(settings.BrickQuality, expected.BrickQuality);
}

}  // namespace zt::testing
