// The player's settings as the game uses them. Read from and written to config.ini
// by the settings file unit (menu layer); read by the rules, the audio and the drawing.
#pragma once

#include <cstdint>

namespace zt {

constexpr int32_t kGamePalette = 0;         // the game's own 49 brick tints
constexpr int32_t kColourBlindPalette = 1;  // tints told apart under every kind of colour blindness, each
                                            // brick embossed with its tint's pattern as well

struct Settings {
  bool FullScreenMode = false;
  int32_t ScreenWidth = 0;           // pixels; 0 = the desktop size
  int32_t ScreenHeight = 0;          // pixels; 0 = the desktop size
  float RotationSpeedFactor = 0.0f;  // degrees per ms of the turn animation: 0.75, 1.15 or 1.55
  int32_t SidewaysKeyDelay = 0;      // ms, the Left/Right repeat delay: 340, 250 or 170
  int32_t MusicVolume = 0;           // level 0..9
  int32_t SoundVolume = 0;           // level 0..9
  bool RotationClockwise = true;
  int32_t BrickQuality = 1;        // 0 low, 1 medium, 2 high
  int32_t Palette = kGamePalette;  // the brick colours: kGamePalette or kColourBlindPalette
};

}  // namespace zt
