// One libFuzzer target: the reader check named by ZT_FUZZ_CHECK gets every generated input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/reader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zt::fuzz::ZT_FUZZ_CHECK(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
