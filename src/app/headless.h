// Replays without a player: headless (the recording device, no window, no audio device)
// or drawn on a hidden window whose last frame is saved as a picture.
#pragma once

#include <iosfwd>
#include <string>

namespace zt {

// Exit status: 0 the file ran and every expect held, 1 an expect failed (or loading failed),
// 2 the file cannot be read or has a malformed line. SIGHUP, SIGINT and SIGTERM end the run
// after the frame in progress as the end of the file would, the player's files saved as a close
// saves them.
int RunHeadlessReplay(const std::string& replayPath, std::ostream& out, std::ostream& err);

// As RunHeadlessReplay, drawn with the real OpenGL device at width x height; the last frame
// drawn is written to pngPath. Exit status as above (1 also when the picture cannot be written).
// A picture is all it writes: the player's files (settings, high scores, debug.txt, result.txt)
// are read as play reads them and left as they are.
int RunScreenshotReplay(const std::string& replayPath, const std::string& pngPath, int width, int height,
                        std::ostream& out, std::ostream& err);

// Where and how a drawn replay's frames go.
struct FramesOutput {
  std::string Folder;  // made when missing
  int Width = 720, Height = 540;
  int Every = 1;  // every Nth frame is written, the first one included
};

// As RunScreenshotReplay, every Every-th frame written into the folder as it is drawn, numbered
// from 1 without gaps ("000001.png", "000002.png", ...), so that a video tool can read them in
// turn. A picture that cannot be written ends the run with status 1. Like the screenshot, it
// writes nothing else.
int RunFramesReplay(const std::string& replayPath, const FramesOutput& output, std::ostream& out, std::ostream& err);

}  // namespace zt
