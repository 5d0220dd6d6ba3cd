#include "app/command_line.h"

#include <charconv>

namespace zt {

namespace {

bool ParseInt(const std::string& text, int& value) {
  auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && rest == text.data() + text.size();
}

bool ParseSize(const std::string& text, int& width, int& height) {
  const size_t x = text.find('x');
  if (x == std::string::npos) return false;
  return ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) && width >= 64 && height >= 48 &&
         width <= 8192 && height <= 8192;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  auto value = [&](size_t& i) -> const std::string* {
    if (i + 1 >= arguments.size()) {
      line.Error = arguments[i] + " needs a value";
      return nullptr;
    }
    return &arguments[++i];
  };
  for (size_t i = 0; i < arguments.size() && line.Error.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      line.Help = true;
    } else if (argument == "--version") {
      line.Version = true;
    } else if (argument == "--fullscreen") {
      line.FullScreen = true;
    } else if (argument == "--windowed") {
      line.FullScreen = false;
    } else if (argument == "--headless") {
      line.Headless = true;
    } else if (argument == "--game") {
      if (const std::string* text = value(i);
          text && (!ParseInt(*text, line.GameType) || line.GameType < 1 || line.GameType > 5))
        line.Error = "--game takes a game type 1..5";
    } else if (argument == "--demo") {
      if (const std::string* text = value(i);
          text && (!ParseInt(*text, line.DemoType) || line.DemoType < 1 || line.DemoType > 5))
        line.Error = "--demo takes a game type 1..5";
    } else if (argument == "--fps") {
      if (const std::string* text = value(i);
          text && (!ParseInt(*text, line.FramesPerSecond) || line.FramesPerSecond < 0 || line.FramesPerSecond > 1000))
        line.Error = "--fps takes frames a second 0..1000 (0: as many as can be drawn)";
    } else if (argument == "--convert-pictures") {
      if (const std::string* text = value(i)) line.ConvertPictures = *text;
    } else if (argument == "--record") {
      if (const std::string* text = value(i)) line.Record = *text;
    } else if (argument == "--replay") {
      if (const std::string* text = value(i)) line.Replay = *text;
    } else if (argument == "--screenshot") {
      if (const std::string* text = value(i)) line.Screenshot = *text;
    } else if (argument == "--frames") {
      if (const std::string* text = value(i)) line.Frames = *text;
    } else if (argument == "--every") {
      if (const std::string* text = value(i); text && (!ParseInt(*text, line.FrameStep) || line.FrameStep < 1))
        line.Error = "--every takes a number of frames, 1 or more";
    } else if (argument == "--size") {
      if (const std::string* text = value(i); text && !ParseSize(*text, line.Width, line.Height))
        line.Error = "--size takes WIDTHxHEIGHT, for example 720x540";
    } else {
      line.Error = "unknown option " + argument;
    }
  }
  if (line.Error.empty() && (line.Headless || !line.Screenshot.empty() || !line.Frames.empty()) && line.Replay.empty())
    line.Error = "--headless, --screenshot and --frames go with --replay FILE";
  if (line.Error.empty() && !line.Frames.empty() && (line.Headless || !line.Screenshot.empty()))
    line.Error = "--frames draws every frame: it goes with neither --headless nor --screenshot";
  if (line.Error.empty() && line.FrameStep != 1 && line.Frames.empty()) line.Error = "--every goes with --frames DIR";
  if (line.Error.empty() && !line.Replay.empty() && (!line.Record.empty() || line.DemoType != 0))
    line.Error = "--replay plays a recorded game: it goes with neither --record nor --demo";
  return line;
}

void AnchorPaths(CommandLine& line, const std::filesystem::path& startFolder) {
  for (std::string* path : {&line.Record, &line.Replay, &line.Screenshot, &line.Frames, &line.ConvertPictures})
    if (!path->empty()) *path = (startFolder / *path).string();
}

std::string Usage() {
  return "Usage: zellory-torvane [OPTION]...\n"
         "A falling-block puzzle game in 3D.\n"
         "\n"
         "  --windowed, --fullscreen   play in a window or full screen this time only\n"
         "  --game T                   start straight into a game of type T:\n"
         "                             1 Torvane, 2 Redara, 3 Vodoza, 4 Kids, 5 Retro\n"
         "  --record FILE              write the game played as a replay file\n"
         "  --replay FILE              play a recorded game in the window at its own pace\n"
         "  --demo T                   watch the computer play game type T until a key is pressed\n"
         "  --replay FILE --headless   run a replay file without a window and print its states\n"
         "  --replay FILE --screenshot OUT.png [--size WxH]\n"
         "                             run a replay and save its last frame as a picture\n"
         "  --replay FILE --frames DIR [--size WxH] [--every N]\n"
         "                             run a replay and save every Nth frame (1: each one) as\n"
         "                             DIR/000001.png, DIR/000002.png, ... to make a video of\n"
         "  --fps N                    draw N frames a second in the window (0: as many as can\n"
         "                             be drawn), for measurements; without it the frames follow\n"
         "                             the display (30 a second in the menus)\n"
         "  --convert-pictures DIR     convert the game folder DIR's JPEG pictures to the bitmaps\n"
         "                             the game reads (done at installation)\n"
         "  --help                     show this help and exit\n"
         "  --version                  show the version and exit\n";
}

}  // namespace zt
