// The libFuzzer target of every reader: ZT_FUZZ_TARGET names the reader check that gets the
// generated inputs; ZT_FUZZ_TARGET=list prints the names, one a line, and stops.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/reader_checks.h"

namespace {

const zt::fuzz::ReaderCheck* ChosenCheck() {
  const char* name = std::getenv("ZT_FUZZ_TARGET");
  const std::string_view wanted = name != nullptr ? name : "";
  for (const zt::fuzz::ReaderCheck& check : zt::fuzz::kReaderChecks)
    if (wanted == check.Name) return &check;
  return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* name = std::getenv("ZT_FUZZ_TARGET");
  if (name != nullptr && std::string_view(name) == "list") {
    for (const zt::fuzz::ReaderCheck& check : zt::fuzz::kReaderChecks) std::printf("%s\n", check.Name);
    std::exit(0);
  }
  if (ChosenCheck() == nullptr) {
    std::fprintf(stderr, "ZT_FUZZ_TARGET names no reader check (ZT_FUZZ_TARGET=list shows them)\n");
    std::exit(2);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const zt::fuzz::ReaderCheck* const check = ChosenCheck();
  check->Check(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
