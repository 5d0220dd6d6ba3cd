// The program's command line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zt {

struct CommandLine {
  bool Help = false;
  bool Version = false;
  std::optional<bool> FullScreen;  // --fullscreen / --windowed, for this run only
  int GameType = 0;                // --game T: straight into a game of type T
  int DemoType = 0;                // --demo T: the computer plays type T until a key is pressed
  std::string Record;              // --record FILE: the game played, as a replay file
  std::string Replay;              // --replay FILE
  bool Headless = false;           // with --replay: no window, no audio device
  std::string Screenshot;          // with --replay: the last frame as a PNG
  std::string Frames;              // --frames DIR, with --replay: the frames as PNGs in DIR
  int FrameStep = 1;               // --every N: every Nth frame of --frames, the first included
  int Width = 720, Height = 540;   // --size WxH of the screenshot or the frames
  int FramesPerSecond = -1;        // --fps N: the window's frames a second, 0 unlimited; -1 the display's pace
  std::string ConvertPictures;     // --convert-pictures DIR: the first start's picture work, done ahead
  std::string Error;               // empty when the line was understood
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
// Makes the files and folders the line names absolute from `startFolder`, the folder the program
// was started in: the program moves to its game folder before it opens any of them.
void AnchorPaths(CommandLine& line, const std::filesystem::path& startFolder);
std::string Usage();

}  // namespace zt
