// Diagnostic text: positions in metres and kilometres, a meaning for every
// code, and names checked before anything is written.
#include "tools/report.h"

#include <gtest/gtest.h>

#include "compiler/code_meanings.h"
#include "tools/tool_names.h"

namespace scenario::tool {
namespace {

TEST(Report, PositionsInMetresAndKilometres) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "0 m, km 0+000"},          {50, "50 m, km 0+050"},
      {56300, "56300 m, km 56+300"}, {155000, "155000 m, km 155+000"},
      {-25, "-25 m, km -0+025"},     {-2147483647 - 1, "-2147483648 m, km -2147483+648"},
  };
  for (const auto& [metres, text] : cases) EXPECT_EQ(position_text(metres), text);
}

TEST(Report, EveryCodeHasAMeaning) {
  for (int code :
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 24, 25, 101, 102, 103, 1250, 1251})
    EXPECT_NE(code_meaning(code), "unknown code") << code;
  for (int code : {0, 14, 23, 26, 104, 9999}) EXPECT_EQ(code_meaning(code), "unknown code") << code;
}

TEST(Report, GridPassCodesCarryThePositionAlone) {
  CompileOutcome outcome;
  outcome.names = {"Orvale_Tresca", "IC 417"};
  outcome.recorded.push_back({12, 1200, SourceFile::none, 0, {}});
  outcome.recorded.push_back({25, std::nullopt, SourceFile::train_file, 9, "a number too wide for its field"});
  EXPECT_EQ(diagnostics_text("d", outcome),
            "scenario-tool: error 12: no free cell for an abbattimento point before a slowdown start (at 1200 m, "
            "km 1+200)\n" +
                (std::filesystem::path("d") / "Orvale_Tresca_IC 417-.txt").string() +
                ":9: error 25: record could not be read: a number too wide for its field\n");
  EXPECT_EQ(exit_status(outcome), 1);
  outcome.runtime_failure = "no track grid";
  EXPECT_EQ(exit_status(outcome), 2);
}

TEST(Names, CheckedBeforeUse) {
  EXPECT_EQ(checked_name("Orvale_Tresca", "route"), "Orvale_Tresca");
  EXPECT_EQ(checked_name("Citt\u00e0 \u20ac", "route"), "Citt\xe0 \x80");  // UTF-8 in, Windows-1252 out
  for (const char* bad : {"", "a/b", "a\\b", "\u2713", "tab\there", "\xff"})
    EXPECT_THROW(checked_name(bad, "route"), UsageError) << bad;
}

}  // namespace
}  // namespace scenario::tool
