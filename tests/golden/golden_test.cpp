// The goldens of the embedded run: the eight files, each with a size and a
// SHA-256, and where the expectations of an independent implementation sit
// beside the project, the same facts as those.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "run/file_names.h"
#include "test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

std::set<std::string> names_in(const std::map<std::string, std::string>& m) {
  std::set<std::string> names;
  for (const auto& [name, value] : m) names.insert(name);
  return names;
}

TEST(Golden, TheEmbeddedRunHasEightFilesEachWithAHashAndASize) {
  const auto hashes = testing::expected_hashes();
  ASSERT_TRUE(hashes) << "no golden hashes in " << SCENARIO_GOLDEN_DIR;
  const RunNames n{kRouteName, kTrainName};
  const std::set<std::string> files = {n.line_file(),      n.train_file(),      n.notes_document(),
                                       n.slowdown_order(), n.train_sheet(),     n.track_plan_file(),
                                       n.parameter_file(), n.grid_file()};
  EXPECT_EQ(names_in(*hashes), files);
  const auto sizes = testing::read_file(fs::path(SCENARIO_GOLDEN_DIR) / "embedded.sizes");
  ASSERT_TRUE(sizes);
  for (const std::string& name : files) EXPECT_NE(sizes->find(" " + name + "\n"), std::string::npos) << name;
}

#ifdef SCENARIO_SHARED_EXPECTED_DIR
TEST(Golden, AgreesWithTheSharedExpectations) {
  for (const char* file : {"embedded.sha256", "embedded.sizes"}) {
    SCOPED_TRACE(file);
    const auto ours = testing::read_file(fs::path(SCENARIO_GOLDEN_DIR) / file);
    const auto shared = testing::read_file(fs::path(SCENARIO_SHARED_EXPECTED_DIR) / file);
    ASSERT_TRUE(ours);
    ASSERT_TRUE(shared);
    EXPECT_EQ(*ours, *shared);
  }
}
#endif

}  // namespace
}  // namespace scenario
