// A Windows-style INI file (config.ini) that can be edited in place: every section, key,
// comment and blank line of the file stays as it was, in its order, with its own line
// ends; writing a key changes only its value, a new key goes to the end of its section
// and a new section to the end of the file.
//
// Names of sections and keys compare without regard to ASCII case. A value is the text
// after the first '=' with the spaces and tabs around it removed, and without one pair of
// matching quotes ("..." or '...') around it. Lines starting with ';' are comments.
// When a section or key appears twice, the first one is read and written.
//
// An integer value is an optional '+' or '-' followed by decimal digits and nothing else,
// within the signed 32-bit range: "7", " 7 " (the spaces are not part of the value),
// "-3", "+3" and "007" are numbers; "12abc", "0x10", "1.5", "1 000", an empty value and
// anything beyond -2147483648..2147483647 are not, and read as the default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zt {

constexpr std::uintmax_t kMaxIniFileBytes = 1u << 20;  // config.ini holds a few hundred bytes

class IniFile {
 public:
  IniFile() = default;

  // The file's text as it is kept: LF or CR LF line ends (a file may mix them), with or
  // without a final line end, with or without a UTF-8 byte order mark.
  static IniFile Parse(std::string_view text);

  // Reads a file of at most kMaxIniFileBytes. A missing file gives an empty INI; a file
  // that exists but cannot be read (too large, not a regular file, a read error) gives
  // nothing, and `problem`, when given, says why.
  static std::optional<IniFile> Read(const std::string& path, std::string* problem = nullptr);

  std::optional<std::string> ReadString(std::string_view section, std::string_view key) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue = 0) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);  // decimal

  std::string Text() const;  // the whole file as it would be saved

  // The number (from 1) of the first line that is neither blank, a comment, a section header nor
  // a key; nothing when there is none.
  std::optional<size_t> FirstStrayLine() const;

  // Writes the file through a temporary file and a rename; false (old file untouched)
  // when that fails.
  bool Save(const std::string& path) const;

 private:
  struct Line {
    std::string Text;    // without its line end
    std::string Ending;  // "\r\n", "\n", or "" for a last line without one
  };

  // Index of the header line of the section, or nothing.
  std::optional<size_t> FindSection(std::string_view section) const;
  // Index of the key's line within the section whose header is at `header`, or nothing.
  std::optional<size_t> FindKey(size_t header, std::string_view key) const;
  size_t SectionEnd(size_t header) const;  // first line after the section
  std::string NewLineEnding() const;
  void InsertLine(size_t at, std::string text);

  std::vector<Line> lines_;
  bool byteOrderMark_ = false;
};

// The integer reading rule above, for a value already taken out of its line.
std::optional<int32_t> ParseIniInteger(std::string_view value);

}  // namespace zt
