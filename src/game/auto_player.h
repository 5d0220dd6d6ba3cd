// The automatic player. For each new figure it searches every column and turn the figure
// can still reach (with the game's own movement rules, while it falls), places the preview
// figure after it too, and rates the glass left behind (holes, row and column transitions,
// wells, landing height, cleared rows). A bomb is aimed where its blast leaves the best glass.
// It steers with the game's own keys, which the caller feeds through the real key poll; it
// reads the state and never changes it.
#pragma once

#include <cstdint>
#include <vector>

#include "core/settings.h"
#include "game/game_state.h"

namespace zt {

// What the rating adds up, per unit of each feature of the glass after the placements.
struct AutoPlayerWeights {
  double LandingHeight = -4.5;      // mean row of the placed figure's bricks
  double ErodedCells = 3.4;         // cleared rows x the figure's bricks in them
  double RowTransitions = -3.2;     // brick/empty changes along the rows (walls count as bricks)
  double ColumnTransitions = -9.3;  // brick/empty changes up the columns (the floor counts)
  double Holes = -7.9;              // empty cells with a brick somewhere above
  double Wells = -3.4;              // 1 + 2 + .. + depth for every run of cells walled on both sides
  double SpawnArea = -60.0;         // bricks where new figures appear (rows 17..20, columns 4..7)
};

// How the player lets a figure go once it stands above its place.
enum class AutoDrop : uint8_t {
  kCtrl,   // the fastest drop, locking on contact
  kSpace,  // the drop with a moment's grace on landing
  kDown,   // held down, as long as the figure falls
  kNone,   // no drop: the figure falls at the game's speed
};

// A move of the figure on the way to its placement.
enum class AutoMove : uint8_t { kNone, kTurn, kLeft, kRight };

// A (turn, column) the figure passes through, and the move that led there (kNone at the start).
struct AutoPathStep {
  int8_t Turn, X;
  AutoMove Via;
};

struct AutoPlayer {
  AutoPlayerWeights Weights;
  bool LookAhead = true;  // also place the preview figure before choosing
  AutoDrop Drop = AutoDrop::kCtrl;

  // The plan for the figure in play.
  bool HasTarget = false;
  int32_t TargetTurn = 1;
  int32_t TargetX = 0;
  int32_t PlannedLanding = -1;  // FiguresLanded when the figure in play entered
  int32_t PlannedColor = 0;
  int32_t LastCellY = 0;
  int32_t LastCellX = 0;
  int32_t LastTurn = 0;
  bool ShiftPressed = false;       // a sideways key went down on the last poll
  bool TurnPressed = false;        // Up went down on the last poll
  bool HoldShift = false;          // hold the sideways key for its repeat instead of tapping
  int32_t Refusals = 0;            // moves of this figure the game refused
  bool FellBack = false;           // this figure is dropped where it stands
  int32_t StallMs = 0;             // ms steered without getting closer
  std::vector<AutoPathStep> Path;  // from where the plan was made to the placement
  int32_t PathIndex = 0;           // the step the figure stood on at the last look

  // Counts over the player's life, for reports.
  int64_t Plans = 0;
  int64_t Replans = 0;
  int64_t Fallbacks = 0;  // figures dropped where they were because no plan could be followed
};

// The keys to hold down during the next frame's poll. `config` gives the turn direction, the
// turn speed and the sideways repeat delay the game runs with.
std::vector<uint8_t> AutoPlayerKeys(AutoPlayer& player, const GameState& state, const FigureShapes& shapes,
                                    const Settings& config);

// One placement the player may choose: the turn, the column of the figure's grid and the row
// it comes to rest on, and the rating of the glass it leaves (after the preview figure's best
// placement when looking ahead).
struct AutoPlacement {
  int32_t Turn = 1;
  int32_t X = 0;
  int32_t Y = 0;
  double Rating = 0;
};

// The placement the player would choose for the figure in play, from where it stands now.
// False when none can be reached.
bool AutoPlayerChoice(const AutoPlayer& player, const GameState& state, const FigureShapes& shapes,
                      const Settings& config, AutoPlacement& choice);

}  // namespace zt
