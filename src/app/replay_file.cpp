#include "app/replay_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/start_line.h"
#include "core/file_read.h"

namespace zt {

namespace {

struct NamedKey {
  const char* Name;
  uint8_t Code;
};

constexpr std::array<NamedKey, 15> kKeyNames = {{{"esc", 1},
                                                 {"tab", 15},
                                                 {"y", 21},
                                                 {"p", 25},
                                                 {"enter", 28},
                                                 {"lctrl", 29},
                                                 {"n", 49},
                                                 {"space", 57},
                                                 {"rctrl", 157},
                                                 {"pause", 197},
                                                 {"up", 200},
                                                 {"left", 203},
                                                 {"right", 205},
                                                 {"down", 208},
                                                 {"pad", 255}}};

[[noreturn]] void Fail(const std::string& name, int line, const std::string& problem) {
  throw ReplayError(name + ", line " + std::to_string(line) + ": " + problem);
}

template <typename Number>
bool ParseNumber(const std::string& word, Number& value) {
  const char* end = word.data() + word.size();
  auto [rest, error] = std::from_chars(word.data(), end, value);
  return error == std::errc() && rest == end;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

std::string Unescape(const std::string& text, const std::string& name, int line) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) Fail(name, line, "a backslash ends the text");
    switch (text[i]) {
      case 'r':
        out += '\r';
        break;
      case 'b':
        out += '\b';
        break;
      case 'e':
        out += '\x1b';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        Fail(name, line, std::string("unknown escape \\") + text[i]);
    }
  }
  return out;
}

void ParseKeys(const std::vector<std::string>& words, size_t first, ReplayCommand& command, const std::string& name) {
  for (size_t i = first; i < words.size(); ++i) {
    uint8_t code = 0;
    if (!KeyCodeForName(words[i], code)) Fail(name, command.Line, "unknown key \"" + words[i] + "\"");
    command.Keys.push_back(code);
  }
}

// The settings an option line may give, each with the values the game itself can give it
// and a little around them; anything else (not finite, far out) is a malformed line.
struct OptionRange {
  const char* Name;
  double Lowest, Highest;
  bool Whole;           // whole numbers only
  const char* Allowed;  // the range in words
};

// The game's turn speeds are 0.75, 1.15 and 1.55; its sideways delays 170, 250 and 340 ms,
// and 0 when config.ini names an unknown code.
constexpr std::array<OptionRange, 5> kOptionRanges = {{
    {"RotationClockwise", 0, 1, true, "0 or 1"},
    {"RotationSpeedFactor", 0.5, 2, false, "a number from 0.5 to 2"},
    {"SidewaysKeyDelay", 0, 1000, true, "a whole number from 0 to 1000"},
    {"FullScreenMode", 0, 1, true, "0 or 1"},
    {"Palette", 0, 1, true, "0 or 1"},
}};

const OptionRange* FindOption(const std::string& name) {
  for (const OptionRange& option : kOptionRanges)
    if (name == option.Name) return &option;
  return nullptr;
}

bool WithinRange(const OptionRange& option, double value) {
  // false for NaN too: every comparison with it fails
  return value >= option.Lowest && value <= option.Highest && (!option.Whole || value == std::floor(value));
}

uint32_t ParseFrameMs(const std::string& word, const std::string& name, int line) {
  uint32_t ms = 0;
  if (!ParseNumber(word, ms) || ms < 1 || ms > 100000) Fail(name, line, "a frame lasts 1..100000 ms");
  return ms;
}

}  // namespace

bool KeyCodeForName(const std::string& name, uint8_t& code) {
  for (const NamedKey& key : kKeyNames)
    if (name == key.Name) {
      code = key.Code;
      return true;
    }
  unsigned value = 0;
  if (name.rfind("dik:", 0) == 0 && ParseNumber(name.substr(4), value) && value <= 255) {
    code = static_cast<uint8_t>(value);
    return true;
  }
  return false;
}

const char* KeyNameForCode(uint8_t code) {
  for (const NamedKey& key : kKeyNames)
    if (key.Code == code) return key.Name;
  return nullptr;
}

ReplayFile ParseReplay(const std::string& text, const std::string& name) {
  ReplayFile file;
  file.Name = name;
  std::istringstream stream(text);
  std::string line;
  for (int lineNumber = 1; std::getline(stream, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    ReplayCommand command;
    command.Line = lineNumber;
    const std::string& verb = words[0];
    if (verb == "seed") {
      if (words.size() != 2 || !ParseNumber(words[1], command.Seed)) Fail(name, lineNumber, "seed needs a number");
      command.What = ReplayCommand::Kind::kSeed;
    } else if (verb == "game") {
      if (words.size() != 2 || !ParseNumber(words[1], command.GameType) || command.GameType < 1 || command.GameType > 5)
        Fail(name, lineNumber, "game needs a game type 1..5");
      command.What = ReplayCommand::Kind::kGame;
    } else if (verb == "frame") {
      if (words.size() < 2) Fail(name, lineNumber, "frame needs its milliseconds");
      command.What = ReplayCommand::Kind::kFrames;
      command.Ms = ParseFrameMs(words[1], name, lineNumber);
      ParseKeys(words, 2, command, name);
    } else if (verb == "frames") {
      if (words.size() < 3 || !ParseNumber(words[1], command.Count) || command.Count < 1 || command.Count > 10000000)
        Fail(name, lineNumber, "frames needs a count and milliseconds");
      command.What = ReplayCommand::Kind::kFrames;
      command.Ms = ParseFrameMs(words[2], name, lineNumber);
      ParseKeys(words, 3, command, name);
    } else if (verb == "autoplay") {
      if (words.size() != 3 || !ParseNumber(words[1], command.Count) || command.Count < 1 || command.Count > 10000000)
        Fail(name, lineNumber, "autoplay needs a count and milliseconds");
      command.What = ReplayCommand::Kind::kAutoplay;
      command.Ms = ParseFrameMs(words[2], name, lineNumber);
    } else if (verb == "option") {
      const OptionRange* option = words.size() == 3 ? FindOption(words[1]) : nullptr;
      if (option == nullptr || !ParseNumber(words[2], command.OptionValue))
        Fail(name, lineNumber, "option needs a known setting and a number");
      if (!WithinRange(*option, command.OptionValue))
        Fail(name, lineNumber, std::string(option->Name) + " takes " + option->Allowed);
      command.What = ReplayCommand::Kind::kOption;
      command.Path = words[1];
      command.Value = words[2];
    } else if (verb == "type") {
      command.What = ReplayCommand::Kind::kType;
      const size_t start = line.find("type") + 4;
      command.Text = Unescape(start < line.size() ? line.substr(start + 1) : std::string(), name, lineNumber);
    } else if (verb == "start") {
      const nlohmann::json object = nlohmann::json::parse(line.substr(line.find("start") + 5), nullptr, false);
      const std::optional<InheritedState> start = InheritedStateFromJson(object);
      if (!start) Fail(name, lineNumber, "start needs the state a game starts from");
      command.What = ReplayCommand::Kind::kStart;
      command.Start = *start;
    } else if (verb == "state") {
      if (words.size() != 1) Fail(name, lineNumber, "state takes nothing");
      command.What = ReplayCommand::Kind::kState;
    } else if (verb == "expect") {
      if (words.size() < 4) Fail(name, lineNumber, "expect needs a path, an operator and a value");
      command.What = ReplayCommand::Kind::kExpect;
      command.Path = words[1];
      command.Op = words[2];
      if (command.Op != "==" && command.Op != "!=" && command.Op != "<" && command.Op != "<=" && command.Op != ">" &&
          command.Op != ">=")
        Fail(name, lineNumber, "unknown operator \"" + command.Op + "\"");
      const size_t valueStart = line.find(words[3], line.find(command.Op) + command.Op.size());
      command.Value = line.substr(valueStart);
      while (!command.Value.empty() && (command.Value.back() == ' ' || command.Value.back() == '\t'))
        command.Value.pop_back();
      if (!nlohmann::json::accept(command.Value)) Fail(name, lineNumber, "the value is not JSON");
    } else {
      Fail(name, lineNumber, "unknown command \"" + verb + "\"");
    }
    file.Commands.push_back(std::move(command));
  }
  return file;
}

ReplayFile ReadReplayFile(const std::string& path) {
  const FileBytes read = ReadFileBytes(path, kMaxReplayFileBytes);
  if (!read.Ok()) throw ReplayError(path + ": " + read.Error);
  return ParseReplay(read.Bytes, path);
}

}  // namespace zt
