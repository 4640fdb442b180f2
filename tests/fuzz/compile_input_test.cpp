// The fuzzer's entry in the suite: every seed and every input that once made
// the fuzzer fail replays through it, and the defects those inputs found stay
// mended.
#include "compile_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "compiler/compiler.h"
#include "run/failures.h"
#include "test_support.h"

namespace scenario {
namespace {

namespace fs = std::filesystem;

TEST(CompileInput, SplitsOnTheFirstNulAndTakesTheFlagFromTheFirstByte) {
  struct Case {
    std::string input;
    bool full;
    std::string line;
    std::optional<std::string> train;
  };
  const Case cases[] = {
      {std::string("\x01L\0T\0U", 6), true, "L", std::string("T\0U", 3)},
      {std::string("\x02L\0", 3), false, "L", ""},
      {"\xffLL", true, "LL", std::nullopt},
      {std::string("\x00", 1), false, "", std::nullopt},
  };
  for (const Case& c : cases) {
    auto split = fuzz::split_input(c.input);
    ASSERT_TRUE(split);
    EXPECT_EQ(split->full_compile, c.full);
    EXPECT_EQ(split->line_file, c.line);
    EXPECT_EQ(split->train_file, c.train);
  }
  EXPECT_FALSE(fuzz::split_input(""));
  EXPECT_EQ(fuzz::join_input(true, "L", std::string_view("T")), std::string("\x01L\0T", 4));
}

// Replays every file of a folder of fuzzer inputs; returns how many ran.
int replay_folder(const fs::path& dir) {
  int replayed = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    SCOPED_TRACE(entry.path().filename().string());
    auto bytes = testing::read_file(entry.path());
    if (!bytes) {
      ADD_FAILURE() << "cannot read " << entry.path();
      continue;
    }
    std::string problem;
    EXPECT_NO_THROW(problem = fuzz::compile_input(*bytes));
    EXPECT_EQ(problem, "");
    ++replayed;
  }
  return replayed;
}

TEST(CompileInput, EveryRegressionInputHasASoundOutcome) {
  EXPECT_GT(replay_folder(FUZZ_DIR "/regressions"), 0);
}

TEST(CompileInput, EverySeedHasASoundOutcome) { EXPECT_GT(replay_folder(FUZZ_DIR "/corpus"), 0); }

// The compile of two sources in memory, for the cases below.
struct Compiled {
  MemoryFolder folder;
  Compiler compiler{folder};
};

void compile(Compiled& run, const std::string& line, const std::string& train) {
  const RunNames names{kRouteName, kTrainName};
  run.folder.write(names.line_file(), line);
  run.folder.write(names.train_file(), train);
  std::int32_t full = 1;
  run.compiler.memorizza_percorso(full);
}

TEST(CompileInput, ARepeatedRouteLengthThatFailsKeepsTheGridOfTheFirst) {
  for (const char* second : {"-8000", "-7010"}) {
    SCOPED_TRACE(second);
    Compiled run;
    compile(run,
            std::string("[generale]\r\nlunghezza percorso, 1000\r\nlunghezza percorso, ") + second + "\r\n[fine]\r\n",
            "[generale]\r\n[fine]\r\n");
    EXPECT_EQ(run.compiler.error_code, 25);
    EXPECT_EQ(run.compiler.last_cell, 160);
    EXPECT_EQ(run.compiler.plan_length, 8000);
    EXPECT_EQ(run.compiler.grid.size(), 161u);
    EXPECT_EQ(run.compiler.track_plan.size(), 8001u);
  }
}

TEST(CompileInput, AFailureAfterTheSourceIsGoneNamesItsFileAndLine) {
  // The speed of 1280 km/h is in force when the next record writes a cell.
  Compiled run;
  compile(run, "[generale]\r\nlunghezza percorso, 3000\r\n[fine]\r\n",
          "[generale]\r\nvelocita, 0, 1280\r\nvelocita, 1000, 80\r\n[fine]\r\n");
  ASSERT_EQ(run.compiler.recorded_codes.size(), 1u);
  const RecordedCode& r = run.compiler.recorded_codes[0];
  EXPECT_EQ(r.code, 25);
  EXPECT_EQ(r.file, SourceFile::train_file);
  EXPECT_EQ(r.line, 3);
}

}  // namespace
}  // namespace scenario
