#include "game/inherited_state.h"

namespace zt {

namespace {

// Each field a game inherits, as the pair (the game's, the inheritance's), for either direction.
template <typename Game, typename Inherited, typename Visit>
void EachInheritedField(Game& game, Inherited& inherited, Visit visit) {
  visit(game.GameType, inherited.GameType);
  visit(game.Flip, inherited.Flip);
  visit(game.LockDelayActive, inherited.LockDelayActive);
  visit(game.LockDelayMs, inherited.LockDelayMs);
  visit(game.Bonus.LastCountdownSecond, inherited.LastCountdownSecond);
  visit(game.Bonus.RetroSecondsLeft, inherited.RetroSecondsLeft);
  visit(game.Bonus.PreviousStepShort, inherited.PreviousStepShort);
  visit(game.RedaraRows, inherited.RedaraRows);
  visit(game.ShiftSpeed, inherited.ShiftSpeed);
  visit(game.Trail, inherited.Trail);
  visit(game.Msg.X, inherited.MessageX);
  visit(game.Msg.Size, inherited.MessageSize);
  visit(game.Msg.FadeDir, inherited.MessageFadeDir);
  visit(game.CurrentFigure.ShiftDir, inherited.ShiftDir);
  visit(game.Keys, inherited.Keys);
}

}  // namespace

InheritedState TakeInheritedState(const GameState& game, const Random& random, uint8_t musicTrack) {
  InheritedState inherited;
  EachInheritedField(game, inherited, [](const auto& from, auto& to) { to = from; });
  inherited.Generator = random.Save();
  inherited.MusicTrack = musicTrack;
  return inherited;
}

void GiveInheritedState(const InheritedState& inherited, GameState& game, Random& random, uint8_t& musicTrack) {
  EachInheritedField(game, inherited, [](auto& to, const auto& from) { to = from; });
  random.Restore(inherited.Generator);
  musicTrack = inherited.MusicTrack;
}

}  // namespace zt
