#include <gtest/gtest.h>

#include "game/game_keys.h"
#include "game/particles.h"

namespace zt {
namespace {

struct KeyboardRig {
  ScriptedKeyboard device;
  Keyboard keyboard;
  GameKeys keys;
  KeyboardRig() {
    keyboard.Device = &device;
    DIInit(keyboard);
    DICreateKeyboard(keyboard);
    DIAcquireKeyboard(keyboard, true);
    keyboard.KeyboardReady = true;
  }
  void Poll(std::initializer_list<uint8_t> down, bool menu = false) {
    device.ReleaseAll();
    for (uint8_t key : down) device.Press(key);
    if (menu)
      PollMenuKeys(keys, keyboard, 250);
    else
      PollGameKeys(keys, keyboard, 250);
  }
};

TEST(KeyPoll, FreshPressLoadsTheTimerAndHeldKeyLeavesIt) {
  KeyboardRig rig;
  rig.Poll({DIK_LEFT});
  EXPECT_TRUE(rig.keys.KeyLeft);
  EXPECT_EQ(rig.keys.ShiftKeyTimer, 250);
  rig.keys.ShiftKeyTimer = 17;
  rig.Poll({DIK_LEFT});
  EXPECT_EQ(rig.keys.ShiftKeyTimer, 17);
  rig.Poll({});
  EXPECT_FALSE(rig.keys.KeyLeft);
  EXPECT_EQ(rig.keys.ShiftKeyTimer, 17);  // the timer keeps its value on release
}

TEST(KeyPoll, EitherCodeOfATwoCodeKeyCounts) {
  KeyboardRig rig;
  rig.Poll({DIK_RCONTROL, DIK_PAUSE});
  EXPECT_TRUE(rig.keys.KeyCtrl);
  EXPECT_TRUE(rig.keys.KeyPause);
  EXPECT_EQ(rig.keys.PauseKeyTimer, kPauseKeyStart);
}

TEST(KeyPoll, YesAndNoFollowThePlainKeyState) {
  KeyboardRig rig;
  rig.Poll({DIK_Y, DIK_N});
  EXPECT_TRUE(rig.keys.KeyYes);
  EXPECT_TRUE(rig.keys.KeyNo);
  rig.Poll({});
  EXPECT_FALSE(rig.keys.KeyYes);
}

TEST(KeyPoll, LostKeyboardFreezesEveryFlag) {
  KeyboardRig rig;
  rig.Poll({DIK_UP});
  rig.device.inputLost = true;
  rig.device.acquireFails = true;
  rig.Poll({});
  EXPECT_TRUE(rig.keys.KeyUp);
  rig.keyboard.KeyboardReady = false;
  rig.device.acquireFails = false;
  rig.Poll({});
  EXPECT_TRUE(rig.keys.KeyUp);
}

TEST(KeyPoll, MenuTreatsSpaceAndEnterAsOneSelectKey) {
  KeyboardRig rig;
  rig.Poll({DIK_SPACE}, true);
  EXPECT_TRUE(rig.keys.KeyEnter);
  EXPECT_TRUE(rig.keys.KeySelect);
  EXPECT_EQ(rig.keys.EnterKeyTimer, kMenuEnterKeyStart);
  rig.keys.KeyEnter = false;  // consumed by name entry, say
  rig.keys.EnterKeyTimer = 3;
  rig.Poll({DIK_RETURN}, true);
  EXPECT_FALSE(rig.keys.KeyEnter);  // still the same press: KeySelect holds it off
  EXPECT_EQ(rig.keys.EnterKeyTimer, 3);
  rig.Poll({}, true);
  EXPECT_FALSE(rig.keys.KeySelect);
  EXPECT_FALSE(rig.keys.KeyCtrl);  // the menu never polls Ctrl
}

TEST(KeyboardWrapper, LostInputIsReacquiredAndReadAgainInTheSameCall) {
  KeyboardRig rig;
  rig.device.Press(DIK_SPACE);
  rig.device.inputLost = true;
  EXPECT_TRUE(DIUpdateKeyboard(rig.keyboard));
  EXPECT_TRUE(DIKeyDown(rig.keyboard, DIK_SPACE));
  EXPECT_EQ(rig.device.reads, 2);
}

TEST(KeyboardWrapper, NotAcquiredFailsWithoutAcquiring) {
  KeyboardRig rig;
  rig.device.acquired = false;
  EXPECT_FALSE(DIUpdateKeyboard(rig.keyboard));
  EXPECT_FALSE(rig.device.acquired);
}

TEST(KeyboardWrapper, KeyTestReadsBitSevenOfTheLastSnapshot) {
  Keyboard keyboard;
  EXPECT_FALSE(DIKeyDown(keyboard, DIK_UP));  // before any read
  keyboard.KeyState[DIK_UP] = 0x81;
  keyboard.KeyState[DIK_DOWN] = 0x7F;
  EXPECT_TRUE(DIKeyDown(keyboard, DIK_UP));
  EXPECT_FALSE(DIKeyDown(keyboard, DIK_DOWN));
}

TEST(KeyboardWrapper, InitTwiceReleasesTheFirstObjects) {
  KeyboardRig rig;
  EXPECT_TRUE(DIInit(rig.keyboard));
  EXPECT_EQ(rig.device.keyboardReleases, 1);
  EXPECT_EQ(rig.device.inputReleases, 1);
  EXPECT_FALSE(rig.keyboard.KeyboardCreated);
  EXPECT_FALSE(DIAcquireKeyboard(rig.keyboard, true));
}

int UpdatesUntilGone(uint8_t kind, int32_t life, uint32_t frameMs, int limit = 10000) {
  ParticleLists lists;
  Particle_Add(lists, kind, kind, life, 0, 0, 0, 0);
  int updates = 0;
  while (!lists[kind].Empty() && updates < limit) {
    Particle_Update(lists[kind], frameMs);
    ++updates;
  }
  return updates;
}

TEST(Particles, LifeAndSizeDecideWhenAParticleGoes) {
  EXPECT_EQ(UpdatesUntilGone(2, 200, 20), 95);         // by life: 2 per update down to 10
  EXPECT_EQ(UpdatesUntilGone(4, 200, 20), 17);         // by size: 0.06 per update from 1.0
  EXPECT_EQ(UpdatesUntilGone(3, 200, 2, 5000), 5000);  // 0.36 rounds to 0: smoke stays
}

TEST(Particles, RemovalKeepsTheOrderFromNewestToOldest) {
  ParticleLists lists;
  Particle_Add(lists, 1, 1, 11, 1, 0, 0, 0);  // oldest, goes first
  Particle_Add(lists, 1, 1, 200, 2, 0, 0, 0);
  Particle_Add(lists, 1, 1, 12, 3, 0, 0, 0);  // newest, goes next
  Particle_Update(lists[1], 4);               // decay 25 per 100 ms: 1 life
  ASSERT_EQ(lists[1].Size(), 2u);
  EXPECT_EQ(lists[1].Head().X, 3.0f);
  Particle_Update(lists[1], 4);
  ASSERT_EQ(lists[1].Size(), 1u);
  EXPECT_EQ(lists[1].Head().X, 2.0f);
}

TEST(Particles, MotionUsesTheVelocityBeforeTheUpdate) {
  ParticleLists lists;
  Particle_Add(lists, 2, 2, 200, 0, 0, 100, 0);
  Particle_Update(lists[2], 100);
  const TParticle& p = lists[2].Head();
  EXPECT_FLOAT_EQ(p.X, 1.0f);  // 100 / 10000 * 100
  EXPECT_FLOAT_EQ(p.Y, 0.0f);
  EXPECT_FLOAT_EQ(p.VY, -17.0f);  // -170 / 1000 * 100
  EXPECT_FLOAT_EQ(p.SX, 2.82f);
  EXPECT_EQ(p.Life, 189);
}

}  // namespace
}  // namespace zt
