#include "sources/text_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace scenario {
namespace {

std::vector<std::string> all_text_fields(std::string_view bytes) {
  FieldReader r(bytes);
  std::vector<std::string> fields;
  while (!r.at_end()) fields.push_back(r.read_text());
  return fields;
}

TEST(FieldReaderText, SplitsAtCommasAndLineEnds) {
  struct Case {
    const char* input;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"a,b\r\nc\r\n", {"a", "b", "c"}},
      // Leading blanks skipped; trailing blanks of an unquoted field dropped.
      {"  lunghezza percorso,    155000\r\n", {"lunghezza percorso", "155000"}},
      {"x   ,  y  \r\n", {"x", "y"}},
      // Blanks inside the field stay.
      {"cartello_indicatore,  1500,   (Bivio     )(Sparvenzia)\r\n",
       {"cartello_indicatore", "1500", "(Bivio     )(Sparvenzia)"}},
      // An empty line and an empty piece are empty fields.
      {"a\r\n\r\nb,,c\r\n", {"a", "", "b", "", "c"}},
      // Lone LF and lone CR end a line like CR LF.
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      // A quoted field keeps its commas and blanks.
      {"\" x, y \",z\r\n", {" x, y ", "z"}},
      // A line of dashes is one field, so is each comma-separated piece.
      {"-----------\r\n--, --\r\n", {"-----------", "--", "--"}},
  };
  for (const Case& c : cases) EXPECT_EQ(all_text_fields(c.input), c.fields) << c.input;
}

TEST(FieldReaderText, KnowsTheLineOfEveryField) {
  // CR LF, lone LF, lone CR, and a quoted field that runs over a lone CR.
  FieldReader r("a,b\r\nc\nd\re,\"q\rq\",f\r\ng");
  const std::pair<const char*, int> expected[] = {{"a", 1}, {"b", 1},    {"c", 2}, {"d", 3},
                                                  {"e", 4}, {"q\rq", 4}, {"f", 5}, {"g", 6}};
  for (const auto& [text, line] : expected) {
    EXPECT_EQ(r.read_text(), text);
    EXPECT_EQ(r.field_line(), line) << text;
  }
  EXPECT_TRUE(r.at_end());
}

TEST(FieldReaderText, KnowsTheColumnAndExtentOfEveryField) {
  // Columns count bytes from 1 after the blanks skipped; a quoted field that
  // runs over a line end restarts the count for the fields after it.
  FieldReader r("  ab , cd\r\n\"x\ny\", z\r\n");
  struct Expected {
    const char* text;
    int line, column;
    std::size_t start, end;
  };
  const Expected expected[] = {{"ab", 1, 3, 2, 4}, {"cd", 1, 8, 7, 9}, {"x\ny", 2, 1, 11, 16}, {"z", 3, 5, 18, 19}};
  for (const Expected& e : expected) {
    EXPECT_EQ(r.read_text(), e.text);
    EXPECT_EQ(r.field_line(), e.line) << e.text;
    EXPECT_EQ(r.field_column(), e.column) << e.text;
    EXPECT_EQ(r.field_start(), e.start) << e.text;
    EXPECT_EQ(r.field_end(), e.end) << e.text;
  }
  FieldReader numbers("segnale,   56300,\r\n  -7 x");
  numbers.read_text();
  EXPECT_EQ(numbers.read_i32(), 56300);
  EXPECT_EQ(numbers.field_column(), 12);
  EXPECT_EQ(numbers.field_end() - numbers.field_start(), 5u);
  EXPECT_EQ(numbers.read_i32(), -7);
  EXPECT_EQ(numbers.field_line(), 2);
  EXPECT_EQ(numbers.field_column(), 3);
  try {
    numbers.read_i32();
    ADD_FAILURE() << "x is not a number";
  } catch (const FormatError& e) {
    EXPECT_EQ(e.line(), 2);
    EXPECT_EQ(e.column(), 6);
  }
}

TEST(FieldReaderNumbers, ReadsCommaBlankAndLineEndSeparatedValues) {
  struct Case {
    const char* input;
    std::vector<int> values;
  };
  const Case cases[] = {
      // The clock line of the train file: blanks only, one trailing blank.
      {"    19              8             30 \r\n", {19, 8, 30}},
      {"   3800,  200\r\n", {3800, 200}},
      {"  31000,   -7\r\n", {31000, -7}},
      // One record's values may run over line ends.
      {"1,\r\n2\r\n\r\n  3\r\n", {1, 2, 3}},
      // Blank between a number and its comma (implementer's choice: skipped).
      {"4 ,5 , 6", {4, 5, 6}},
      {"-0,0", {0, 0}},
  };
  for (const Case& c : cases) {
    FieldReader r(c.input);
    std::vector<int> got;
    for (std::size_t i = 0; i < c.values.size(); ++i) got.push_back(r.read_i32());
    EXPECT_EQ(got, c.values) << c.input;
    EXPECT_TRUE(r.at_end()) << c.input;
  }
}

TEST(FieldReaderNumbers, WidthsAcceptTheirRangeAndRejectTheRest) {
  using Read = std::function<long long(FieldReader&)>;
  const Read u8 = [](FieldReader& r) { return static_cast<long long>(r.read_u8()); };
  const Read i16 = [](FieldReader& r) { return static_cast<long long>(r.read_i16()); };
  const Read i32 = [](FieldReader& r) { return static_cast<long long>(r.read_i32()); };
  struct Case {
    const char* width;
    const Read& read;
    const char* input;
    std::optional<long long> value;  // nullopt: a FormatError
  };
  const Case cases[] = {
      {"u8", u8, "0", 0},
      {"u8", u8, "255", 255},
      {"u8", u8, "256", std::nullopt},
      {"u8", u8, "-1", std::nullopt},
      {"i16", i16, "32767", 32767},
      {"i16", i16, "-32768", -32768},
      {"i16", i16, "32768", std::nullopt},
      {"i16", i16, "-32769", std::nullopt},
      {"i32", i32, "2147483647", 2147483647LL},
      {"i32", i32, "-2147483648", -2147483648LL},
      {"i32", i32, "2147483648", std::nullopt},
      {"i32", i32, "-2147483649", std::nullopt},
      // Far too many digits must not wrap round into range.
      {"i32", i32, "18446744073709551616", std::nullopt},
      {"i32", i32, "000000000000000000000000007", 7},
  };
  for (const Case& c : cases) {
    FieldReader r(c.input);
    if (c.value) {
      EXPECT_EQ(c.read(r), *c.value) << c.width << " " << c.input;
    } else {
      EXPECT_THROW(c.read(r), FormatError) << c.width << " " << c.input;
    }
  }
}

TEST(FieldReaderNumbers, RejectsWhatIsNotADecimalInteger) {
  // Implementer's choice: no digits, or stray characters, is a failure
  // (never a silent 0).
  for (const char* input : {"12a", "a12", "+5", "-", "--5", "1.5", ",", "\r\n\r\n", "", "   "}) {
    FieldReader r(input);
    EXPECT_THROW(r.read_i32(), FormatError) << "'" << input << "'";
  }
}

TEST(FieldReaderNumbers, FailureCarriesTheLineOfTheField) {
  FieldReader r("pendenza,  4500,   6\r\npendenza,\r\n  24000,   3x\r\n");
  EXPECT_EQ(r.read_text(), "pendenza");
  EXPECT_EQ(r.read_i32(), 4500);
  EXPECT_EQ(r.read_i32(), 6);
  EXPECT_EQ(r.read_text(), "pendenza");
  EXPECT_EQ(r.read_i32(), 24000);
  EXPECT_EQ(r.field_line(), 3);
  try {
    r.read_i32();
    FAIL() << "3x was read as a number";
  } catch (const FormatError& e) {
    EXPECT_EQ(e.line(), 3);
    EXPECT_NE(std::string(e.what()).find("3x"), std::string::npos) << e.what();
  }
}

TEST(FieldReaderMixed, StationRecordReadsNumbersOfEachWidthThenTheName) {
  FieldReader r(
      "stazione,     100,  2, 1000,  0, 1, 0,  1,1,0,  4,1,1,    1,  19, 9, 0, Orvale Ferlaste\r\n"
      "[fine]\r\n");
  EXPECT_EQ(r.read_text(), "stazione");
  EXPECT_EQ(r.read_i32(), 100);
  EXPECT_EQ(r.read_u8(), 2);
  EXPECT_EQ(r.read_i32(), 1000);
  EXPECT_EQ(r.read_u8(), 0);
  EXPECT_EQ(r.read_u8(), 1);
  EXPECT_EQ(r.read_u8(), 0);
  EXPECT_EQ(r.read_i16(), 1);
  EXPECT_EQ(r.read_i16(), 1);
  EXPECT_EQ(r.read_u8(), 0);
  EXPECT_EQ(r.read_i16(), 4);
  EXPECT_EQ(r.read_i16(), 1);
  EXPECT_EQ(r.read_i16(), 1);
  EXPECT_EQ(r.read_u8(), 1);
  EXPECT_EQ(r.read_i32(), 19);
  EXPECT_EQ(r.read_i32(), 9);
  EXPECT_EQ(r.read_i32(), 0);
  EXPECT_EQ(r.read_text(), "Orvale Ferlaste");
  EXPECT_EQ(r.field_line(), 1);
  EXPECT_FALSE(r.at_end());
  EXPECT_EQ(r.read_text(), "[fine]");
  EXPECT_EQ(r.field_line(), 2);
  EXPECT_TRUE(r.at_end());
}

// The end-of-file question decides whether a keyword field is interpreted:
// a field after which nothing is left is the file's last field.
TEST(FieldReaderEnd, LastFieldRule) {
  struct Case {
    const char* input;
    bool end_after_keyword;
  };
  const Case cases[] = {
      {"pendenza,  4500,   6\r\n[fine]\r\n", false},
      {"[fine]\r\n", true},
      {"[fine]", true},
      {"[fine]\r", true},
      // Without "[fine]", a keyword alone on the last line is the last field.
      {"pendenza\r\n", true},
      // A record with its values on the last line is read in full.
      {"pendenza,  4500,   6\r\n", false},
      {"pendenza,  4500,   6", false},
      // One more line end after the last field leaves an (empty) field.
      {"[fine]\r\n\r\n", false},
  };
  for (const Case& c : cases) {
    FieldReader r(c.input);
    EXPECT_FALSE(r.at_end()) << c.input;
    r.read_text();
    EXPECT_EQ(r.at_end(), c.end_after_keyword) << c.input;
    if (!c.end_after_keyword && std::string_view(c.input).starts_with("pendenza")) {
      EXPECT_EQ(r.read_i32(), 4500);
      EXPECT_EQ(r.read_i32(), 6);
    }
  }
  // The values of a record on the last line leave the reader at the end.
  FieldReader r("pendenza,  4500,   6 \r\n");
  r.read_text();
  r.read_i32();
  r.read_i32();
  EXPECT_TRUE(r.at_end());
}

TEST(FieldReaderEnd, ReadingPastTheEndFails) {
  FieldReader r("[fine]\r\n");
  r.read_text();
  ASSERT_TRUE(r.at_end());
  EXPECT_THROW(r.read_text(), FormatError);
  EXPECT_THROW(r.read_i32(), FormatError);
  FieldReader empty("");
  EXPECT_TRUE(empty.at_end());
  EXPECT_THROW(empty.read_text(), FormatError);
}

TEST(KeywordRules, SubstringMatchWithOrWithoutLetterCase) {
  struct Case {
    const char* field;
    const char* word;
    bool case_sensitive;
    bool matches;
  };
  const Case cases[] = {
      {"pendenza", "pendenza", false, true},
      {"Pendenza", "pendenza", false, true},
      {"PENDENZA", "pendenza", false, true},
      {"lunghezza percorso", "percorso", false, true},
      {"curvad4", "curva", false, true},
      {"indicatori_vmax", "indicatori_v", false, true},
      {"ripetizione segnali 9 codici", "segnali", true, true},
      {"progressiva chilometrica uno", "uno", true, true},
      // Case-sensitive rules.
      {"Sfondo uno", "sfondo", true, false},
      {"Progressiva chilometrica uno", "progressiva", true, false},
      {"sfondo UNO", "uno", true, false},
      // Section headers match no record rule.
      {"[curve]", "curva", false, false},
      {"[segnali]", "segnale", false, false},
      {"[pendenze]", "pendenza", false, false},
      {"[montagne]", "montagna", false, false},
      {"[vel_limite]", "velocit", false, false},
      {"[aderenze]", "aderenza", false, false},
      {"[stazioni]", "stazione", false, false},
      {"[rallentamenti]", "rallentamento", false, false},
      {"", "pendenza", false, false},
      {"pend", "pendenza", false, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(contains_word(c.field, c.word, c.case_sensitive), c.matches)
        << "'" << c.field << "' '" << c.word << "' " << c.case_sensitive;
}

TEST(KeywordRules, DashFields) {
  for (const char* field : {"-", "----------------", "-- stazioni --", "commento - nota", "-7"})
    EXPECT_TRUE(is_dash_field(field)) << field;
  for (const char* field : {"[generale]", "pendenza", "", "indicatori_vmax"})
    EXPECT_FALSE(is_dash_field(field)) << field;
}

TEST(FieldReaderMixed, NegativeNumberAfterADashSeparatorLine) {
  // A separator line is one (dash) text field; a negative value is read as a
  // number, never taken for a dash field.
  FieldReader r("------------\r\npendenza,  31000,   -7\r\n");
  EXPECT_TRUE(is_dash_field(r.read_text()));
  EXPECT_EQ(r.read_text(), "pendenza");
  EXPECT_EQ(r.read_i32(), 31000);
  EXPECT_EQ(r.read_i32(), -7);
  EXPECT_TRUE(r.at_end());
}

}  // namespace
}  // namespace scenario
