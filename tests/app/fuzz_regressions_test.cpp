// Every input kept for the readers' fuzz targets, read again in the normal test run: the
// seed corpora (tests/fuzz/corpus/<target>) and the inputs that once broke a reader
// (tests/fuzz/regressions/<target>). Each must be accepted, or refused with the reader's
// own error; a crash or a sanitizer report fails the run in the instrumented build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/reader_checks.h"

namespace zt {
namespace {

using fuzz::ReaderCheck;

std::vector<std::filesystem::path> FilesUnder(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(folder))
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.is_regular_file()) files.push_back(entry.path());
  return files;
}

std::string Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SavedReaderInputs : public ::testing::TestWithParam<ReaderCheck> {};

TEST_P(SavedReaderInputs, AreReadOrRefusedCleanly) {
  const ReaderCheck& target = GetParam();
  const std::filesystem::path fuzzDir = std::filesystem::path(ZT_SOURCE_DIR) / "tests" / "fuzz";
  const auto seeds = FilesUnder(fuzzDir / "corpus" / target.Name);
  EXPECT_FALSE(seeds.empty()) << "no seed inputs for " << target.Name;
  auto files = seeds;
  for (const auto& file : FilesUnder(fuzzDir / "regressions" / target.Name)) files.push_back(file);
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    const std::string bytes = Bytes(file);
    try {
      target.Check(bytes);
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Readers, SavedReaderInputs, ::testing::ValuesIn(fuzz::kReaderChecks),
                         [](const ::testing::TestParamInfo<ReaderCheck>& info) {
                           return std::string(info.param.Name);
                         });

}  // namespace
}  // namespace zt
