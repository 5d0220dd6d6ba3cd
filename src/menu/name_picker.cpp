#include "menu/name_picker.h"

namespace zt {

std::string PickNameCharacters(HighScoreState& scores, GameKeys& keys, int32_t sidewaysKeyDelay) {
  if (!scores.NameEntryActive) {
    scores.PickingLetters = false;
    return {};
  }
  // The first controller key only brings the picker up: the button that left the game-over
  // picture may still be held, and is to type nothing.
  if (!scores.PickingLetters) {
    scores.PickingLetters = keys.KeyPad;
    return {};
  }

  const auto count = static_cast<int32_t>(kPickerLetters.size());
  if (FiresRepeating(keys.KeyUp, keys.UpKeyTimer, kUpKeyStart, kPickerRepeatMs))
    scores.PickedLetter = (scores.PickedLetter + 1) % count;
  if (FiresRepeating(keys.KeyDown, keys.DropKeyTimer, kDropKeyStart, kPickerRepeatMs))
    scores.PickedLetter = (scores.PickedLetter + count - 1) % count;
  std::string typed;
  if (keys.KeyRight && keys.ShiftKeyTimer == sidewaysKeyDelay)
    typed += kPickerLetters[static_cast<size_t>(scores.PickedLetter)];
  if (keys.KeyLeft && keys.ShiftKeyTimer == sidewaysKeyDelay) typed += '\b';
  if (keys.KeyEnter && keys.KeySelect) typed += '\r';
  return typed;
}

}  // namespace zt
