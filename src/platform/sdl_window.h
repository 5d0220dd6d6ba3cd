// The program's window with its OpenGL 3.3 core context (SDL2 + libepoxy), current
// on the creating thread. Works under X, Wayland and SDL's offscreen driver (EGL).
#pragma once

#include <memory>
#include <string>

#include "platform/presentation.h"

struct SDL_Window;

namespace zt {

// The desktop entry's id (dist/<id>.desktop): the window's X11 class and Wayland app id,
// so docks and task bars show the game's icon and name.
inline constexpr const char* kDesktopEntryId = "net.zellorytorvane.ZelloryTorvane";

struct GlWindowOptions {
  std::string Title = "Zellory Torvane";
  int Width = 720;  // client size in pixels
  int Height = 567;
  bool Hidden = false;  // tests draw into a window that is never shown
  bool Resizable = true;
  // Use glClipControl for Direct3D's depth range when the context has it; false takes
  // the shader's fix-up instead (both give the same picture).
  bool AllowClipControl = true;
  // On a software renderer the back buffer is at most kSoftwareBackBufferCap, scaled up,
  // so that full screen stays fluid there.
  bool CapSoftwareBackBuffer = true;
  // Every frame is kept in a back buffer of the device's own, so that it can be read after
  // Present (screenshots, drawing tests). Otherwise a frame of the window's size is drawn
  // straight into the window, and only other sizes go through a back buffer of their own.
  bool KeepsFrames = false;
};

// A window of a fixed client size that is never shown: what screenshots, drawing tests
// and benchmarks draw into, with back buffers of exactly the size they ask for.
inline GlWindowOptions HiddenWindowOptions(int width, int height) {
  GlWindowOptions options;
  options.Width = width;
  options.Height = height;
  options.Hidden = true;
  options.Resizable = false;
  options.CapSoftwareBackBuffer = false;
  options.KeepsFrames = true;
  return options;
}

class SdlGlWindow {
 public:
  // The window and its context, or nullptr with a message saying what is missing
  // (no usable video, no OpenGL 3.3).
  static std::unique_ptr<SdlGlWindow> Create(const GlWindowOptions& options, std::string& error);
  ~SdlGlWindow();
  SdlGlWindow(const SdlGlWindow&) = delete;
  SdlGlWindow& operator=(const SdlGlWindow&) = delete;

  SDL_Window* Window() const { return window_; }
  PixelSize DrawableSize() const;  // pixels (HiDPI included)
  void Swap();
  bool HasInputFocus() const;
  int GlVersion() const { return glVersion_; }          // 33, 45, ...
  bool HasClipControl() const { return clipControl_; }  // depth 0..1 in clip space available
  std::string Renderer() const;
  PixelSize BackBufferCap() const { return backBufferCap_; }  // 0 x 0: no cap
  // True when frames may be drawn straight into the window: it does not keep its frames and
  // its buffer has 8-bit colour and a 24-bit depth buffer like the device's own back buffer.
  bool DrawsFramesDirectly() const { return drawsFramesDirectly_; }
  // True while the context exists; GL objects check it before deleting themselves.
  std::shared_ptr<const bool> ContextAlive() const { return alive_; }

 private:
  SdlGlWindow() = default;
  SDL_Window* window_ = nullptr;
  void* context_ = nullptr;
  int glVersion_ = 0;
  bool clipControl_ = false;
  PixelSize backBufferCap_;
  bool drawsFramesDirectly_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace zt
