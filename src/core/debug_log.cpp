#include "core/debug_log.h"

#include <cstdio>

namespace zt {

void ResetLog(const DebugLog& log) {
  if (!log.Enabled) return;
  if (std::FILE* file = std::fopen(log.Path.c_str(), "wb")) std::fclose(file);
}

void WriteLog(const DebugLog& log, const std::string& text) {
  if (!log.Enabled) return;
  std::FILE* file = std::fopen(log.Path.c_str(), "ab");
  if (file == nullptr) return;  // a log that cannot be written never stops the game
  std::fwrite(text.data(), 1, text.size(), file);
  std::fwrite("\r\n", 1, 2, file);
  std::fflush(file);
  std::fclose(file);
}

}  // namespace zt
