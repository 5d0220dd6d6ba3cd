#include <gtest/gtest.h>

#include "game/game_step.h"
#include "support/game_harness.h"

namespace zt {
namespace {

using testing::GameHarness;

TEST(Pause, PressingPTwicePausesAndResumes) {
  GameHarness h;
  h.Frame(10, {DIK_P});
  EXPECT_TRUE(h.state.Mode.Paused);
  h.Frame(10);
  h.Frame(10, {DIK_PAUSE});
  EXPECT_FALSE(h.state.Mode.Paused);
}

TEST(Pause, HoldingPLongerThanASecondTogglesEveryFrame) {
  GameHarness h;
  h.Frames(100, 10, {DIK_P});
  const bool before = h.state.Mode.Paused;
  h.Frame(10, {DIK_P});
  EXPECT_NE(h.state.Mode.Paused, before);
}

TEST(Pause, ThirtySecondsOfPauseLeaveEveryGameClockWhereItWas) {
  GameHarness h(kRetro);
  h.ParkFigure();
  h.Frames(100, 100);  // 10 s of play
  const int32_t seconds = h.state.Time.GameSeconds;
  const int32_t retroLeft = h.state.Bonus.RetroSecondsLeft;
  h.Frame(10, {DIK_P});
  ASSERT_TRUE(h.state.Mode.Paused);
  h.Frames(300, 100);
  h.Frame(10, {DIK_P});
  ASSERT_FALSE(h.state.Mode.Paused);
  h.Frame(10);
  EXPECT_EQ(h.state.Time.GameSeconds, seconds);
  EXPECT_EQ(h.state.Bonus.RetroSecondsLeft, retroLeft);

  GameHarness t(kTorvane);
  t.ParkFigure();
  t.Frames(10, 100);
  const int32_t countdown = t.state.Bonus.BonusCountdown;
  t.Frame(10, {DIK_P});
  t.Frames(300, 100);
  EXPECT_EQ(t.state.Bonus.BonusCountdown, countdown - 10);
}

TEST(Pause, EscDuringThePauseResumesWithoutAsking) {
  GameHarness h;
  h.Frame(10, {DIK_P});
  h.Frame(10, {DIK_ESCAPE});
  EXPECT_FALSE(h.state.Mode.Paused);
  EXPECT_FALSE(h.state.Mode.AbortAsked);
}

TEST(Abort, EscAsksAndNOrAFreshEscAnswersNo) {
  for (uint8_t answer : {DIK_N, DIK_ESCAPE}) {
    GameHarness h;
    h.Frame(10, {DIK_ESCAPE});
    EXPECT_TRUE(h.state.Mode.AbortAsked);
    h.Frame(10, {DIK_P});  // the pause key does nothing in the question
    EXPECT_FALSE(h.state.Mode.Paused);
    EXPECT_TRUE(h.state.Mode.AbortAsked);
    h.Frame(10);
    h.Frame(10, {answer});
    EXPECT_FALSE(h.state.Mode.AbortAsked) << int(answer);
  }
}

TEST(Abort, HeldEscAsksOnceAndWaitsASecondBeforeAnsweringNo) {
  GameHarness h;
  h.Frame(10, {DIK_ESCAPE});
  h.Frames(50, 10, {DIK_ESCAPE});
  EXPECT_TRUE(h.state.Mode.AbortAsked);
  h.Frames(60, 10, {DIK_ESCAPE});
  EXPECT_FALSE(h.state.Mode.AbortAsked);
}

TEST(Abort, EnterOrYLeavesToTheMainMenuThroughTheFade) {
  for (uint8_t answer : {DIK_RETURN, DIK_Y}) {
    GameHarness h;
    h.Frame(10, {DIK_ESCAPE});
    h.Frame(10, {answer});
    EXPECT_TRUE(h.state.Mode.FadeOut);
    EXPECT_TRUE(h.state.Mode.InputLocked);
    int frames = 0;
    while (h.lastLeave == LeaveResult::kStaying && frames < 100) {
      h.Frame(20);
      ++frames;
    }
    EXPECT_EQ(h.lastLeave, LeaveResult::kLeftAfterAbort);
    EXPECT_TRUE(h.state.Mode.InMenu);
    EXPECT_TRUE(h.state.Mode.FadeIn);
    EXPECT_TRUE(h.state.Mode.AbortAsked);  // until the next new game
    EXPECT_FALSE(h.state.Keys.KeyEnter);
    EXPECT_EQ(h.sounds.CurrentMusicTrack, 0);
  }
}

TEST(Abort, EnterHeldWhenTheQuestionIsShownConfirmsAtOnce) {
  GameHarness h;
  h.Frame(10, {DIK_RETURN});
  h.Frame(10, {DIK_RETURN, DIK_ESCAPE});
  EXPECT_TRUE(h.state.Mode.AbortAsked);
  h.Frame(10, {DIK_RETURN});
  EXPECT_TRUE(h.state.Mode.FadeOut);
}

TEST(GameOver, AnyLeaveKeyFadesToTheHighScoreScreen) {
  for (uint8_t key : {DIK_SPACE, DIK_RETURN, DIK_ESCAPE, DIK_LCONTROL}) {
    GameHarness h;
    h.state.Mode.GameOver = true;
    h.Frames(5, 10);
    EXPECT_FALSE(h.state.Mode.FadeOut);
    h.Frame(10, {key});
    EXPECT_TRUE(h.state.Mode.FadeOut) << int(key);
    while (h.lastLeave == LeaveResult::kStaying && !h.state.Mode.InMenu) h.Frame(20);
    EXPECT_EQ(h.lastLeave, LeaveResult::kLeftAfterGameOver);
    EXPECT_FALSE(h.state.Mode.GameOver);
    EXPECT_EQ(h.state.Mode.FadeLevel, 255);
  }
}

TEST(Fades, TakeAtMostThreeHundredFortyMilliseconds) {
  ModeFlags mode;
  mode.FadeOut = true;
  int ms = 0;
  while (!mode.FadeOutDone) {
    FadeOutStep(mode, 1);
    ++ms;
  }
  EXPECT_EQ(ms, 255);  // 1 ms frames add round(0.75) = 1 each
  mode.FadeIn = true;
  mode.InputLocked = true;
  ms = 0;
  while (mode.FadeIn) {
    FadeInStep(mode, 20);
    ms += 20;
  }
  EXPECT_EQ(ms, 340);
  EXPECT_FALSE(mode.InputLocked);
}

TEST(FrameTime, ClampedToOneThroughOneHundredAcrossTheWrapAround) {
  TimeBase time;
  ManualClock clock(5000);
  time.LastTick = 5000;
  TakeFrameTime(time, clock);
  EXPECT_EQ(time.FrameMs, 1u);
  clock.Advance(5000);
  TakeFrameTime(time, clock);
  EXPECT_EQ(time.FrameMs, 100u);
  clock.Set(0xFFFFFFF0u);
  time.LastTick = 0xFFFFFFF0u;
  clock.Advance(0x20);  // wraps to 0x10
  TakeFrameTime(time, clock);
  EXPECT_EQ(time.FrameMs, 32u);
}

TEST(Message, BrightensThenFadesAndAFreshOneRestarts) {
  GameHarness h;
  h.game.ShowMessage("Level 2", -2.4f, 7, 0);
  MessageFade(h.state.Msg, 100);
  EXPECT_NEAR(h.state.Msg.Alpha, 161.0f, 1e-3f);
  for (int n = 0; n < 9; ++n) MessageFade(h.state.Msg, 100);
  EXPECT_EQ(h.state.Msg.Alpha, 255.0f);
  EXPECT_EQ(h.state.Msg.FadeDir, -1);
  h.game.ShowMessage("Warning...", -2.7f, 6, 0);
  EXPECT_EQ(h.state.Msg.Alpha, 150.0f);
  EXPECT_EQ(h.state.Msg.FadeDir, 1);
  EXPECT_EQ(h.state.Msg.Text, "Warning...");
}

TEST(GameMusic, MenuTuneSwitchesToARandomThemeThenThemesCycle) {
  GameHarness h;
  h.ParkFigure();
  Music_Play(h.sounds, 0, true);
  h.Frame(10);
  const int first = h.sounds.CurrentMusicTrack;
  EXPECT_GE(first, 1);
  EXPECT_LE(first, 3);
  int track = first;
  for (int n = 0; n < 4; ++n) {
    h.mixer.EndStream(h.sounds.MusicStreams[track]);
    h.Frame(10);
    const int expected = track % 3 + 1;
    EXPECT_EQ(h.sounds.CurrentMusicTrack, expected);
    track = expected;
  }
}

}  // namespace
}  // namespace zt
