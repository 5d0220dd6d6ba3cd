#include "core/ini_file.h"

#include <cassert>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/file_read.h"
#include "core/safe_save.h"

namespace zt {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool IsComment(std::string_view text) {
  text = Trim(text);
  return !text.empty() && text.front() == ';';
}

// The section name of a header line "[name]", or nothing for any other line.
std::optional<std::string_view> HeaderName(std::string_view text) {
  text = Trim(text);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const size_t close = text.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

// The key name of a "key=value" line, or nothing.
std::optional<std::string_view> KeyName(std::string_view text) {
  if (IsComment(text) || HeaderName(text)) return std::nullopt;
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(text.substr(0, equals));
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::optional<int32_t> ParseIniInteger(std::string_view value) {
  value = Trim(value);
  bool negative = false;
  if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
    negative = value.front() == '-';
    value.remove_prefix(1);
  }
  if (value.empty()) return std::nullopt;
  int64_t magnitude = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > int64_t{2147483648}) return std::nullopt;  // stops before int64 could overflow
  }
  const int64_t result = negative ? -magnitude : magnitude;
  if (result > int64_t{2147483647}) return std::nullopt;
  return static_cast<int32_t>(result);
}

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    ini.byteOrderMark_ = true;
    text.remove_prefix(kByteOrderMark.size());
  }
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    Line line;
    if (newline == std::string_view::npos) {
      line.Text = std::string(text);
      text = {};
    } else {
      std::string_view body = text.substr(0, newline);
      if (!body.empty() && body.back() == '\r') {
        body.remove_suffix(1);
        line.Ending = "\r\n";
      } else {
        line.Ending = "\n";
      }
      line.Text = std::string(body);
      text.remove_prefix(newline + 1);
    }
    ini.lines_.push_back(std::move(line));
  }
  return ini;
}

std::optional<IniFile> IniFile::Read(const std::string& path, std::string* problem) {
  const FileBytes read = ReadFileBytes(path, kMaxIniFileBytes);
  if (read.Status == FileReadStatus::Missing) return IniFile();
  if (read.Ok()) return Parse(read.Bytes);
  if (problem != nullptr) *problem = read.Error;
  return std::nullopt;
}

std::optional<size_t> IniFile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = HeaderName(lines_[i].Text);
    if (name && SameName(*name, Trim(section))) return i;
  }
  return std::nullopt;
}

size_t IniFile::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && !HeaderName(lines_[i].Text)) ++i;
  return i;
}

std::optional<size_t> IniFile::FindKey(size_t header, std::string_view key) const {
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const auto name = KeyName(lines_[i].Text);
    if (name && SameName(*name, Trim(key))) return i;
  }
  return std::nullopt;
}

std::optional<std::string> IniFile::ReadString(std::string_view section, std::string_view key) const {
  const auto header = FindSection(section);
  if (!header) return std::nullopt;
  const auto line = FindKey(*header, key);
  if (!line) return std::nullopt;
  const std::string_view text = lines_[*line].Text;
  return std::string(Unquote(Trim(text.substr(text.find('=') + 1))));
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const {
  const auto value = ReadString(section, key);
  if (!value) return defaultValue;
  return ParseIniInteger(*value).value_or(defaultValue);
}

std::string IniFile::NewLineEnding() const {
  for (const Line& line : lines_)
    if (!line.Ending.empty()) return line.Ending;
  return "\r\n";  // a new file gets the line ends INI files traditionally have
}

void IniFile::InsertLine(size_t at, std::string text) {
  // A new line ends like the line before it, so a file that mixes line ends stays so.
  const std::string ending = (at > 0 && !lines_[at - 1].Ending.empty()) ? lines_[at - 1].Ending : NewLineEnding();
  // The line before a new one must end, or the two would run together. A bare CR at the
  // end of its text stays its own: a plain LF after it would make the two one CR LF end.
  if (at > 0 && lines_[at - 1].Ending.empty()) {
    const std::string& before = lines_[at - 1].Text;
    lines_[at - 1].Ending = !before.empty() && before.back() == '\r' ? "\r\n" : ending;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), ending});
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  assert(value.find_first_of("\r\n") == std::string_view::npos && "a value is one line");
  const std::string keyName(Trim(key));
  auto header = FindSection(section);
  if (!header) {
    InsertLine(lines_.size(), std::string("[").append(Trim(section)).append("]"));
    header = lines_.size() - 1;
  }
  if (const auto line = FindKey(*header, key)) {
    std::string& text = lines_[*line].Text;
    // Keep the key and the spacing after '=' as the file had them.
    size_t valueStart = text.find('=') + 1;
    while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t')) ++valueStart;
    text = text.substr(0, valueStart) + std::string(value);
    return;
  }
  // After the last key of the section, or right after its header when it has none, so
  // that blank lines and comments leading into the next section stay with it.
  size_t at = *header + 1;
  const size_t end = SectionEnd(*header);
  for (size_t i = *header + 1; i < end; ++i)
    if (KeyName(lines_[i].Text)) at = i + 1;
  InsertLine(at, keyName + "=" + std::string(value));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

std::string IniFile::Text() const {
  std::string text = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
  for (const Line& line : lines_) text += line.Text + line.Ending;
  return text;
}

std::optional<size_t> IniFile::FirstStrayLine() const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const std::string_view text = lines_[i].Text;
    if (!Trim(text).empty() && !IsComment(text) && !HeaderName(text) && !KeyName(text)) return i + 1;
  }
  return std::nullopt;
}

bool IniFile::Save(const std::string& path) const { return SaveFileSafely(path, Text()); }

}  // namespace zt
