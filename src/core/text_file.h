// Reading the game's text data files: a whole file at once, then its lines one by one, each
// failure a LoadError naming the file (and the line).
#pragma once

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

namespace zt {

// The most a text data file of the game may hold: fifty times its largest mesh.
constexpr std::uintmax_t kMaxTextDataBytes = 16u << 20;

// The whole file; LoadError naming `name` when it is missing, not a regular file, larger
// than kMaxTextDataBytes or cannot be read.
std::string ReadWholeFile(const std::filesystem::path& file, const std::string& name);

// Lines of a text in order, their CR LF or LF ends removed.
class LineReader {
 public:
  LineReader(const std::string& text, std::string name) : stream_(text), name_(std::move(name)) {}
  // The next line; LoadError naming the missing line when the text has ended.
  const std::string& Next();
  int Number() const { return number_; }  // of the line Next returned last

 private:
  std::istringstream stream_;
  std::string name_;
  std::string line_;
  int number_ = 0;
};

}  // namespace zt
