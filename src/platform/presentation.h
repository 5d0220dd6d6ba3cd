// Where the game's picture goes on the window: it keeps its 4:3 shape, centred on the
// window's drawable with black bars beside or above and below it, and the back buffer's
// size follows from the presentation parameters, that rectangle and a software renderer's
// cap. Pure arithmetic, so every window size can be tried without a window.
#pragma once

#include <cstdint>
#include <string_view>

namespace zt {

struct PixelSize {
  int Width = 0, Height = 0;  // pixels; 0 x 0 for none
  bool operator==(const PixelSize&) const = default;
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

// The picture's place on the drawable, in pixels from its lower left corner (as GL counts).
struct PictureRect {
  int X = 0, Y = 0, Width = 0, Height = 0;
  bool operator==(const PictureRect&) const = default;
  PixelSize Size() const { return {Width, Height}; }
};

// The most a software renderer fills and scales up at a fluid frame rate.
constexpr PixelSize kSoftwareBackBufferCap{720, 540};

// The largest 4:3 rectangle inside the drawable (sides rounded to the nearest pixel, at
// least 1), centred; empty when the drawable is.
PictureRect FourByThreePicture(PixelSize drawable);

// The back buffer of a device: each requested side that is not 0 as it is, a side of 0 the
// picture's; no side beyond a non-empty cap. Empty when a side of 0 meets an empty picture.
PixelSize BackBufferSize(PixelSize requested, const PictureRect& picture, PixelSize cap);

// True when GL_RENDERER names one of Mesa's software rasterisers (llvmpipe, softpipe, swrast).
bool IsSoftwareRenderer(std::string_view renderer);

// Whether a run draws with smooth edges: as "Options"/"Antialiasing" chose (kAntialiasingOn or
// kAntialiasingOff), and when it left the choice to the renderer, on a graphics card but not on a
// software renderer, where the extra samples would cost more than the frame can spare.
bool SmoothEdgesFor(int32_t antialiasing, std::string_view renderer);

}  // namespace zt
