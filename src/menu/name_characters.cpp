#include "menu/name_characters.h"

#include <array>
#include <cstdint>

namespace zt {

namespace {

constexpr uint32_t kNoCharacter = 0xFFFFFFFF;

// The ASCII letters of U+00C0 .. U+017F (Latin-1 letters and Latin Extended-A); × and ÷
// have none.
constexpr std::array<const char*, 0x180 - 0xC0> kLatinLetters = {
    "A", "A", "A",  "A", "A", "A", "AE", "C",  "E", "E", "E",  "E",  "I", "I", "I",  "I",  "D", "N", "O",  "O",
    "O", "O", "O",  "",  "O", "U", "U",  "U",  "U", "Y", "TH", "ss", "a", "a", "a",  "a",  "a", "a", "ae", "c",
    "e", "e", "e",  "e", "i", "i", "i",  "i",  "d", "n", "o",  "o",  "o", "o", "o",  "",   "o", "u", "u",  "u",
    "u", "y", "th", "y", "A", "a", "A",  "a",  "A", "a", "C",  "c",  "C", "c", "C",  "c",  "C", "c", "D",  "d",
    "D", "d", "E",  "e", "E", "e", "E",  "e",  "E", "e", "E",  "e",  "G", "g", "G",  "g",  "G", "g", "G",  "g",
    "H", "h", "H",  "h", "I", "i", "I",  "i",  "I", "i", "I",  "i",  "I", "i", "IJ", "ij", "J", "j", "K",  "k",
    "k", "L", "l",  "L", "l", "L", "l",  "L",  "l", "L", "l",  "N",  "n", "N", "n",  "N",  "n", "n", "N",  "n",
    "O", "o", "O",  "o", "O", "o", "OE", "oe", "R", "r", "R",  "r",  "R", "r", "S",  "s",  "S", "s", "S",  "s",
    "S", "s", "T",  "t", "T", "t", "T",  "t",  "U", "u", "U",  "u",  "U", "u", "U",  "u",  "U", "u", "U",  "u",
    "W", "w", "Y",  "y", "Y", "Z", "z",  "Z",  "z", "Z", "z",  "s",
};

std::string_view AsciiLetters(uint32_t code) {
  if (code >= 0xC0 && code < 0x180) return kLatinLetters[code - 0xC0];
  switch (code) {
    case 0x218:
      return "S";  // Romanian S and T with a comma below
    case 0x219:
      return "s";
    case 0x21A:
      return "T";
    case 0x21B:
      return "t";
    case 0x1E9E:
      return "SS";  // capital sharp s
    default:
      return "";
  }
}

// The code point starting at `at`, moving `at` past it; kNoCharacter for a broken sequence
// (then `at` moves one byte on).
uint32_t NextCodePoint(std::string_view text, size_t& at) {
  const auto lead = static_cast<uint8_t>(text[at++]);
  if (lead < 0x80) return lead;
  size_t length = 0;
  uint32_t code = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 1, code = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 2, code = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 3, code = lead & 0x07u;
  } else {
    return kNoCharacter;
  }
  if (text.size() - at < length) return kNoCharacter;
  for (size_t k = 0; k < length; ++k) {
    const auto next = static_cast<uint8_t>(text[at + k]);
    if ((next & 0xC0) != 0x80) return kNoCharacter;
    code = (code << 6) | (next & 0x3Fu);
  }
  at += length;
  constexpr uint32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
  return code >= kShortest[length] && code <= 0x10FFFF ? code : kNoCharacter;  // overlong forms say nothing
}

}  // namespace

std::string NameCharactersFromUtf8(std::string_view text) {
  std::string name;
  for (size_t at = 0; at < text.size();) {
    const uint32_t code = NextCodePoint(text, at);
    if (code < 0x80)
      name += static_cast<char>(code);
    else if (code != kNoCharacter)
      name += AsciiLetters(code);
  }
  return name;
}

}  // namespace zt
