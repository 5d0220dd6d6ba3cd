#include "menu/name_characters.h"

#include <gtest/gtest.h>

#include "menu/high_scores.h"

namespace zt {
namespace {

TEST(NameCharacters, LettersBeyondAsciiBecomeTheirNearestAsciiLettersKeepingTheirCase) {
  EXPECT_EQ(NameCharactersFromUtf8("Müller"), "Muller");
  EXPECT_EQ(NameCharactersFromUtf8("ÜBER"), "UBER");
  EXPECT_EQ(NameCharactersFromUtf8("Straße"), "Strasse");
  EXPECT_EQ(NameCharactersFromUtf8("Ærøskøbing"), "AEroskobing");
  EXPECT_EQ(NameCharactersFromUtf8("Łódź Œuvre"), "Lodz OEuvre");
  EXPECT_EQ(NameCharactersFromUtf8("Ştefan Țară"), "Stefan Tara");  // cedilla and comma below
  EXPECT_EQ(NameCharactersFromUtf8("ÿ ſ ẞ"), "y s SS");
  EXPECT_EQ(NameCharactersFromUtf8("Þóra"), "THora");
}

TEST(NameCharacters, OtherCharactersBeyondAsciiAreDroppedAndAsciiPassesAsItIs) {
  EXPECT_EQ(NameCharactersFromUtf8("a×b÷c"), "abc");
  EXPECT_EQ(NameCharactersFromUtf8("Ζeta 東京 🙂!"), "eta  !");
  EXPECT_EQ(NameCharactersFromUtf8("\r\b\x1b\t ~"), "\r\b\x1b\t ~");
  EXPECT_EQ(NameCharactersFromUtf8(""), "");
}

TEST(NameCharacters, BrokenSequencesAreDroppedWithoutEatingWhatFollows) {
  EXPECT_EQ(NameCharactersFromUtf8("\xC3"), "");        // cut short at the end
  EXPECT_EQ(NameCharactersFromUtf8("\xC3Zed"), "Zed");  // cut short by a letter
  EXPECT_EQ(NameCharactersFromUtf8("\xFC"
                                   "ber"),
            "ber");                                             // a Latin-1 byte, not UTF-8
  EXPECT_EQ(NameCharactersFromUtf8("\xC0\x80x"), "x");          // an overlong NUL types nothing
  EXPECT_EQ(NameCharactersFromUtf8("\xE0\x81\x81y"), "y");      // an overlong 'A'
  EXPECT_EQ(NameCharactersFromUtf8("\xF4\x90\x80\x80z"), "z");  // past U+10FFFF
  EXPECT_EQ(NameCharactersFromUtf8("\x80\xBF"
                                   "ok"),
            "ok");  // stray continuation bytes
}

TEST(NameCharacters, ATwoLetterSpellingFillsTheNameAsFarAsItFits) {
  HighScoreState state;
  InsertNewScore(state, 1, 5000, 1);
  for (char c : NameCharactersFromUtf8("ßßßßßßßßßß")) FormKeyPress(state, static_cast<uint8_t>(c));
  EXPECT_EQ(state.Table[0][0].EntryName, std::string(18, 's'));
}

}  // namespace
}  // namespace zt
