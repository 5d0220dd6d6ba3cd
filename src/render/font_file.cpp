#include "render/font_file.h"

#include <charconv>
#include <vector>

#include "core/load_error.h"
#include "core/text_file.h"

namespace zt {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The decimal integers of one line, blank separated. False when something else stands on it,
// or when a number is out of the range of a 32-bit integer.
bool ParseNumbers(const std::string& line, std::vector<int32_t>& out) {
  out.clear();
  size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    const char* begin = line.data() + i;
    const char* end = line.data() + line.size();
    int32_t value = 0;
    if (*begin == '+') ++begin;  // from_chars takes a minus sign but no plus sign
    const auto [next, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || (next != end && !IsBlank(*next))) return false;
    out.push_back(value);
    i = static_cast<size_t>(next - line.data());
  }
  return true;
}

// The first number of a line whose remainder is skipped; it must be followed by a blank or the end.
bool ParseLeadingNumber(const std::string& line, int32_t& out) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  size_t j = i;
  while (j < line.size() && !IsBlank(line[j])) ++j;
  std::vector<int32_t> numbers;
  if (!ParseNumbers(line.substr(i, j - i), numbers) || numbers.size() != 1) return false;
  out = numbers[0];
  return true;
}

}  // namespace

const GlyphRect& FontMetrics::Rect(int glyph) const {
  static const GlyphRect kEmpty{};
  return glyph >= 1 && glyph <= kMaxGlyphs ? GlyphTable[glyph - 1] : kEmpty;
}

int32_t FontMetrics::Width(int glyph) const { return glyph >= 1 && glyph <= kMaxGlyphs ? GlyphWidths[glyph - 1] : 0; }

FontMetrics LoadLetterTexCoords(const std::string& path) {
  return ParseLetterTexCoords(ReadWholeFile(path, path), path);
}

FontMetrics ParseLetterTexCoords(const std::string& text, const std::string& path) {
  LineReader lines(text, path);
  FontMetrics font;
  lines.Next();  // caption
  if (!ParseLeadingNumber(lines.Next(), font.TextureWidth) || font.TextureWidth <= 0)
    throw LoadError(path, "expected the texture width, a positive number", lines.Number());
  lines.Next();  // caption
  if (!ParseLeadingNumber(lines.Next(), font.RowCount) || font.RowCount <= 0)
    throw LoadError(path, "expected the number of glyph rows, a positive number", lines.Number());

  const float width = static_cast<float>(font.TextureWidth);
  const float rows = static_cast<float>(font.RowCount);
  std::vector<int32_t> bounds;
  for (int row = 0; row < font.RowCount; ++row) {
    if (!ParseNumbers(lines.Next(), bounds))
      throw LoadError(path, "a glyph row holds something other than whole numbers", lines.Number());
    if (bounds.empty()) throw LoadError(path, "a glyph row is empty", lines.Number());
    for (size_t k = 0; k < bounds.size(); ++k) {
      if (bounds[k] < 0 || bounds[k] > font.TextureWidth)
        throw LoadError(path, "a glyph boundary lies outside the texture width", lines.Number());
      if (k > 0 && bounds[k] < bounds[k - 1])
        throw LoadError(path, "glyph boundaries must not run backwards", lines.Number());
    }
    for (size_t k = 1; k < bounds.size(); ++k) {
      if (font.GlyphCount == kMaxGlyphs) throw LoadError(path, "more than 100 glyphs", lines.Number());
      GlyphRect& rect = font.GlyphTable[font.GlyphCount];
      rect.ULeft = static_cast<float>(bounds[k - 1]) / width;
      rect.URight = static_cast<float>(bounds[k]) / width;
      rect.VTop = static_cast<float>(row) / rows;
      rect.VBottom = static_cast<float>(row + 1) / rows;
      font.GlyphWidths[font.GlyphCount] = bounds[k] - bounds[k - 1];
      ++font.GlyphCount;
    }
  }
  return font;
}

}  // namespace zt
