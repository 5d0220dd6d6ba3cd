// The command line the font tools share: two arguments, the usage line otherwise, and a failure
// reported under the tool's name.
#pragma once

#include <cstdio>
#include <exception>
#include <string>

// Runs `run(first, second)` on the two arguments: 0 when it returns, 1 when it throws, 2 on a
// wrong command line.
template <typename Run>
int RunFontTool(int argc, char** argv, const char* tool, const char* arguments, Run run) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s %s\n", tool, arguments);
    return 2;
  }
  try {
    run(std::string(argv[1]), std::string(argv[2]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", tool, e.what());
    return 1;
  }
  return 0;
}
