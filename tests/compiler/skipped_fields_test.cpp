// The warnings for what the parser skips without a code: each at the field
// the parser skipped, grouped with the numbers skipped after it, and never a
// change to what the compile reads.
#include "compiler/skipped_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compile_fixture.h"
#include "compiler/code_meanings.h"

namespace scenario {
namespace {

using testing::crlf;

struct Expected {
  WarningKind kind;
  SourceFile file;
  int line, column, end_column;
  std::string message;
};

const std::vector<std::string> kLine = {"[generale]", "lunghezza percorso,    10000", "[pendenze]",
                                        "pendenza,   0,    0", "[fine]"};
const std::vector<std::string> kTrain = {"[generale]", "sabbia,    0", "[segnali]",
                                         "segnale,   2050,  1, 4, 1, 0, 0, 1, 2, 1, 0, 0", "[fine]"};

class SkippedFieldsTest : public testing::CompileFixture {
 protected:
  std::vector<Expected> warnings_of(const std::vector<std::string>& line, const std::vector<std::string>& train,
                                    std::int32_t full = 1) {
    put_sources(crlf(line), crlf(train));
    compile(full);
    std::vector<Expected> out;
    for (const RecordedWarning& w : compiler.recorded_warnings) {
      EXPECT_EQ(w.end_line, w.line);
      out.push_back({w.kind, w.file, w.line, w.column, w.end_column, w.message});
    }
    return out;
  }
};

bool operator==(const Expected& a, const Expected& b) {
  return a.kind == b.kind && a.file == b.file && a.line == b.line && a.column == b.column &&
         a.end_column == b.end_column && a.message == b.message;
}

void PrintTo(const Expected& e, std::ostream* os) {
  *os << warning_name(e.kind) << " " << static_cast<int>(e.file) << ":" << e.line << ":" << e.column << "-"
      << e.end_column << " " << e.message;
}

TEST_F(SkippedFieldsTest, WellFormedSourcesHaveNone) {
  EXPECT_EQ(warnings_of(kLine, kTrain), std::vector<Expected>{});
  EXPECT_EQ(codes(), std::vector<std::int32_t>{});
}

TEST_F(SkippedFieldsTest, EachSkipIsWarnedAtItsField) {
  struct Case {
    const char* what;
    std::vector<std::string> line, train;
    std::vector<Expected> expected;
  };
  const auto L = SourceFile::line_file;
  const auto T = SourceFile::train_file;
  const Case cases[] = {
      {"misspelled keyword with its numbers",
       kLine,
       {"[generale]", "segnalle,   2050,  1, 4, 1, 0, 0, 1, 2, 1, 0, 0", "[fine]"},
       {{WarningKind::unknown_keyword, T, 2, 1, 48,
         "\"segnalle\" matches no keyword of the train file and is skipped, with the 11 numbers after it; did you "
         "mean \"segnale\"?"}}},
      // A suggestion only when exactly one keyword is within two letters.
      {"a suggestion when it is unambiguous",
       {"[generale]", "lunghezza percorso,    10000", "[curve]", "pendenzza, 100, 5", "curvd4, 100, 50", "[fine]"},
       kTrain,
       {{WarningKind::unknown_keyword, L, 4, 1, 18,
         "\"pendenzza\" matches no keyword of the line file (after its general section) and is skipped, with the 2 "
         "numbers after it; did you mean \"pendenza\"?"},
        {WarningKind::unknown_keyword, L, 5, 1, 16,
         "\"curvd4\" matches no keyword of the line file (after its general section) and is skipped, with the 2 "
         "numbers after it"}}},
      {"numbers left over after a record, a negative one too",
       {"[generale]", "lunghezza percorso,    10000, 5", "[pendenze]", "pendenza,   0,    0,  3, -4", "[fine]"},
       kTrain,
       {{WarningKind::unread_numbers, L, 2, 31, 32,
         "1 number after the \"lunghezza percorso\" record is not read: the record takes no more values"},
        {WarningKind::unread_numbers, L, 4, 23, 28,
         "2 numbers after the \"pendenza\" record are not read: the record takes no more values"}}},
      {"a line record in the general section",
       {"[generale]", "lunghezza percorso,    10000", "pendenza,   0,    0", "[fine]"},
       kTrain,
       {{WarningKind::unknown_keyword, L, 3, 1, 20,
         "\"pendenza\" matches no keyword of the line file's general section and is skipped, with the 2 numbers "
         "after it"}}},
      {"a header that is no section, in both files",
       {"[generale]", "lunghezza percorso,    10000", "[pendenza_]", "[Curve]", "[fine]"},
       {"[generale]", "[segnalli]", "[fine]"},
       {{WarningKind::unknown_section, L, 3, 1, 12,
         "\"[pendenza_]\" is not a section of the line file ([generale], [curve], [pendenze], [montagne], "
         "[cartelli], [indicazioni] and [fine]); nothing reads it, and no record is read differently after it"},
        {WarningKind::unknown_section, T, 2, 1, 11,
         "\"[segnalli]\" is not a section of the train file ([generale], [aderenze], [vel_limite], [stazioni], "
         "[rallentamenti], [segnali], [codici] and [fine]); nothing reads it, and no record is read differently "
         "after it"}}},
      {"a keyword alone as the last field",
       kLine,
       {"[generale]", "sabbia, 0", "numero vetture"},
       {{WarningKind::unread_last_field, T, 3, 1, 15,
         "\"numero vetture\" is the file's last field, which is never interpreted; end the file with \"[fine]\""}}},
      {"a train file without [generale]",
       kLine,
       {"[generali]", "sabbia, 0", "[fine]"},
       {{WarningKind::no_generale, T, 1, 1, 1, "no field holds \"[generale]\": none of this file is read"}}},
      {"UTF-8 in a station name and a byte-order mark",
       {"\xEF\xBB\xBF[generale]", "lunghezza percorso,    10000", "[fine]"},
       {"[generale]", "stazione, 2000, 2, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, Citt\xC3\xA0 Nuova", "[fine]"},
       {{WarningKind::utf8_bom, L, 1, 1, 4,
         "the file starts with a UTF-8 byte-order mark: it was saved as UTF-8, but the compile reads "
         "Windows-1252; save it as Windows-1252"},
        {WarningKind::utf8_text, T, 2, 58, 70,
         "\"Citt\u00e0 Nuova\" is written in UTF-8, but the compile reads Windows-1252: the simulator will show "
         "\"Citt\u00c3\u00a0 Nuova\"; save the file as Windows-1252"}}},
      // Windows-1252 "à" alone (E0) is no UTF-8 sequence.
      {"Windows-1252 text is not UTF-8",
       kLine,
       {"[generale]", "stazione, 2000, 2, 600, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, Citt\xE0 \xC3 Nuova", "[fine]"},
       {}},
      // Dash separators and blank lines are part of the format.
      {"separators and blank lines",
       {"[generale]", "lunghezza percorso,    10000", "---------", "", "[pendenze]", "-----", "pendenza, 0, 0", ""},
       {"[generale]", "", "--- segnali ---", "sabbia, 0,", "-----", "-----", "-----", "-----", "[fine]"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(warnings_of(c.line, c.train), c.expected);
  }
}

TEST_F(SkippedFieldsTest, CurvesOfACompileWithoutPlanAreSkippedByDesign) {
  const std::vector<std::string> line = {"[generale]", "lunghezza percorso,    10000", "[curve]",
                                         "curvad4,  3800,  200", "[fine]"};
  EXPECT_EQ(warnings_of(line, kTrain, 0), std::vector<Expected>{});
  EXPECT_EQ(warnings_of(line, kTrain, 1), std::vector<Expected>{});
}

TEST_F(SkippedFieldsTest, WarningsChangeNothingTheCompileWrites) {
  put_sources(crlf(kLine), crlf(kTrain));
  compile();
  const std::map<std::string, std::string> clean = folder.files();
  // The same sources with a skipped field and a number left over.
  folder = MemoryFolder{};
  std::vector<std::string> train = kTrain;
  train.insert(train.begin() + 2, "segnalle, 5");
  train[1] += ", 7";
  put_sources(crlf(kLine), crlf(train));
  compile();
  EXPECT_EQ(compiler.recorded_warnings.size(), 2u);
  EXPECT_EQ(folder.files(), clean);
}

TEST(LooksLikeNumber, WholeDecimalIntegersOnly) {
  for (const char* yes : {"0", "155000", "-7", "  12"}) EXPECT_TRUE(looks_like_number(yes)) << yes;
  for (const char* no : {"", "-", "1.5", "12a", "segnale", "1 2"}) EXPECT_FALSE(looks_like_number(no)) << no;
}

}  // namespace
}  // namespace scenario
