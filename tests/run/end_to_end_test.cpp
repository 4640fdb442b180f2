// The real program, run from a copy in a folder of its own and started from
// another working directory: what it leaves beside itself.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "run/file_names.h"
#include "test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

TEST(EndToEnd, TheRunLeavesExactlyTheSixFilesWithTheExpectedBytes) {
  const auto expected = testing::expected_hashes();
  ASSERT_TRUE(expected) << "no golden hashes in " << SCENARIO_GOLDEN_DIR;
  const RunNames names{kRouteName, kTrainName};
  const std::set<std::string> outputs = {names.notes_document(),  names.slowdown_order(), names.train_sheet(),
                                         names.track_plan_file(), names.parameter_file(), names.grid_file()};
  const std::string sources[] = {names.line_file(), names.train_file()};

  struct Case {
    const char* what;
    bool older_files;  // every file of a run already there, longer than the new one
  };
  for (const Case& c : {Case{"an empty folder", false}, Case{"a folder holding older files", true}}) {
    SCOPED_TRACE(c.what);
    testing::TempDir root;
    const fs::path program_folder = root / "program folder";
    const fs::path elsewhere = root / "elsewhere";
    fs::create_directory(program_folder);
    fs::create_directory(elsewhere);
    const fs::path exe = program_folder / "scenario";
    fs::copy_file(SCENARIO_EXE, exe);
    if (c.older_files) {
      for (const auto& [name, hash] : *expected) testing::write_file(program_folder / name, std::string(4000000, 'z'));
    }

    const testing::ProcessResult result = testing::run_program(exe, elsewhere);
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");

    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(program_folder)) left.insert(entry.path().filename().string());
    std::set<std::string> want = outputs;
    want.insert("scenario");
    EXPECT_EQ(left, want);
    for (const std::string& name : outputs) {
      EXPECT_EQ(testing::sha256_hex(testing::read_file(program_folder / name).value_or("")), expected->at(name))
          << name;
    }
    for (const std::string& name : sources) EXPECT_FALSE(fs::exists(program_folder / name)) << name;
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "a file was written into the working directory";
  }
}

}  // namespace
}  // namespace scenario

#endif  // _WIN32
