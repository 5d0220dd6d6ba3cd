#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/command_line.h"
#include "app/device_setup.h"
#include "device/recording_device.h"

namespace zt {
namespace {

TEST(CommandLine, ReadsTheOptionsAndRefusesTheRest) {
  CommandLine line = ParseCommandLine({"--replay", "a.replay", "--screenshot", "out.png", "--size", "1920x1080"});
  EXPECT_TRUE(line.Error.empty());
  EXPECT_EQ(line.Replay, "a.replay");
  EXPECT_EQ(line.Width, 1920);
  EXPECT_EQ(line.Height, 1080);
  line = ParseCommandLine({"--game", "5", "--windowed"});
  EXPECT_EQ(line.GameType, 5);
  EXPECT_EQ(line.FullScreen, false);
  EXPECT_EQ(line.FramesPerSecond, -1);  // the display's pace
  EXPECT_EQ(ParseCommandLine({"--fps", "0"}).FramesPerSecond, 0);
  EXPECT_EQ(ParseCommandLine({"--fps", "144"}).FramesPerSecond, 144);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{{"--game", "6"},
                                                                                   {"--game"},
                                                                                   {"--bogus"},
                                                                                   {"--headless"},
                                                                                   {"--replay", "x", "--size", "10x10"},
                                                                                   {"--size", "720by540"},
                                                                                   {"--fps", "-1"},
                                                                                   {"--fps", "1001"},
                                                                                   {"--fps", "60Hz"},
                                                                                   {"--fps"}})
    EXPECT_FALSE(ParseCommandLine(bad).Error.empty()) << bad[0];
}

TEST(CommandLine, FilesAreTakenFromTheFolderTheGameWasStartedIn) {
  CommandLine line = ParseCommandLine({"--replay", "games/a.replay", "--screenshot", "/tmp/out.png"});
  AnchorPaths(line, "/home/player");
  EXPECT_EQ(line.Replay, "/home/player/games/a.replay");
  EXPECT_EQ(line.Screenshot, "/tmp/out.png");
  EXPECT_EQ(line.Record, "");  // not given: still not given
  line = ParseCommandLine({"--record", "../b.replay", "--convert-pictures", "game"});
  AnchorPaths(line, "/home/player");
  EXPECT_EQ(line.Record, "/home/player/../b.replay");
  EXPECT_EQ(line.ConvertPictures, "/home/player/game");
}

std::string LogText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

class DeviceSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    log.Path =
        (std::filesystem::temp_directory_path() /
         ("zt_device_setup_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt"))
            .string();
    ResetLog(log);
  }
  DebugLog log;
  std::shared_ptr<RecordingDirect3D> factory = std::make_shared<RecordingDirect3D>();
  DeviceSetup setup;
  Settings settings;
};

TEST_F(DeviceSetupTest, WindowTakesTheDesktopFormatAndLogsNothing) {
  factory->Mode.Format = D3DFMT_R5G6B5;
  ASSERT_EQ(InitD3D(setup, factory), D3D_OK);
  EXPECT_EQ(setup.AdapterFormat, D3DFMT_R5G6B5);
  ASSERT_EQ(factory->CreatedWith.size(), 1u);
  EXPECT_EQ(factory->CreatedWith[0].Windowed, 1u);
  EXPECT_EQ(factory->CreatedWith[0].BackBufferWidth, 0u);
  EXPECT_EQ(factory->CreatedWith[0].AutoDepthStencilFormat, D3DFMT_D16);
  EXPECT_EQ(LogText(log.Path), "");
}

TEST_F(DeviceSetupTest, FullScreenPicksTheFirstAcceptedFormatAndLogsEachStep) {
  factory->DisplayFormats = {D3DFMT_R5G6B5};
  ASSERT_EQ(InitD3DFullScreen(setup, factory, settings, log), D3D_OK);
  EXPECT_EQ(setup.AdapterFormat, D3DFMT_R5G6B5);
  // Desktop settings: 0 x 0 reaches the device, which takes the window's 4:3 picture.
  ASSERT_EQ(factory->CreatedWith.size(), 1u);
  EXPECT_EQ(factory->CreatedWith[0].BackBufferWidth, 0u);
  EXPECT_EQ(factory->CreatedWith[0].BackBufferHeight, 0u);
  EXPECT_EQ(factory->CreatedWith[0].Windowed, 0u);
  EXPECT_EQ(factory->CreatedWith[0].BackBufferFormat, D3DFMT_R5G6B5);
  EXPECT_EQ(
      LogText(log.Path),
      "Direct3DCreate - Ok\r\nAdapterFormat 23\r\nTextOut \"Loading\"\r\nFill d3dpp - Ok\r\nCreateDevice - Ok\r\n");
}

TEST_F(DeviceSetupTest, FullScreenWithAChosenModeUsesIt) {
  settings.ScreenWidth = 800;
  settings.ScreenHeight = 600;
  ASSERT_EQ(InitD3DFullScreen(setup, factory, settings, log), D3D_OK);
  EXPECT_EQ(setup.d3dpp.BackBufferWidth, 800u);
  EXPECT_EQ(setup.d3dpp.BackBufferHeight, 600u);
  EXPECT_EQ(setup.AdapterFormat, D3DFMT_X8R8G8B8);
}

TEST_F(DeviceSetupTest, CreationFailureIsReturnedAndStillLogged) {
  factory->CreateDeviceResult = static_cast<HRESULT>(0x8876086Au);
  EXPECT_EQ(InitD3DFullScreen(setup, factory, settings, log), static_cast<HRESULT>(0x8876086Au));
  EXPECT_NE(LogText(log.Path).find("CreateDevice - Ok"), std::string::npos);
  EXPECT_FALSE(Succeeded(InitD3D(setup, nullptr)));
}

TEST_F(DeviceSetupTest, TextureFormatFallsBackThroughTheAlphaFormats) {
  ASSERT_EQ(InitD3D(setup, factory), D3D_OK);
  EXPECT_EQ(ChooseTextureFormat(setup, true), D3DFMT_A8R8G8B8);
  factory->TextureFormats = {D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5};
  EXPECT_EQ(ChooseTextureFormat(setup, true), D3DFMT_A4R4G4B4);
  factory->TextureFormats = {D3DFMT_A1R5G5B5};
  EXPECT_EQ(ChooseTextureFormat(setup, true), D3DFMT_A1R5G5B5);
  factory->TextureFormats = {D3DFMT_R5G6B5};
  EXPECT_EQ(ChooseTextureFormat(setup, true), D3DFMT_UNKNOWN);
  EXPECT_EQ(ChooseTextureFormat(setup, false), D3DFMT_R5G6B5);
}

}  // namespace
}  // namespace zt
