// A program past its loading on test devices, for the tests that drive its frames.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "app/frame.h"
#include "support/temp_folder.h"

namespace zt {

// A program past its loading, on test devices, its files in a folder of the test's own.
class ProgramFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramDevices devices;
    devices.Time = &clock_;
    devices.Keys = &keys_;
    devices.Audio = &mixer_;
    devices.Messages = &messages_;
    GamePaths paths;
    paths.ConfigPath = (folder_ / "config.ini").string();
    paths.PlayerDir = folder_.string();
    InitProgram(program_, devices, paths);
    LoadSettings(program_.ConfigFile, program_.Config);
    DIInit(program_.Input);
    DICreateKeyboard(program_.Input);
    DIAcquireKeyboard(program_.Input, true);
    program_.Input.KeyboardReady = true;
    program_.Loaded = program_.AppActive = true;
  }
  void Frame(std::initializer_list<uint8_t> down = {}) {
    clock_.Advance(16);
    keys_.ReleaseAll();
    for (uint8_t key : down) keys_.Press(key);
    IdleFrame(program_);
  }

  testing::TempFolder temp_;
  const std::filesystem::path folder_ = temp_.Path();
  ManualClock clock_{1000};
  ScriptedKeyboard keys_;
  RecordingMixer mixer_;
  RecordingMessageBox messages_;
  Program program_;
};

}  // namespace zt
