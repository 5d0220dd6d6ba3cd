#include "menu/key_bindings_file.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

namespace zt {

namespace {

constexpr const char* kKeysSection = "Keys";
constexpr const char* kPadSection = "Pad";

using NameLookup = std::function<std::optional<BoundInput>(const std::string&)>;

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> CommaSeparated(const std::string& value) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= value.size()) {
    const size_t comma = std::min(value.find(',', start), value.size());
    const std::string name = Trimmed(value.substr(start, comma - start));
    if (!name.empty()) names.push_back(name);
    start = comma + 1;
  }
  return names;
}

bool TakenBefore(const std::array<InputList, kGameActionCount>& lists, size_t action, int32_t code) {
  for (size_t earlier = 0; earlier < action; ++earlier)
    if (std::find(lists[earlier].begin(), lists[earlier].end(), BoundInput{code, {}}) != lists[earlier].end())
      return true;
  return false;
}

// One section: each action's names looked up, unknown and already taken ones left out.
void ReadSection(const IniFile& ini, const char* section, const NameLookup& lookup, const DebugLog& log,
                 std::array<InputList, kGameActionCount>& lists) {
  for (size_t action = 0; action < kGameActionCount; ++action) {
    lists[action].clear();
    const std::optional<std::string> value = ini.ReadString(section, ActionName(action));
    if (!value) continue;
    const std::string where = std::string(section) + "/" + ActionName(action);
    for (const std::string& name : CommaSeparated(*value)) {
      const std::optional<BoundInput> input = lookup(name);
      if (!input)
        WriteLog(log, where + ": unknown name \"" + name + "\" ignored");
      else if (TakenBefore(lists, action, input->Code))
        WriteLog(log, where + ": \"" + name + "\" is bound to another action already, ignored");
      else if (std::find(lists[action].begin(), lists[action].end(), *input) == lists[action].end())
        lists[action].push_back(*input);
    }
  }
}

void ReadRepeatDelay(const IniFile& ini, const DebugLog& log, Settings& settings) {
  const std::optional<std::string> value = ini.ReadString(kKeysSection, "Repeat Delay");
  if (!value) return;
  const std::optional<int32_t> delay = ParseIniInteger(*value);
  if (delay && *delay >= kShortestRepeatDelay && *delay <= kLongestRepeatDelay) {
    settings.SidewaysKeyDelay = *delay;
    return;
  }
  WriteLog(log, "Keys/Repeat Delay: \"" + *value + "\" is not 10..1000 ms, ignored");
}

std::string JoinedNames(const InputList& inputs) {
  std::string text;
  for (const BoundInput& input : inputs) text += (text.empty() ? "" : ",") + input.Name;
  return text;
}

void WriteSection(IniFile& ini, const char* section, const std::array<InputList, kGameActionCount>& lists) {
  for (size_t action = 0; action < kGameActionCount; ++action) {
    if (!lists[action].empty())
      ini.WriteString(section, ActionName(action), JoinedNames(lists[action]));
    else if (ini.ReadString(section, ActionName(action)))
      ini.WriteString(section, ActionName(action), "");
  }
}

}  // namespace

void ReadKeyBindings(const IniFile& ini, const InputNames& names, const DebugLog& log, KeyBindings& bindings,
                     Settings& settings) {
  ReadSection(
      ini, kKeysSection, [&names](const std::string& name) { return names.Key(name); }, log, bindings.Keys);
  ReadSection(
      ini, kPadSection, [&names](const std::string& name) { return names.Button(name); }, log, bindings.Buttons);
  ReadRepeatDelay(ini, log, settings);
}

void WriteKeyBindings(IniFile& ini, const KeyBindings& bindings) {
  WriteSection(ini, kKeysSection, bindings.Keys);
  WriteSection(ini, kPadSection, bindings.Buttons);
}

bool SaveControls(const SettingsFile& file, const KeyBindings& bindings, const Settings& settings,
                  const DebugLog& log) {
  return UpdateConfigFile(
      file, "SaveControls",
      [&](IniFile& ini) {
        WriteKeyBindings(ini, bindings);
        if (settings.Palette != kGamePalette || ini.ReadString("Options", "Palette"))
          ini.WriteInteger("Options", "Palette", settings.Palette);
        WriteAntialiasingChoice(ini, settings);
      },
      log);
}

}  // namespace zt
