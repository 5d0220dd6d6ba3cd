// The menu wired to test doubles, stepped frame by frame as the program runs it, without a device.
#pragma once

#include <initializer_list>

#include "menu/menu.h"
#include "support/game_harness.h"

namespace zt::testing {

struct MenuHarness : GameHarness {
  MenuState menu;
  HighScoreState scores;
  MenuContext context{menu, scores, game, settings};

  MenuHarness() {
    state.Mode.InMenu = true;
    mixer.TakePlayedSounds();
  }
  // One drawn menu frame: the menu poll, the menu step, then the animations the picture shows.
  void Step(std::initializer_list<uint8_t> keys = {}, uint32_t ms = 40) {
    clock.Advance(ms);
    keyboardDevice.ReleaseAll();
    for (uint8_t key : keys) keyboardDevice.Press(key);
    PollMenuKeys(state.Keys, keyboard, settings.SidewaysKeyDelay);
    MenuStep(context);
    MenuAnimationStep(menu, scores, state.Time.FrameMs);
  }
};

}  // namespace zt::testing
