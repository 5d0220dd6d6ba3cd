// Zellory Torvane: a falling-block puzzle game in 3D.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/headless.h"
#include "app/window_app.h"
#include "core/load_error.h"
#include "render/jpeg_conversion.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  zt::CommandLine line = zt::ParseCommandLine(arguments);
  if (!line.Error.empty()) {
    std::cerr << "zellory-torvane: " << line.Error << "\n\n" << zt::Usage();
    return 2;
  }
  std::error_code noFolder;  // a start folder that is gone leaves the names as they were given
  if (const std::filesystem::path start = std::filesystem::current_path(noFolder); !noFolder)
    zt::AnchorPaths(line, start);
  if (line.Help) {
    std::cout << zt::Usage();
    return 0;
  }
  if (line.Version) {
    std::cout << "Zellory Torvane " << ZT_VERSION << '\n';
    return 0;
  }
  if (!line.ConvertPictures.empty()) {
    try {
      zt::ConvertIntroToBMP(line.ConvertPictures);
      zt::ConvertPicturesToBMP(line.ConvertPictures);
      return 0;
    } catch (const zt::LoadError& error) {
      std::cerr << "zellory-torvane: " << error.what() << '\n';
      return 1;
    }
  }
  if (!line.Replay.empty() && !line.Screenshot.empty())
    return zt::RunScreenshotReplay(line.Replay, line.Screenshot, line.Width, line.Height, std::cout, std::cerr);
  if (!line.Replay.empty() && !line.Frames.empty())
    return zt::RunFramesReplay(line.Replay, zt::FramesOutput{line.Frames, line.Width, line.Height, line.FrameStep},
                               std::cout, std::cerr);
  if (!line.Replay.empty() && line.Headless) return zt::RunHeadlessReplay(line.Replay, std::cout, std::cerr);
  return zt::RunWindowed(line);
}
