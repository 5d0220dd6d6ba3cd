// The program's state as one JSON object: what a replay's `state` line prints and what its
// `expect` lines compare against.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/program.h"

namespace zt {

nlohmann::json StateJson(const Program& program, uint64_t frames, const std::vector<std::string>& sounds);

// The value at a dot-separated path ("Current.CellX", "Glass.0.3"), or null when absent.
const nlohmann::json* FindPath(const nlohmann::json& state, const std::string& path);

// Compares by ==, !=, <, <=, >, >=; numbers by value, strings by their bytes.
bool CompareJson(const nlohmann::json& actual, const std::string& op, const nlohmann::json& expected);

}  // namespace zt
