#include "core/text_file.h"

#include <fstream>

#include "core/load_error.h"

namespace zt {

std::string ReadWholeFile(const std::filesystem::path& file, const std::string& name) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw LoadError(name, "cannot open the file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw LoadError(name, "cannot read the file");
  return text.str();
}

const std::string& LineReader::Next() {
  if (!std::getline(stream_, line_)) throw LoadError(name_, "the file ends early", number_ + 1);
  ++number_;
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  return line_;
}

}  // namespace zt
