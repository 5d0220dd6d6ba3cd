// One frame of the running program: the key poll of the menu or the game, one step of the
// menu, the interrupted game or the game, and the drawing.
#pragma once

#include "app/program.h"
#include "game/inherited_state.h"

namespace zt {

// The idle handler: does nothing until loading has finished and while the window is inactive.
void IdleFrame(Program& program);

// Draws the menu or the game scene as the last step left them, their animations moved on
// by the frame's time first.
void DrawFrame(Program& program);
// The same for a program's state on the device and with the resources of `owner`, which must
// have a device, and which a drawing call that fails is reported to: watching a record draws
// its throwaway state with those of the running program.
void DrawStateOn(Program& state, Program& owner);

// What choosing a game type on the game-type screen does: the fade into a new game of it.
void StartGameOfType(Program& program, int32_t gameType);

// A replay's start line: the menu's fade into a game of the inherited type at its last step,
// with what the recorded game inherited put back, so that the next frame begins that game.
void ReachGameStart(Program& program, const InheritedState& inherited);

// A character typed in the window: edits the name of a new high score while one is typed.
void TypeCharacter(Program& program, uint8_t character);
// A character for the name being typed, typed or picked on a controller; Enter ends the entry
// and keeps the table at once.
void EnterNameCharacter(Program& program, uint8_t character);

}  // namespace zt
