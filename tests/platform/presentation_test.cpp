// The picture's place on the window and the back buffer's size, for the windows and
// screens players have and the resolutions the settings offer.
#include "platform/presentation.h"

#include <gtest/gtest.h>

#include "core/settings.h"

namespace zt {
namespace {

TEST(FourByThreePicture, FillsTheDrawableInOneDirectionAndCentresInTheOther) {
  struct Case {
    const char* what;
    PixelSize drawable;
    PictureRect picture;
  };
  const Case cases[] = {
      {"4:3", {720, 540}, {0, 0, 720, 540}},
      {"16:9 full screen", {1920, 1080}, {240, 0, 1440, 1080}},
      {"16:9 HiDPI", {3840, 2160}, {480, 0, 2880, 2160}},
      {"16:10 HiDPI (1440 x 900 at twice the pixels)", {2880, 1800}, {240, 0, 2400, 1800}},
      {"1366 x 768", {1366, 768}, {171, 0, 1024, 768}},
      {"5:4", {1280, 1024}, {0, 32, 1280, 960}},
      {"tall window", {600, 1000}, {0, 275, 600, 450}},
      {"odd width, one spare column", {1001, 750}, {0, 0, 1000, 750}},
      {"odd height, one spare row", {800, 601}, {0, 0, 800, 600}},
      {"16:10, width rounded up", {1280, 800}, {106, 0, 1067, 800}},
      {"width not a multiple of 4", {802, 1000}, {0, 199, 802, 602}},
      {"1 x 1", {1, 1}, {0, 0, 1, 1}},
      {"1 pixel wide", {1, 100}, {0, 49, 1, 1}},
      {"1 pixel high", {100, 1}, {49, 0, 1, 1}},
      {"2 x 1", {2, 1}, {0, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    const PictureRect p = FourByThreePicture(c.drawable);
    EXPECT_EQ(p, c.picture) << c.what << ": got " << p.X << ", " << p.Y << ", " << p.Width << " x " << p.Height;
    // Never outside the drawable, and the bars on both sides differ by a pixel at most.
    EXPECT_LE(p.X + p.Width, c.drawable.Width) << c.what;
    EXPECT_LE(p.Y + p.Height, c.drawable.Height) << c.what;
    EXPECT_LE(c.drawable.Width - p.Width - 2 * p.X, 1) << c.what;
    EXPECT_LE(c.drawable.Height - p.Height - 2 * p.Y, 1) << c.what;
  }
}

TEST(FourByThreePicture, AWindowWithoutPixelsHasNoPicture) {
  EXPECT_EQ(FourByThreePicture({0, 0}), PictureRect{});
  EXPECT_EQ(FourByThreePicture({0, 600}), PictureRect{});
  EXPECT_EQ(FourByThreePicture({800, 0}), PictureRect{});
}

TEST(BackBufferSize, FollowsThePictureOrKeepsTheRequestedSizeWithinTheCap) {
  const PixelSize noCap{};
  struct Case {
    const char* what;
    PixelSize requested;
    PixelSize picture;
    PixelSize cap;
    PixelSize backBuffer;
  };
  const Case cases[] = {
      {"desktop settings on 16:9", {0, 0}, {1440, 1080}, noCap, {1440, 1080}},
      {"desktop settings, software renderer", {0, 0}, {1440, 1080}, kSoftwareBackBufferCap, {720, 540}},
      {"window below the cap", {0, 0}, {640, 480}, kSoftwareBackBufferCap, {640, 480}},
      {"window at the cap", {0, 0}, {720, 540}, kSoftwareBackBufferCap, {720, 540}},
      {"16:10 window past the cap", {0, 0}, {1067, 800}, kSoftwareBackBufferCap, {720, 540}},
      {"resolution below the picture", {800, 600}, {1440, 1080}, noCap, {800, 600}},
      {"resolution above the picture", {2048, 1536}, {1024, 768}, noCap, {2048, 1536}},
      {"resolution above the cap", {1024, 768}, {1440, 1080}, kSoftwareBackBufferCap, {720, 540}},
      {"resolution below the cap", {640, 480}, {1440, 1080}, kSoftwareBackBufferCap, {640, 480}},
      {"5:4 resolution above the cap", {1280, 1024}, {1440, 1080}, kSoftwareBackBufferCap, {720, 540}},
      {"one side requested", {1024, 0}, {800, 600}, noCap, {1024, 600}},
  };
  for (const Case& c : cases) {
    const PictureRect picture{3, 5, c.picture.Width, c.picture.Height};  // its place does not matter
    const PixelSize size = BackBufferSize(c.requested, picture, c.cap);
    EXPECT_EQ(size, c.backBuffer) << c.what << ": got " << size.Width << " x " << size.Height;
  }
}

TEST(BackBufferSize, IsEmptyOnlyWhenASideFollowsAWindowWithoutPixels) {
  for (PixelSize cap : {PixelSize{}, kSoftwareBackBufferCap}) {
    EXPECT_TRUE(BackBufferSize({0, 0}, PictureRect{}, cap).Empty());
    EXPECT_TRUE(BackBufferSize({800, 0}, PictureRect{}, cap).Empty());
    EXPECT_EQ(BackBufferSize({640, 480}, PictureRect{}, cap), (PixelSize{640, 480}));
  }
}

TEST(IsSoftwareRenderer, NamesMesasSoftwareRasterisersOnly) {
  for (const char* name : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer", "swrast"})
    EXPECT_TRUE(IsSoftwareRenderer(name)) << name;
  // Hardware drivers built on LLVM say so too.
  for (const char* name : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)",
                           "AMD Radeon RX 580 Series (radeonsi, polaris10, LLVM 15.0.6, DRM 3.49)",
                           "NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", ""})
    EXPECT_FALSE(IsSoftwareRenderer(name)) << name;
}

TEST(SmoothEdgesFor, AChoiceHoldsOnEveryRendererAndNoChoiceSmoothsOnAGraphicsCardOnly) {
  const char* card = "AMD Radeon RX 580 Series (radeonsi, polaris10, LLVM 15.0.6, DRM 3.49)";
  const char* software = "llvmpipe (LLVM 15.0.6, 256 bits), OpenGL 4.5 (Core Profile) Mesa 22.3.6";
  EXPECT_TRUE(SmoothEdgesFor(kAntialiasingByRenderer, card));
  EXPECT_FALSE(SmoothEdgesFor(kAntialiasingByRenderer, software));
  for (const char* renderer : {card, software}) {
    EXPECT_TRUE(SmoothEdgesFor(kAntialiasingOn, renderer)) << renderer;
    EXPECT_FALSE(SmoothEdgesFor(kAntialiasingOff, renderer)) << renderer;
  }
}

}  // namespace
}  // namespace zt
