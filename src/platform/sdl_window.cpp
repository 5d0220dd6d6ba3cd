#include "platform/sdl_window.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdlib>

namespace zt {

namespace {

// Names the game to the desktop before SDL's video starts, where the player's environment
// does not already. SDL 2.26 takes the X11 class and the Wayland app id from these
// environment variables only (there are no hints for them); the application name goes to
// the screen-saver inhibition and the audio server.
void NameTheGame(const std::string& title) {
  setenv("SDL_VIDEO_X11_WMCLASS", kDesktopEntryId, 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopEntryId, 0);
  SDL_SetHint(SDL_HINT_APP_NAME, title.c_str());
}

constexpr int kFrameDepthBits = 24;  // as the device's own back buffer
constexpr int kFrameColourBits = 8;

int WindowBufferBits(GLenum attachment, GLenum bits) {
  GLint value = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, bits, &value);
  return value;
}

// Whether the window's own buffer (the current context's) holds a frame as the device's
// back buffer does.
bool HoldsFrames() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return WindowBufferBits(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE) >= kFrameDepthBits &&
         WindowBufferBits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE) >= kFrameColourBits &&
         WindowBufferBits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE) >= kFrameColourBits &&
         WindowBufferBits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE) >= kFrameColourBits;
}

}  // namespace

std::unique_ptr<SdlGlWindow> SdlGlWindow::Create(const GlWindowOptions& options, std::string& error) {
  NameTheGame(options.Title);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("No usable video output (SDL video could not start): ") + SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<SdlGlWindow> result(new SdlGlWindow());
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // A window that keeps its frames is drawn through the device's own back buffer only.
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, options.KeepsFrames ? 0 : kFrameDepthBits);
  for (const SDL_GLattr channel : {SDL_GL_RED_SIZE, SDL_GL_GREEN_SIZE, SDL_GL_BLUE_SIZE})
    SDL_GL_SetAttribute(channel, options.KeepsFrames ? 0 : kFrameColourBits);
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
  flags |= options.Hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
  if (options.Resizable) flags |= SDL_WINDOW_RESIZABLE;
  result->window_ = SDL_CreateWindow(options.Title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     options.Width, options.Height, flags);
  if (result->window_ == nullptr) {
    error = std::string("No usable video output (the window could not be created): ") + SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return nullptr;
  }
  result->context_ = SDL_GL_CreateContext(result->window_);
  if (result->context_ == nullptr) {
    error = std::string("OpenGL 3.3 (core profile) is not available: ") + SDL_GetError();
    return nullptr;  // the destructor closes the window
  }
  result->glVersion_ = epoxy_gl_version();
  if (result->glVersion_ < 33) {
    error = "OpenGL 3.3 (core profile) is not available: the driver offers OpenGL " +
            std::to_string(result->glVersion_ / 10) + "." + std::to_string(result->glVersion_ % 10);
    return nullptr;
  }
  result->clipControl_ =
      options.AllowClipControl && (result->glVersion_ >= 45 || epoxy_has_gl_extension("GL_ARB_clip_control"));
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (options.CapSoftwareBackBuffer && renderer != nullptr && IsSoftwareRenderer(renderer))
    result->backBufferCap_ = kSoftwareBackBufferCap;
  result->drawsFramesDirectly_ = !options.KeepsFrames && HoldsFrames();
  if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1);  // adaptive vsync, else vsync
  return result;
}

SdlGlWindow::~SdlGlWindow() {
  *alive_ = false;
  if (context_ != nullptr) SDL_GL_DeleteContext(context_);
  if (window_ != nullptr) {
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
}

PixelSize SdlGlWindow::DrawableSize() const {
  PixelSize size;
  SDL_GL_GetDrawableSize(window_, &size.Width, &size.Height);
  return size;
}

void SdlGlWindow::Swap() { SDL_GL_SwapWindow(window_); }

bool SdlGlWindow::HasInputFocus() const { return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0; }

std::string SdlGlWindow::Renderer() const {
  const GLubyte* renderer = glGetString(GL_RENDERER);
  const GLubyte* version = glGetString(GL_VERSION);
  return std::string(renderer ? reinterpret_cast<const char*>(renderer) : "?") + ", OpenGL " +
         (version ? reinterpret_cast<const char*>(version) : "?");
}

}  // namespace zt
