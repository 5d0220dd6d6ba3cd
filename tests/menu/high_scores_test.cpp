#include "menu/high_scores.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "core/save_lock.h"
#include "game/figure.h"
#include "game/lines.h"
#include "menu/record_replays.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// One record as the file holds it: name, 0xFF, score digits, space, each XOR 10 × row.
std::string Record(int row, const std::string& name, const std::string& score) {
  std::string plain = name + '\xFF' + score + ' ';
  for (char& c : plain) c = static_cast<char>(static_cast<uint8_t>(c) ^ (10 * row));
  return plain;
}

std::string DefaultFile() {
  std::string bytes;
  for (int type = 1; type <= 5; ++type)
    for (int row = 1; row <= 10; ++row) bytes += Record(row, "Noname", "0");
  return bytes;
}

struct HighScoreFile : ::testing::Test {
  TempFolder folder;
  std::string path = folder.File("highscores.dat");
  DebugLog log{folder.File("debug.txt")};
  HighScoreState state;
};

TEST_F(HighScoreFile, MissingFileGivesTheDefaultTableWrittenAsFourHundredFiftyBytes) {
  LoadHighScores(state, path, log);
  EXPECT_TRUE(state.HighScoresLoaded);
  for (const auto& rows : state.Table)
    for (const HighScoreEntry& entry : rows) {
      EXPECT_EQ(entry.EntryName, "Noname");
      EXPECT_EQ(entry.EntryScore, 0);
    }
  ASSERT_TRUE(SaveHighScores(state, path, log));
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes.size(), 450u);  // 50 records of "Noname", terminator, "0", space
  EXPECT_EQ(bytes, DefaultFile());
  EXPECT_EQ(testing::FilesIn(folder.Path()), 2u) << "the table and its lock file, no temporary file";

  HighScoreState again;
  LoadHighScores(again, path, log);
  EXPECT_EQ(again.Table[4][9].EntryName, "Noname");
  EXPECT_FALSE(std::filesystem::exists(log.Path)) << "a sound file logs nothing";
}

TEST_F(HighScoreFile, RecordsAreScrambledByRowAndRoundTrip) {
  state.Table = DefaultHighScoreTable();
  state.Table[1][1] = {"Ab", 1234};
  state.Table[1][0] = {"", 2147483647};
  state.Table[4][9] = {"Z", 7};
  const std::string bytes = EncodeHighScores(state.Table);
  EXPECT_EQ(state.Table[1][0].EntryName, "noname") << "an empty name is saved, and kept, as noname";
  WriteBytes(path, bytes);

  const std::string type2 = Record(1, "noname", "2147483647") + Record(2, "Ab", "1234");
  EXPECT_EQ(bytes.substr(90, type2.size()), type2);
  EXPECT_EQ(bytes.substr(90 + type2.size() - 8, 8), std::string("\x55\x76\xEB\x25\x26\x27\x20\x34", 8));
  EXPECT_EQ(bytes.substr(bytes.size() - 4), Record(10, "Z", "7"));

  HighScoreState loaded;
  LoadHighScores(loaded, path, log);
  EXPECT_EQ(loaded.Table, state.Table);
}

TEST_F(HighScoreFile, NamesWithCharactersTheFontCannotDrawComeBackUnchanged) {
  std::string bytes =
      Record(1, std::string("a\x01[~\x80\xFE\x00z", 8), "5") + Record(2, "Name longer than eighteen", "3");
  for (int row = 3; row <= 10; ++row) bytes += Record(row, "Noname", "0");
  bytes += DefaultFile().substr(90);
  WriteBytes(path, bytes);
  LoadHighScores(state, path, log);
  EXPECT_EQ(state.Table[0][0].EntryName, std::string("a\x01[~\x80\xFE\x00z", 8));
  EXPECT_EQ(state.Table[0][1].EntryName, "Name longer than eighteen");
  ASSERT_TRUE(SaveHighScores(state, path, log));
  EXPECT_EQ(ReadBytes(path), bytes);
}

TEST_F(HighScoreFile, ShortFileLeavesEmptyRowsSavedAsNoname) {
  // Three whole records of game type 1, then a fourth cut inside its name.
  const std::string bytes = Record(1, "Ann", "900") + Record(2, "Bob", "800") + Record(3, "Cy", "700") +
                            Record(4, "Dorothy", "600").substr(0, 3);
  WriteBytes(path, bytes);
  LoadHighScores(state, path, log);
  EXPECT_TRUE(state.HighScoresLoaded);
  EXPECT_EQ(state.Table[0][2].EntryName, "Cy");
  EXPECT_EQ(state.Table[0][2].EntryScore, 700);
  EXPECT_EQ(state.Table[0][3].EntryName, "Dor");
  EXPECT_EQ(state.Table[0][3].EntryScore, 0);
  EXPECT_EQ(state.Table[0][4].EntryName, "");
  EXPECT_EQ(state.Table[4][9].EntryName, "");
  EXPECT_EQ(state.Table[4][9].EntryScore, 0);
  EXPECT_FALSE(std::filesystem::exists(path + ".bad")) << "a short file is not a damaged one";

  ASSERT_TRUE(SaveHighScores(state, path, log));
  const std::string saved = ReadBytes(path);
  const std::string whole = Record(1, "Ann", "900") + Record(2, "Bob", "800") + Record(3, "Cy", "700");
  const std::string start = whole + Record(4, "Dor", "0") + Record(5, "noname", "0");
  EXPECT_EQ(saved.substr(0, start.size()), start);
  EXPECT_EQ(saved.substr(saved.size() - 9), Record(10, "noname", "0"));
}

TEST_F(HighScoreFile, DamagedScoresGiveTheDefaultTableAndKeepTheFileAside) {
  std::vector<std::string> damaged;
  for (const std::string score : {"12x4", "-5", "2147483648", "99999999999999999999999"}) {
    const std::string bytes = Record(1, "Ann", "900") + Record(2, "Bob", score) + DefaultFile().substr(18);
    damaged.push_back(bytes);
    WriteBytes(path, bytes);
    std::filesystem::remove(log.Path);
    HighScoreState loaded;
    LoadHighScores(loaded, path, log);
    EXPECT_TRUE(loaded.HighScoresLoaded) << score;
    EXPECT_EQ(loaded.Table, DefaultHighScoreTable()) << score;
    EXPECT_EQ(ReadBytes(path + ".bad"), bytes) << score;
    const std::string logged = ReadBytes(log.Path);
    EXPECT_NE(logged.find("LoadHighScores - "), std::string::npos) << score;
    EXPECT_NE(logged.find("highscores.dat.bad"), std::string::npos) << score;

    ASSERT_TRUE(SaveHighScores(loaded, path, log));
    EXPECT_EQ(ReadBytes(path + ".bad"), bytes) << "saving leaves the damaged copy alone";
  }
  EXPECT_EQ(ReadBytes(path + ".bad.1"), damaged[2]) << "the last three damaged files are kept";
  EXPECT_EQ(ReadBytes(path + ".bad.2"), damaged[1]);
  EXPECT_FALSE(std::filesystem::exists(path + ".bad.3"));
  // A run that saves nothing of the player's leaves the damaged file where it is.
  WriteBytes(path, damaged[0]);
  HighScoreState shown;
  LoadHighScores(shown, path, log, DamagedTable::kLeave);
  EXPECT_EQ(shown.Table, DefaultHighScoreTable());
  EXPECT_EQ(ReadBytes(path), damaged[0]);
  EXPECT_EQ(ReadBytes(path + ".bad.1"), damaged[2]) << "no backup moved either";
  // The largest score there can be is sound.
  WriteBytes(path, Record(1, "Max", "2147483647"));
  LoadHighScores(state, path, log);
  EXPECT_EQ(state.Table[0][0].EntryScore, 2147483647);
}

TEST_F(HighScoreFile, UnreadableFileIsNeitherTrustedNorOverwritten) {
  std::filesystem::create_directory(path);
  LoadHighScores(state, path, log);
  EXPECT_FALSE(state.HighScoresLoaded);
  EXPECT_EQ(state.Table, DefaultHighScoreTable());
  EXPECT_NE(ReadBytes(log.Path).find("could not be read"), std::string::npos);
}

TEST_F(HighScoreFile, ReadErrorLeavesTheFileAsItIsForTheWholeRun) {
  // A link to the process's own memory, whose reading fails with EIO.
  std::filesystem::create_symlink("/proc/self/mem", path);
  LoadHighScores(state, path, log);
  EXPECT_FALSE(state.HighScoresLoaded);
  EXPECT_EQ(state.Table, DefaultHighScoreTable());
  EXPECT_NE(state.ReadError.find("Input/output error"), std::string::npos) << state.ReadError;
  EXPECT_NE(ReadBytes(log.Path).find("highscores.dat could not be read"), std::string::npos);

  // The file reads again later in the run; the table in memory is still not the file's.
  std::filesystem::remove(path);
  const std::string file = Record(1, "Ann", "900") + DefaultFile().substr(9);
  WriteBytes(path, file);
  state.Table[0][0] = {"New", 5};
  EXPECT_FALSE(SaveHighScores(state, path, log));
  EXPECT_EQ(ReadBytes(path), file);
  EXPECT_NE(ReadBytes(log.Path).find("SaveHighScores - skipped"), std::string::npos);

  LoadHighScores(state, path, log);  // a later reading that succeeds lets the table be saved
  EXPECT_TRUE(state.ReadError.empty());
  EXPECT_TRUE(SaveHighScores(state, path, log));
}

TEST_F(HighScoreFile, AFileBeyondSixtyFourKibibytesIsDamaged) {
  // One long name fills the file to the bound exactly: still a table.
  const std::string rest = DefaultFile().substr(9);
  const std::string name(65536 - rest.size() - 3, 'n');  // the record adds 0xFF, "7" and a space
  WriteBytes(path, Record(1, name, "7") + rest);
  LoadHighScores(state, path, log);
  EXPECT_EQ(state.Table[0][0].EntryName, name);
  EXPECT_EQ(state.Table[0][0].EntryScore, 7);
  EXPECT_FALSE(std::filesystem::exists(log.Path));

  WriteBytes(path, Record(1, name + "n", "7") + rest);
  LoadHighScores(state, path, log);
  EXPECT_TRUE(state.HighScoresLoaded);
  EXPECT_TRUE(state.ReadError.empty()) << "a damaged file is replaced by the next save";
  EXPECT_EQ(state.Table, DefaultHighScoreTable());
  EXPECT_NE(ReadBytes(log.Path).find("too large"), std::string::npos);

  // A sparse gigabyte is judged by its size, never read, and moved aside, never copied.
  std::filesystem::remove(log.Path);
  WriteBytes(path, "");
  std::filesystem::resize_file(path, std::uintmax_t{1} << 30);
  HighScoreState huge;
  LoadHighScores(huge, path, log);
  EXPECT_TRUE(huge.HighScoresLoaded);
  EXPECT_EQ(huge.Table, DefaultHighScoreTable());
  EXPECT_NE(ReadBytes(log.Path).find("too large"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path + ".bad"), std::uintmax_t{1} << 30);
}

TEST_F(HighScoreFile, FailedSaveIsLoggedAndKeepsThePreviousTable) {
  WriteBytes(path, DefaultFile());
  LoadHighScores(state, path, log);
  ASSERT_TRUE(InsertNewScore(state, 1, 5000, 1));
  FormKeyPress(state, 13);
  std::filesystem::create_directory(path + ".lock");  // no lock can be had
  EXPECT_FALSE(SaveHighScores(state, path, log));
  EXPECT_EQ(ReadBytes(path), DefaultFile());
  EXPECT_NE(ReadBytes(log.Path).find("SaveHighScores - "), std::string::npos);
}

// Game type 2 holds 1000, 900, ..., 100 in rows 1 to 10.
HighScoreState Ladder() {
  HighScoreState state;
  state.Table = DefaultHighScoreTable();
  for (int row = 1; row <= 10; ++row)
    state.Table[1][row - 1] = {std::string("P").append(std::to_string(row)), (11 - row) * 100};
  return state;
}

std::string LadderFile() {
  HighScoreTable table = Ladder().Table;
  return EncodeHighScores(table);
}

// A game that read the file and then named a new entry for game type 2, as at name entry.
HighScoreState GameThatNamed(const std::string& path, const DebugLog& log,
                             std::initializer_list<HighScoreEntry> entries) {
  HighScoreState game;
  LoadHighScores(game, path, log);
  for (const HighScoreEntry& entry : entries) {
    const int32_t position = UpdatePosition(game.Table[1], entry.EntryScore, kNoPosition);
    EXPECT_TRUE(InsertNewScore(game, 2, entry.EntryScore, position));
    for (const char c : entry.EntryName + '\r') FormKeyPress(game, static_cast<uint8_t>(c));
  }
  return game;
}

std::vector<HighScoreEntry> SavedRows(const std::string& path, const DebugLog& log, int gameType) {
  HighScoreState saved;
  LoadHighScores(saved, path, log);
  const auto& rows = saved.Table[gameType - 1];
  return {rows.begin(), rows.end()};
}

// Two games in one folder read the same table; each saves what it added in turn.
struct TwoGames : HighScoreFile {
  void SetUp() override { WriteBytes(path, LadderFile()); }
};

TEST_F(TwoGames, SavingInTurnBothKeepTheirEntriesTheFilesOwnFirstOnATie) {
  HighScoreState first = GameThatNamed(path, log, {{"Ann", 550}});
  HighScoreState second = GameThatNamed(path, log, {{"Bob", 550}, {"Cy", 950}});
  ASSERT_TRUE(SaveHighScores(first, path, log));
  ASSERT_TRUE(SaveHighScores(second, path, log));
  const std::vector<HighScoreEntry> expected = {{"P1", 1000}, {"Cy", 950},  {"P2", 900},  {"P3", 800}, {"P4", 700},
                                                {"P5", 600},  {"Ann", 550}, {"Bob", 550}, {"P6", 500}, {"P7", 400}};
  EXPECT_EQ(SavedRows(path, log, 2), expected);
  EXPECT_EQ(std::vector<HighScoreEntry>(second.Table[1].begin(), second.Table[1].end()), expected)
      << "the table in memory is the one saved";

  // The first game's save at shutdown, with nothing new, keeps the second one's entries.
  ASSERT_TRUE(SaveHighScores(first, path, log));
  EXPECT_EQ(SavedRows(path, log, 2), expected);
  EXPECT_EQ(first.Table, second.Table);
}

TEST_F(TwoGames, EndingTogetherBothKeepTheirScores) {
  HighScoreState first = GameThatNamed(path, log, {{"Ann", 1500}});
  HighScoreState second = GameThatNamed(path, log, {{"Bob", 1500}});
  const std::string before = ReadBytes(path);
  bool saved[2] = {};
  std::optional<SaveLock> otherGame(std::in_place, path);  // a third game is saving just now
  std::thread one([&] { saved[0] = SaveHighScores(first, path, log); });
  std::thread two([&] { saved[1] = SaveHighScores(second, path, log); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ReadBytes(path), before) << "both wait for the lock";
  otherGame.reset();
  one.join();
  two.join();
  EXPECT_TRUE(saved[0] && saved[1]);
  const std::vector<HighScoreEntry> rows = SavedRows(path, log, 2);
  EXPECT_EQ(rows[0].EntryScore, 1500);
  EXPECT_EQ(rows[1].EntryScore, 1500);
  EXPECT_NE(rows[0].EntryName, rows[1].EntryName) << "Ann and Bob, in the order they saved";
  EXPECT_EQ(rows[2], (HighScoreEntry{"P1", 1000}));
}

TEST_F(TwoGames, ANameStillBeingTypedReachesTheFileWhenItsEntryEnds) {
  HighScoreState typing;
  LoadHighScores(typing, path, log);
  ASSERT_TRUE(InsertNewScore(typing, 2, 850, UpdatePosition(typing.Table[1], 850, 11)));
  ASSERT_EQ(typing.NameEntryRow, 3);
  for (const char c : std::string("Jo")) FormKeyPress(typing, static_cast<uint8_t>(c));
  HighScoreState other = GameThatNamed(path, log, {{"Bob", 950}});
  ASSERT_TRUE(SaveHighScores(other, path, log));

  ASSERT_TRUE(SaveHighScores(typing, path, log));  // a save while the name is typed
  EXPECT_EQ(SavedRows(path, log, 2)[3], (HighScoreEntry{"P3", 800})) << "the name is not in the file yet";
  EXPECT_TRUE(typing.NameEntryActive);
  EXPECT_EQ(typing.NameEntryRow, 4) << "it stays on the screen, below the other game's entry";
  EXPECT_EQ(typing.Table[1][3], (HighScoreEntry{"Jo", 850}));
  FormKeyPress(typing, 'e');
  ASSERT_EQ(FormKeyPress(typing, 13), NameKeyResult::Finished);
  ASSERT_TRUE(SaveHighScores(typing, path, log));
  const std::vector<HighScoreEntry> rows = SavedRows(path, log, 2);
  EXPECT_EQ(rows[1], (HighScoreEntry{"Bob", 950}));
  EXPECT_EQ(rows[3], (HighScoreEntry{"Joe", 850}));
  EXPECT_EQ(rows[9], (HighScoreEntry{"P8", 300}));
}

// highscores.dat as a link the player made into a dot-file folder.
TEST_F(HighScoreFile, APlayersLinkedTableStaysALinkWhileItsFileIsReplaced) {
  std::filesystem::create_directory(folder.File("dots"));
  const std::string target = folder.File("dots/highscores.dat");
  WriteBytes(target, LadderFile());
  std::filesystem::create_symlink("dots/highscores.dat", path);
  HighScoreState game = GameThatNamed(path, log, {{"Ann", 550}});
  ASSERT_TRUE(SaveHighScores(game, path, log));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(SavedRows(target, log, 2)[5], (HighScoreEntry{"Ann", 550}));
  EXPECT_EQ(testing::FilesIn(folder.Path()), 2u) << "the link and dots/: nothing beside the link";
}

TEST(HighScorePosition, RisesOnlyPastStrictlyLowerScores) {
  const auto rows = Ladder().Table[1];
  EXPECT_EQ(UpdatePosition(rows, 100, 11), 11) << "equal to row 10 does not rank";
  EXPECT_EQ(UpdatePosition(rows, 101, 11), 10);
  EXPECT_EQ(UpdatePosition(rows, 800, 11), 4) << "equal to row 3 ranks below it";
  EXPECT_EQ(UpdatePosition(rows, 1000, 11), 2);
  EXPECT_EQ(UpdatePosition(rows, 1001, 11), 1);
  EXPECT_EQ(UpdatePosition(rows, 0, 5), 5) << "the rank never falls back";
  EXPECT_EQ(UpdatePosition(rows, 5000, 1), 1);
}

TEST(HighScoreInsertion, EntryMovesRowsDownAndStartsNameEntry) {
  HighScoreState state = Ladder();
  const auto before = state.Table[1];
  const int32_t position = UpdatePosition(state.Table[1], 800, 11);
  ASSERT_TRUE(InsertNewScore(state, 2, 800, position));
  EXPECT_TRUE(state.NameEntryActive);
  EXPECT_EQ(state.ShownHighScoreType, 2);
  const auto& rows = state.Table[1];
  EXPECT_EQ(rows[2], before[2]);
  EXPECT_EQ(rows[3].EntryName, "");
  EXPECT_EQ(rows[3].EntryScore, 800);
  for (int row = 5; row <= 10; ++row) EXPECT_EQ(rows[row - 1], before[row - 2]) << "row " << row;
  EXPECT_EQ(state.Table[0], DefaultHighScoreTable()[0]) << "other game types are untouched";

  HighScoreState low = Ladder();
  low.ShownHighScoreType = 5;
  EXPECT_FALSE(InsertNewScore(low, 2, 100, UpdatePosition(low.Table[1], 100, 11)));
  EXPECT_FALSE(low.NameEntryActive);
  EXPECT_EQ(low.ShownHighScoreType, 2) << "the table is shown even without a new entry";
  EXPECT_EQ(low.Table, Ladder().Table);
}

struct NameEntry : ::testing::Test {
  HighScoreState state = Ladder();
  void SetUp() override { ASSERT_TRUE(InsertNewScore(state, 2, 2000, 1)); }
  const std::string& Name() const { return state.Table[1][0].EntryName; }
  void Type(const std::string& keys) {
    for (const char c : keys) FormKeyPress(state, static_cast<uint8_t>(c));
  }
};

TEST_F(NameEntry, EnterAtOnceNamesTheRowAnonymous) {
  EXPECT_EQ(FormKeyPress(state, 13), NameKeyResult::Finished);
  EXPECT_EQ(Name(), "Anonymous");
  EXPECT_FALSE(state.NameEntryActive);
  EXPECT_EQ(FormKeyPress(state, 'x'), NameKeyResult::NotEditing);
  EXPECT_EQ(Name(), "Anonymous");
}

TEST_F(NameEntry, NameStopsAtEighteenCharacters) {
  Type("ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(Name(), "ABCDEFGHIJKLMNOPQR");
  EXPECT_EQ(FormKeyPress(state, 'Z'), NameKeyResult::Ignored);
  EXPECT_EQ(FormKeyPress(state, 13), NameKeyResult::Finished);
  EXPECT_EQ(Name(), "ABCDEFGHIJKLMNOPQR");
}

TEST_F(NameEntry, BackspaceTakesUndrawnCharactersWithTheVisibleOneBeforeThem) {
  Type("AB[");
  EXPECT_EQ(FormKeyPress(state, 8), NameKeyResult::Erased);
  EXPECT_EQ(Name(), "A");
  Type("b\x01\x02");
  FormKeyPress(state, 8);
  EXPECT_EQ(Name(), "A");
  Type("xy");
  FormKeyPress(state, 8);
  EXPECT_EQ(Name(), "Ax") << "a visible character goes alone";
  Type(std::string(5, '\b'));
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(FormKeyPress(state, 8), NameKeyResult::Erased);
  EXPECT_TRUE(state.NameEntryActive);
}

TEST(NameEntryCharacters, VisibleSetIsExactlyTheDrawnSigns) {
  const std::string visible = " !\"$'+,-./0123456789:<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz|";
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(IsVisibleNameCharacter(static_cast<uint8_t>(c)), visible.find(static_cast<char>(c)) != std::string::npos)
        << "character " << c;
}

TEST_F(NameEntry, EscapeAndTheFileTerminatorNeverEnterAName) {
  EXPECT_EQ(FormKeyPress(state, 27), NameKeyResult::Ignored);
  EXPECT_EQ(FormKeyPress(state, 255), NameKeyResult::Ignored);
  EXPECT_EQ(FormKeyPress(state, 254), NameKeyResult::Appended);
  EXPECT_EQ(FormKeyPress(state, 9), NameKeyResult::Appended) << "other control characters are kept";
  EXPECT_EQ(Name(), "\xFE\t");
  EXPECT_TRUE(state.NameEntryActive);
}

TEST(NameCursor, TogglesOnceTheTimerHasRunBelowZero) {
  HighScoreState state;
  StepNameCursor(state, 300);
  EXPECT_EQ(state.NameCursor, "|");
  EXPECT_EQ(state.NameCursorTimer, 0);
  StepNameCursor(state, 16);
  EXPECT_EQ(state.NameCursor, "|") << "0 is not yet below zero";
  StepNameCursor(state, 16);
  EXPECT_EQ(state.NameCursor, "");
  EXPECT_EQ(state.NameCursorTimer, 284);
  for (int frame = 0; frame < 18; ++frame) StepNameCursor(state, 16);
  EXPECT_EQ(state.NameCursor, "");
  EXPECT_EQ(state.NameCursorTimer, -4);
  StepNameCursor(state, 16);
  EXPECT_EQ(state.NameCursor, "|");
  EXPECT_EQ(state.NameCursorTimer, 284);
}

// Entries of "Kids" made by this run and saved, each with the replay of its game (or none).
struct KidsRecords : HighScoreFile {
  void SetUp() override { LoadHighScores(state, path, log); }
  // Ranks a finished game's score as the game's rank rises, names it and saves the table.
  void Enter(int32_t score, const std::string& replay) {
    const int32_t position = UpdatePosition(state.Table[kKids - 1], score, kNoPosition);
    ASSERT_TRUE(InsertNewScore(state, kKids, score, position));
    state.NameEntryReplay = replay;
    ASSERT_EQ(FormKeyPress(state, '\r'), NameKeyResult::Finished);
    ASSERT_TRUE(SaveHighScores(state, path, log));
  }
  std::string Saved(int32_t row) const {
    const std::string file = RecordReplayPath(path, kKids, row);
    return std::filesystem::exists(file) ? ReadBytes(file) : "(none)";
  }
};

TEST_F(KidsRecords, AReplayFollowsItsEntryDownAndGoesWhenTheEntryFallsOut) {
  Enter(500, "five hundred");
  EXPECT_EQ(RecordReplayPath(path, kKids, 1), folder.File("replays/kids-01.replay"));
  EXPECT_EQ(Saved(1), "five hundred");

  Enter(900, "nine hundred");  // better: the earlier record moves down a row
  EXPECT_EQ(Saved(1), "nine hundred");
  EXPECT_EQ(Saved(2), "five hundred");

  Enter(500, "");  // an equal score ranks below, and a game without a replay leaves no file
  EXPECT_EQ(Saved(2), "five hundred");
  EXPECT_EQ(Saved(3), "(none)");

  for (int32_t score = 1000; score <= 1500; score += 100) Enter(score, "");
  EXPECT_EQ(Saved(7), "nine hundred");
  EXPECT_EQ(Saved(8), "five hundred");
  EXPECT_EQ(Saved(2), "(none)");

  Enter(2000, "two thousand");
  Enter(3000, "");
  EXPECT_EQ(Saved(1), "(none)");
  EXPECT_EQ(Saved(2), "two thousand");
  EXPECT_EQ(Saved(9), "nine hundred");
  EXPECT_EQ(Saved(10), "five hundred");
  Enter(4000, "");  // row 10 falls out of the table, and its replay with it
  EXPECT_EQ(Saved(10), "nine hundred");
  EXPECT_EQ(testing::FilesIn(folder.Path() / kRecordReplayFolder), 2u);
}

TEST_F(KidsRecords, AnotherGamesSaveInBetweenMovesTheRowsToo) {
  Enter(500, "ours");
  HighScoreState other;  // a second game in the folder, whose entry has no replay
  LoadHighScores(other, path, log);
  ASSERT_TRUE(InsertNewScore(other, kKids, 800, 1));
  FormKeyPress(other, '\r');
  ASSERT_TRUE(SaveHighScores(other, path, log));
  EXPECT_EQ(Saved(1), "(none)");
  EXPECT_EQ(Saved(2), "ours");

  Enter(600, "later");  // this run's next save reads the other game's entry first
  EXPECT_EQ(Saved(2), "later");
  EXPECT_EQ(Saved(3), "ours");
}

}  // namespace
}  // namespace zt
