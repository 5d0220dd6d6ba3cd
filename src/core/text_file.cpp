#include "core/text_file.h"

#include "core/file_read.h"
#include "core/load_error.h"

namespace zt {

std::string ReadWholeFile(const std::filesystem::path& file, const std::string& name) {
  FileBytes read = ReadFileBytes(file, kMaxTextDataBytes);
  if (!read.Ok()) throw LoadError(name, read.Error);
  return std::move(read.Bytes);
}

const std::string& LineReader::Next() {
  if (!std::getline(stream_, line_)) throw LoadError(name_, "the file ends early", number_ + 1);
  ++number_;
  if (!line_.empty() && line_.back() == '\r') line_.pop_back();
  return line_;
}

}  // namespace zt
