// The controls page, opened from the Options screen with Ctrl (a controller's X): one row for
// each action with its keys and buttons, a row for the palette, one for smooth edges (from the
// next start) and one that gives back the game's keys. Enter on an action's row waits for the key or button to bind to
// it, and Esc gives up; a key another action has is offered for a swap (Enter swaps, Esc keeps). What the page changes
// takes effect, and is saved, when the player leaves it with Esc. While the page is closed its Bindings are the game's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/key_bindings.h"
#include "device/keyboard_device.h"

namespace zt {

constexpr int32_t kPaletteRow = kGameActionCount;  // rows 0..10 are the actions
constexpr int32_t kAntialiasingRow = kGameActionCount + 1;
constexpr int32_t kResetRow = kGameActionCount + 2;
constexpr int32_t kControlsRows = kGameActionCount + 3;
constexpr int32_t kControlsRepeatMs = 120;  // a held up or down moves again this often

struct ControlsPage {
  int32_t Row = 0;
  bool Waiting = false;             // for the new key or button of the row's action
  std::optional<InputPress> Offer;  // a press another action has: swap it?
  size_t OfferOwner = 0;            // that action
  KeyBindings Bindings;             // what the page shows and changes
  std::optional<InputPress> Press;  // the key or button pressed since the last frame
};

// The page as it opens on `bindings`, at the first row.
ControlsPage OpenControlsPage(const KeyBindings& bindings);

// A press bound to the action: a key replaces its keys, a button its buttons. A key or button
// another action has is not bound but offered (Offer, OfferOwner). A key whose name config.ini
// could not keep (none, or one with a comma) is not bound.
void BindPress(ControlsPage& page, size_t action, const InputPress& press);
// The offer taken: the action gets the press, and the action that had it the action's old ones.
void SwapOffer(ControlsPage& page, size_t action);

}  // namespace zt
