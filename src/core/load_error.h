// A data file that is missing or malformed when the loading sequence reads it.
// Carried up to the loading sequence, which shows one message and ends the program.
#pragma once

#include <stdexcept>
#include <string>

namespace zt {

class LoadError : public std::runtime_error {
 public:
  LoadError(const std::string& file, const std::string& problem, int line = 0)
      : std::runtime_error(Describe(file, problem, line)), file_(file), line_(line) {}
  const std::string& File() const { return file_; }
  int Line() const { return line_; }  // 0 when no line applies

 private:
  static std::string Describe(const std::string& file, const std::string& problem, int line) {
    return "\"" + file + "\"" + (line > 0 ? ", line " + std::to_string(line) : std::string()) + ": " + problem;
  }
  std::string file_;
  int line_;
};

}  // namespace zt
