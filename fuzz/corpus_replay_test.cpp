// Every input the fuzz targets keep is replayed here, so that `make test` catches a
// change that breaks one again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "fuzz/promises.h"
#include "platform/posix/host_io.h"

namespace trwk::fuzz {
namespace {

std::vector<std::filesystem::path> corpus(const char* target) {
  std::vector<std::filesystem::path> files;
  auto folder = std::filesystem::path(TRWK_SOURCE_DIR) / "fuzz" / "corpus" / target;
  if (!std::filesystem::is_directory(folder)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(FuzzCorpusTest, EveryKeptInputStillKeepsEveryPromise) {
  for (const Target& target : targets()) {
    SCOPED_TRACE(target.name);
    auto files = corpus(target.name);
    EXPECT_FALSE(files.empty()) << "no corpus for " << target.name;
    for (const auto& file : files) {
      auto input = posix::readHostFile(file.string());
      ASSERT_TRUE(input) << file;
      EXPECT_EQ(checked(target, *input), std::nullopt) << file.filename();
    }
  }
}

}  // namespace
}  // namespace trwk::fuzz
