// The high-score table of the five game types: highscores.dat (in the working folder),
// the rank a running game's score would take, the insertion of a new result at game over
// and the typing of the player's name for it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/debug_log.h"
#include "core/high_score_table.h"

namespace zt {

constexpr const char* kHighScoreFileName = "highscores.dat";
constexpr int kMaxTypedNameLength = 18;
constexpr int32_t kNameCursorBlinkMs = 300;
constexpr int32_t kNoPosition = 11;  // a score that is not in the table

// An entry this run added and named that the file does not hold yet.
struct RunEntry {
  int32_t GameType = 1;  // 1..5
  HighScoreEntry Entry;
  std::string Replay;  // the replay of the game that made it; empty: none
};

// What the high-score screen tells beside a score about the entry's replay.
enum class RecordMark : uint8_t { kNoReplay, kVerifying, kVerified, kFailed };
using RecordMarks = std::array<std::array<RecordMark, kHighScoreRows>, kGameTypes>;

struct HighScoreState {
  HighScoreTable Table;
  bool HighScoresLoaded = false;                 // the table is saved at shutdown only when set
  std::string ReadError;                         // why LoadHighScores could not read the file, empty when it could;
                                                 // while set the table is not the file's, and nothing writes it
  bool NameEntryActive = false;                  // the player is typing the name of a new entry
  int32_t NameEntryGameType = 1;                 // 1..5, the table of the entry being named
  int32_t NameEntryRow = 1;                      // 1..10, its row
  std::vector<RunEntry> UnsavedEntries;          // named this run, in that order, and not yet saved
  std::string NameEntryReplay;                   // the replay of the game whose entry is being named
  RecordMarks Marks{};                           // beside each row of Table
  int32_t ChosenRow = 0;                         // 1..10, the row whose replay is to be watched; 0: none
  std::string NameCursor = "|";                  // drawn after the name being typed: "|" or ""
  int32_t NameCursorTimer = kNameCursorBlinkMs;  // ms until the cursor toggles
  int32_t ShownHighScoreType = 1;                // 1..5, the table the high-score screen shows
  bool PickingLetters = false;                   // the name is picked letter by letter on a controller
  int32_t PickedLetter = 0;                      // index into kPickerLetters of the letter under the cursor
};

// What the controller's letter picker offers, in its order: the letters, the digits, space
// and the punctuation the font draws.
constexpr std::string_view kPickerLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 !\"$'+,-./:<=>?@";

// What is drawn after the name being typed: the cursor, or, while letters are picked, the
// letter under the cursor in its place (a space shows as the cursor).
std::string NameEntryTail(const HighScoreState& state);

// The table a fresh installation starts with: "Noname" and 0 in every row.
HighScoreTable DefaultHighScoreTable();

// Reads the file at `path` (missing: the default table) and sets HighScoresLoaded.
// A damaged file (a score with a byte other than a digit, or beyond the 32-bit range, or
// a file larger than 64 KiB) gives the default table; it is logged and renamed to `path` +
// ".bad" so that the next save does not destroy it. A file that exists but cannot be read
// (not a regular file, a read error) is logged, gives the default table, sets ReadError
// and leaves HighScoresLoaded clear, so nothing overwrites it.
// A file that is merely short gives empty rows with score 0 where it ends. A run that saves
// nothing of the player's (screenshots, replays in the window) leaves a damaged file in place:
// `damaged` kLeave.
enum class DamagedTable { kMoveAside, kLeave };
void LoadHighScores(HighScoreState& state, const std::string& path, const DebugLog& log,
                    DamagedTable damaged = DamagedTable::kMoveAside);

// Keeps a damaged player's file aside (MoveFileAside), so that the next save does not destroy it,
// or leaves it (kLeave); logs `used` (what the game does instead) with what became of the file.
void SetDamagedFileAside(const std::string& path, const std::string& used, DamagedTable damaged, const DebugLog& log);

// What the file's bytes hold: the 50 rows, and what is damaged (empty when the bytes are
// sound; the rows then stop where the damage was found). Rows the bytes no longer reach
// have an empty name and 0.
struct DecodedHighScores {
  HighScoreTable Table;
  std::string Damage;
};
DecodedHighScores DecodeHighScores(const std::string& bytes);

// The file's bytes for the table. Empty names become "noname" in the table too.
std::string EncodeHighScores(HighScoreTable& table);

// Saves this run's named entries. Under the file's lock (SaveLock) the file is read again, as
// another game in the folder may have saved since, and each of UnsavedEntries is ranked in
// among what it holds: below an equal score already there. That table is written through a
// temporary file and a rename, and becomes the table in memory, with the name still being
// typed ranked in again (it reaches the file once its entry ends). A failure is logged and
// the old file is kept; the result says whether the save succeeded. Nothing is written while
// ReadError is set. The record replays beside the table (record_replays.h) follow their rows
// under the same lock, and the new entries' replays are written there.
bool SaveHighScores(HighScoreState& state, const std::string& path, const DebugLog& log);

// The rank a running game's score takes is kept by the game (UpdatePosition, game/lines.h).

// At the end of a game lost by game over: when `position` is 1..10 the rows from there on
// move down (the old row 10 is lost), the row gets an empty name and the score, and name
// entry starts (the caller then resets the game with NewGame, and may give the entry its game's
// replay in NameEntryReplay). The high-score screen is set to the game type either way.
// Returns whether name entry started.
bool InsertNewScore(HighScoreState& state, int32_t gameType, int32_t score, int32_t position);

enum class NameKeyResult {
  NotEditing,  // no name is being typed
  Appended,
  Erased,    // Backspace (even when there was nothing left to erase)
  Ignored,   // Escape, a full name, or a character a name cannot hold
  Finished,  // Enter: the name is final; the caller clears the menu's Enter key
};

// A typed character (one byte, as the window system delivers it) for the name being typed.
// Enter ends the entry with EndNameEntry.
NameKeyResult FormKeyPress(HighScoreState& state, uint8_t character);

// Ends the typing of a name with the name as it stands (at shutdown it is saved as typed):
// the entry joins UnsavedEntries. Nothing when no name is being typed.
void EndNameEntry(HighScoreState& state);

// Whether Backspace treats the character as one the player can see in the name.
bool IsVisibleNameCharacter(uint8_t character);

// Advances the blinking cursor by one drawn frame of the name being typed.
void StepNameCursor(HighScoreState& state, int32_t frameMs);

// Whether the page of this game type shows the row whose name is being typed.
bool ShowsNameEntry(const HighScoreState& scores, int32_t gameType);

}  // namespace zt
