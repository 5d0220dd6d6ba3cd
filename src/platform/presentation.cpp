#include "platform/presentation.h"

#include <algorithm>

#include "core/settings.h"

namespace zt {

PictureRect FourByThreePicture(PixelSize drawable) {
  if (drawable.Empty()) return {};
  const int w = drawable.Width, h = drawable.Height;
  PictureRect picture;
  if (w * 3 <= h * 4) {  // as wide as the drawable: bars above and below
    picture.Width = w;
    picture.Height = std::max(1, (w * 3 + 2) / 4);  // 3w/4 rounded, never taller than h
  } else {                                          // as tall as the drawable: bars left and right
    picture.Height = h;
    picture.Width = std::max(1, (h * 8 + 3) / 6);  // 4h/3 rounded, never wider than w
  }
  picture.X = (w - picture.Width) / 2;
  picture.Y = (h - picture.Height) / 2;
  return picture;
}

PixelSize BackBufferSize(PixelSize requested, const PictureRect& picture, PixelSize cap) {
  PixelSize size{requested.Width != 0 ? requested.Width : picture.Width,
                 requested.Height != 0 ? requested.Height : picture.Height};
  if (size.Empty()) return {};
  if (!cap.Empty()) {
    size.Width = std::min(size.Width, cap.Width);
    size.Height = std::min(size.Height, cap.Height);
  }
  return size;
}

bool IsSoftwareRenderer(std::string_view renderer) {
  for (const std::string_view name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
    if (renderer.find(name) != std::string_view::npos) return true;
  return false;
}

bool SmoothEdgesFor(int32_t antialiasing, std::string_view renderer) {
  if (antialiasing == kAntialiasingByRenderer) return !IsSoftwareRenderer(renderer);
  return antialiasing == kAntialiasingOn;
}

}  // namespace zt
