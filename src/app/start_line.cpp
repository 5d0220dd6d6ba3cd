#include "app/start_line.h"

#include <cmath>
#include <string>

namespace zt {

namespace {

using nlohmann::json;

constexpr double kLargestCoordinate = 1e6;  // far beyond anything the glass holds
constexpr int64_t kAnyTimer = int64_t{1} << 31;

// Each field of the start line with its name and, for whole numbers, the range a game can leave.
template <typename State, typename Visit>
void EachStartField(State& start, Visit&& visit) {
  visit("GameType", start.GameType, kTorvane, kRetro);
  visit("Generator", start.Generator);
  visit("MusicTrack", start.MusicTrack, 0, 3);
  visit("FlipActive", start.Flip.FlipActive);
  visit("FlipColumn", start.Flip.FlipCol, 1, kGlassColumns);
  visit("FlipRow", start.Flip.FlipRow, 1, kGlassRows);
  visit("FlipAxis", start.Flip.FlipAxis, 0, 5);
  visit("FlipAngle", start.Flip.FlipAngle);
  visit("FlipSavedMatrix", start.Flip.FlipSavedMatrix);
  visit("LockDelayActive", start.LockDelayActive);
  visit("LockDelayMs", start.LockDelayMs, -kAnyTimer, kAnyTimer - 1);
  visit("LastCountdownSecond", start.LastCountdownSecond, -kAnyTimer, kAnyTimer - 1);
  visit("RetroSecondsLeft", start.RetroSecondsLeft, -kAnyTimer, kAnyTimer - 1);
  visit("PreviousStepShort", start.PreviousStepShort);
  visit("RedaraRows", start.RedaraRows, 1, kFigureTableRows);
  visit("ShiftSpeed", start.ShiftSpeed);
  visit("TrailOn", start.Trail.TrailOn);
  visit("TrailIntensity", start.Trail.TrailIntensity);
  visit("TrailRate", start.Trail.TrailRate);
  for (size_t i = 0; i < start.Trail.Trail.size(); ++i) {
    const std::string column = "Trail" + std::to_string(i + 1);
    visit(column + "Active", start.Trail.Trail[i].Active);
    visit(column + "X", start.Trail.Trail[i].X);
    visit(column + "Y", start.Trail.Trail[i].Y);
  }
  visit("MessageX", start.MessageX);
  visit("MessageSize", start.MessageSize, 0, 20);
  visit("MessageFadeDir", start.MessageFadeDir, -1, 1);
  visit("ShiftDir", start.ShiftDir, kNoShift, kShiftRight);
  visit("KeySelect", start.Keys.KeySelect);
  for (auto [name, timer] : {std::pair{"ShiftKeyTimer", &start.Keys.ShiftKeyTimer},
                             {"UpKeyTimer", &start.Keys.UpKeyTimer},
                             {"DropKeyTimer", &start.Keys.DropKeyTimer},
                             {"EscKeyTimer", &start.Keys.EscKeyTimer},
                             {"EnterKeyTimer", &start.Keys.EnterKeyTimer},
                             {"PauseKeyTimer", &start.Keys.PauseKeyTimer}})
    visit(name, *timer, -kAnyTimer, kAnyTimer - 1);
}

struct Writer {
  json& Out;
  void operator()(const std::string& name, bool value) const { Out[name] = value; }
  void operator()(const std::string& name, float value) const { Out[name] = value; }
  template <typename Whole>
  void operator()(const std::string& name, Whole value, int64_t, int64_t) const {
    Out[name] = value;
  }
  void operator()(const std::string& name, const Random::State& state) const { Out[name] = state; }
  void operator()(const std::string& name, const D3DMATRIX& matrix) const {
    json& values = Out[name] = json::array();
    for (const auto& row : matrix.m)
      for (float value : row) values.push_back(value);
  }
};

// Reading throws Malformed for a value that is missing, of another kind or out of range.
struct Malformed {};

struct Reader {
  const json& In;
  const json& Field(const std::string& name) const {
    const auto found = In.find(name);
    if (found == In.end()) throw Malformed{};
    return *found;
  }
  static void Real(const json& value, float& out) {
    if (!value.is_number()) throw Malformed{};
    const double number = value.get<double>();
    if (!std::isfinite(number) || std::fabs(number) > kLargestCoordinate) throw Malformed{};
    out = static_cast<float>(number);
  }
  void operator()(const std::string& name, bool& out) const {
    if (!Field(name).is_boolean()) throw Malformed{};
    out = Field(name).get<bool>();
  }
  void operator()(const std::string& name, float& out) const { Real(Field(name), out); }
  template <typename Whole>
  void operator()(const std::string& name, Whole& out, int64_t lowest, int64_t highest) const {
    const json& value = Field(name);
    if (!value.is_number_integer() || value.get<int64_t>() < lowest || value.get<int64_t>() > highest)
      throw Malformed{};
    out = static_cast<Whole>(value.get<int64_t>());
  }
  void operator()(const std::string& name, Random::State& state) const {
    const json& words = Field(name);
    if (!words.is_array() || words.size() != state.size()) throw Malformed{};
    for (size_t i = 0; i < state.size(); ++i) {
      if (!words[i].is_number_unsigned()) throw Malformed{};
      state[i] = words[i].get<uint64_t>();
    }
  }
  void operator()(const std::string& name, D3DMATRIX& matrix) const {
    const json& values = Field(name);
    if (!values.is_array() || values.size() != 16) throw Malformed{};
    for (size_t i = 0; i < 16; ++i) Real(values[i], matrix.m[i / 4][i % 4]);
  }
};

}  // namespace

json InheritedStateJson(const InheritedState& inherited) {
  json object = json::object();
  EachStartField(inherited, Writer{object});
  return object;
}

std::optional<InheritedState> InheritedStateFromJson(const json& object) {
  if (!object.is_object()) return std::nullopt;
  InheritedState inherited;
  try {
    EachStartField(inherited, Reader{object});
  } catch (const Malformed&) {
    return std::nullopt;
  }
  return inherited;
}

}  // namespace zt
