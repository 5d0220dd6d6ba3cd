// Typing a name with a game controller alone: once a controller gives a key during the name
// entry (that first key only brings the picker up), up and down change the letter under the cursor (through
// kPickerLetters, round), right (or A) puts it into the name, left (or B) deletes the last character and Start (Enter)
// ends the entry. The keyboard's typing goes on as before.
#pragma once

#include <string>

#include "game/game_keys.h"
#include "menu/high_scores.h"

namespace zt {

constexpr int32_t kPickerRepeatMs = 120;  // a held up or down steps again this often, after its first delay

// One menu frame of the picker, right after the menu's key poll: the characters the name entry
// is to take, as typed characters (a letter, 8 for a deletion, 13 for the end). Nothing when no
// name is being typed or the controller has not been used for it.
std::string PickNameCharacters(HighScoreState& scores, GameKeys& keys, int32_t sidewaysKeyDelay);

}  // namespace zt
