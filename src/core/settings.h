// The player's settings as the game uses them. Read from and written to config.ini
// by the settings file unit (menu layer); read by the rules, the audio and the drawing.
#pragma once

#include <cstdint>

namespace zt {

constexpr int32_t kGamePalette = 0;         // the game's own 49 brick tints
constexpr int32_t kColourBlindPalette = 1;  // tints told apart under every kind of colour blindness, each
                                            // brick embossed with its tint's pattern as well

// "Options"/"Antialiasing": smooth edges (multisampled frames, pictures and text filtered
// smoothly where they are drawn smaller than their size), chosen for the next start.
constexpr int32_t kAntialiasingOff = 0;
constexpr int32_t kAntialiasingOn = 1;
constexpr int32_t kAntialiasingByRenderer = -1;  // config.ini names neither: on for a graphics card,
                                                 // off for a software renderer

struct Settings {
  bool FullScreenMode = false;
  int32_t ScreenWidth = 0;           // pixels; 0 = the desktop size
  int32_t ScreenHeight = 0;          // pixels; 0 = the desktop size
  float RotationSpeedFactor = 0.0f;  // degrees per ms of the turn animation: 0.75, 1.15 or 1.55
  int32_t SidewaysKeyDelay = 0;      // ms, the Left/Right repeat delay: 340, 250 or 170
  int32_t MusicVolume = 0;           // level 0..9
  int32_t SoundVolume = 0;           // level 0..9
  bool RotationClockwise = true;
  int32_t BrickQuality = 1;                        // 0 low, 1 medium, 2 high
  int32_t Palette = kGamePalette;                  // the brick colours: kGamePalette or kColourBlindPalette
  int32_t Antialiasing = kAntialiasingByRenderer;  // kAntialiasingOff, kAntialiasingOn or kAntialiasingByRenderer
  bool AntialiasingInUse = false;                  // what this run draws with, decided as its device is made
};

// Whether the next start draws with smooth edges: what the player chose, else what this run does.
inline bool AntialiasingNextStart(const Settings& settings) {
  return settings.Antialiasing == kAntialiasingByRenderer ? settings.AntialiasingInUse
                                                          : settings.Antialiasing == kAntialiasingOn;
}

}  // namespace zt
