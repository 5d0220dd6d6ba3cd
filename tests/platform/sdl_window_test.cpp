// The window names itself after the game's desktop entry, so docks and task bars find the
// entry's icon and name for it.
#include "platform/sdl_window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace zt {
namespace {

std::string DesktopEntry(const std::string& id) {
  std::ifstream file(std::string(ZT_SOURCE_DIR) + "/dist/" + id + ".desktop");
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(SdlGlWindow, TakesTheDesktopEntrysIdAsItsClassUnlessThePlayerChoseOne) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  const std::string entry = DesktopEntry(kDesktopEntryId);
  ASSERT_FALSE(entry.empty()) << "dist/ has no desktop entry named " << kDesktopEntryId;
  EXPECT_NE(entry.find(std::string("\nStartupWMClass=") + kDesktopEntryId + "\n"), std::string::npos);

  unsetenv("SDL_VIDEO_X11_WMCLASS");
  unsetenv("SDL_VIDEO_WAYLAND_WMCLASS");
  std::string error;
  auto window = SdlGlWindow::Create(HiddenWindowOptions(64, 48), error);
  ASSERT_NE(window, nullptr) << error;
  ASSERT_NE(std::getenv("SDL_VIDEO_X11_WMCLASS"), nullptr);
  ASSERT_NE(std::getenv("SDL_VIDEO_WAYLAND_WMCLASS"), nullptr);
  EXPECT_STREQ(std::getenv("SDL_VIDEO_X11_WMCLASS"), kDesktopEntryId);
  EXPECT_STREQ(std::getenv("SDL_VIDEO_WAYLAND_WMCLASS"), kDesktopEntryId);
  EXPECT_STREQ(SDL_GetHint(SDL_HINT_APP_NAME), "Zellory Torvane");
  window.reset();

  setenv("SDL_VIDEO_X11_WMCLASS", "chosen-by-the-player", 1);
  window = SdlGlWindow::Create(HiddenWindowOptions(64, 48), error);
  ASSERT_NE(window, nullptr) << error;
  EXPECT_STREQ(std::getenv("SDL_VIDEO_X11_WMCLASS"), "chosen-by-the-player");
  unsetenv("SDL_VIDEO_X11_WMCLASS");
}

}  // namespace
}  // namespace zt
