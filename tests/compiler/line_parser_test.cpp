// The line half of the parser on small line files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "compile_fixture.h"
#include "compiler/compiler.h"
#include "run/failures.h"

namespace scenario {
namespace {

using testing::crlf;
using testing::line_source;
using testing::station_record;
using testing::train_source;

class LineParser : public testing::CompileFixture {};

const std::string kBoard800 = "indicatori_vmax,  800,  80,  80,  80,  0,  80,  80,  80,  0";

std::uint64_t bits(double value) {
  std::uint64_t b;
  std::memcpy(&b, &value, sizeof b);
  return b;
}

// ---- the general section ----

TEST_F(LineParser, TheRouteLengthSizesTheGridAndThePlan) {
  struct Case {
    std::int32_t route_length;
    std::int32_t plan_length;
    std::int32_t last_cell;
  };
  const Case cases[] = {
      {155000, 162000, 3240}, {10000, 17000, 340}, {1000000, 1007000, 20140},
      {0, 7000, 140},         {-6925, 75, 2},  // 1.5 rounds up to 2
      {-6875, 125, 2},                         // 2.5 rounds down to 2
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.route_length);
    Compiler fresh(folder);
    put_sources(line_source({}, c.route_length));
    fresh.full_compile = 1;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 0);
    EXPECT_EQ(fresh.parameters[kTrainSlot].end_m, c.route_length);
    EXPECT_EQ(fresh.plan_length, c.plan_length);
    EXPECT_EQ(fresh.last_cell, c.last_cell);
    EXPECT_EQ(fresh.grid.size(), static_cast<std::size_t>(c.last_cell) + 1);
    EXPECT_EQ(fresh.track_plan.size(), static_cast<std::size_t>(c.plan_length) + 1);
    EXPECT_TRUE(folder.files().empty()) << "a source was left";
  }
}

TEST_F(LineParser, ARouteLongerThan1000000MetresIsCode1) {
  put_sources(line_source({}, 1000001));
  parse();
  EXPECT_EQ(codes(), std::vector<std::int32_t>{1});
  EXPECT_FALSE(compiler.has_grid);
  EXPECT_FALSE(line_file_left());
  EXPECT_TRUE(train_file_left());
}

// With no route length there is no grid: code 25, and the driver stops before
// the grid pass without writing a file.
TEST_F(LineParser, ALineFileWithoutARouteLengthIsCode25AndWritesNoFile) {
  put_sources(crlf({"[generale]", "sfondo uno, 5", "[linea]", "pendenza, 1000, 6", "[fine]"}));
  EXPECT_THROW(compile(), RunFailure);
  EXPECT_EQ(codes(), std::vector<std::int32_t>{25});
  EXPECT_NE(compiler.recorded_codes[0].detail.find("lunghezza percorso"), std::string::npos);
  EXPECT_TRUE(folder.files().empty());
}

TEST_F(LineParser, ARouteLengthThatLeavesNoGridIsCode25) {
  for (std::int32_t length : {-9000, -7000}) {
    Compiler fresh(folder);
    put_sources(line_source({}, length));
    fresh.full_compile = 1;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 25) << length;
    EXPECT_TRUE(folder.files().empty());
  }
}

TEST_F(LineParser, WithoutALineFileOrItsGeneralSection) {
  struct Case {
    const char* what;
    std::optional<std::string> line;
    std::int32_t code;
  };
  const Case cases[] = {
      {"no line file", std::nullopt, 101},
      {"an empty file", "", 102},
      {"no [generale]", crlf({"[curve]", "curvad4, 100, 100"}), 102},
      {"[generale] only as the last field", crlf({"lunghezza percorso, 10000", "[generale]"}), 102},
      {"upper case", crlf({"[GENERALE]", "lunghezza percorso, 10000", "[fine]"}), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFolder files;
    if (c.line) files.write(names.line_file(), *c.line);
    files.write(names.train_file(), train_source({}));
    Compiler fresh(files);
    fresh.error_position = 77;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, c.code);
    EXPECT_EQ(fresh.error_position, 77);
    EXPECT_FALSE(files.exists(names.line_file()));
    EXPECT_EQ(files.exists(names.train_file()), c.code != 0);
  }
}

TEST_F(LineParser, GeneralRecordsFillTheirSlots) {
  put_sources(line_source({}, 155000,
                          {"sfondo uno,    46000", "sfondo due,    1", "sfondo tre,    7",
                           "ripetizione segnali 9 codici,    0,    155000"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(slot(kRouteSlot).start_m, 46000);
  EXPECT_EQ(slot(kRouteSlot).at_m, 1);
  EXPECT_EQ(slot(kRouteSlot).end_m, 7);
  EXPECT_EQ(slot(kRouteSlot).text, "Orvale_Tresca");
  EXPECT_EQ(slot(kSettingsSlot).start_m, 0);
  EXPECT_EQ(slot(kSettingsSlot).end_m, 155000);
  EXPECT_EQ(slot(kSettingsSlot).at_m, 9);
  EXPECT_EQ(slot(kSettingsSlot).text, "IC 417");
}

TEST_F(LineParser, SomeGeneralRulesAreCaseSensitive) {
  put_sources(crlf({"[generale]", "LUNGHEZZA Percorso, 10000", "Sfondo uno, 5", "sfondo Due, 6",
                    "Progressiva chilometrica uno, 100, 100, 0", "Ripetizione segnali 9, 0, 100", "[fine]"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(compiler.last_cell, 340);
  EXPECT_EQ(slot(kRouteSlot).start_m, 0);
  EXPECT_EQ(slot(kRouteSlot).at_m, 0);
  EXPECT_EQ(slot(kProgressiveTre).start_m, 0);
  EXPECT_EQ(slot(kSettingsSlot).end_m, 0);
}

TEST_F(LineParser, SignalRepetition) {
  struct Case {
    const char* keyword;
    std::int32_t start, end;
    std::int32_t code;
    std::int32_t codes;  // at_m of slot 86 when accepted
  };
  const Case cases[] = {
      {"ripetizione segnali 9 codici", 0, 155000, 0, 9}, {"ripetizione segnali 4 codici", 0, 155000, 0, 4},
      {"ripetizione segnali 9 codici", 0, 0, 0, 0},      {"ripetizione segnali 94 codici", 0, 100, 0, 4},
      {"ripetizione segnali 9 codici", -50, 100, 0, 9},  {"ripetizione segnali codici", 0, 100, 5, 0},
      {"ripetizione segnali 5 codici", 0, 0, 5, 0},      {"ripetizione segnali 9 codici", 25, 100, 3, 0},
      {"ripetizione segnali 9 codici", -25, 100, 3, 0},  {"ripetizione segnali 9 codici", 0, 155025, 4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.keyword) + " " + std::to_string(c.start) + " " + std::to_string(c.end));
    Compiler fresh(folder);
    put_sources(line_source(
        {}, 10000, {std::string(c.keyword) + ",    " + std::to_string(c.start) + ",    " + std::to_string(c.end)}));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, c.code);
    if (c.code == 0) {
      EXPECT_EQ(fresh.parameters[kSettingsSlot].at_m, c.codes);
    }
    // The parse ends at once on a code: the train file is neither read nor deleted.
    EXPECT_EQ(folder.exists(names.train_file()), c.code != 0);
    folder.remove(names.train_file());
  }
}

TEST_F(LineParser, DashFieldsAndTheEndOfTheGeneralSection) {
  struct Case {
    const char* what;
    std::vector<std::string> general;
    std::int32_t sfondo_due;
  };
  std::vector<std::string> eleven_bracketed(11, "-[nota]-");
  eleven_bracketed.push_back("sfondo due, 3");
  std::vector<std::string> ten_then_header(10, "-- nota --");
  ten_then_header.push_back("[nota]");
  ten_then_header.push_back("sfondo due, 3");
  const Case cases[] = {
      {"separators", {"---------------", "- commento -", "sfondo due, 3"}, 3},
      // A header that begins with "-" does not end the section.
      {"an eleventh dash field", eleven_bracketed, 3},
      {"a header read as the tenth replacement", ten_then_header, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Compiler fresh(folder);
    put_sources(line_source({}, 10000, c.general));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 0);
    EXPECT_EQ(fresh.parameters[kRouteSlot].at_m, c.sfondo_due);
  }
}

// In the general section up to ten dash fields are replaced with no test for
// the end of the file in between: a replacement that finds no field is 25.
TEST_F(LineParser, DashFieldsAtTheEndOfTheGeneralSection) {
  struct Case {
    int dash_fields;
    std::int32_t code;
  };
  const Case cases[] = {{1, 0}, {2, 25}, {10, 25}, {11, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dash_fields);
    Compiler fresh(folder);
    std::vector<std::string> lines = {"[generale]", "lunghezza percorso, 10000"};
    lines.insert(lines.end(), static_cast<std::size_t>(c.dash_fields), "----");
    put_sources(crlf(lines));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, c.code);
    EXPECT_FALSE(folder.exists(names.line_file()));
    folder.remove(names.train_file());
  }
}

TEST_F(LineParser, GeneralRecordsAfterTheSectionAreNotRecognised) {
  put_sources(line_source({"sfondo uno, 5", "lunghezza percorso, 20000"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(slot(kRouteSlot).start_m, 0);
  EXPECT_EQ(compiler.last_cell, 340);
}

// ---- kilometric progressives ----

struct Progressive {
  std::int32_t p, d, f;
  bool operator==(const Progressive&) const = default;
};

TEST_F(LineParser, ProgressiveOrdering) {
  struct Case {
    const char* what;
    Progressive tre, due, uno;           // as read into slots 81, 82, 83
    Progressive slot81, slot82, slot83;  // after the ordering
  };
  const Progressive zero{0, 0, 0};
  const Case cases[] = {
      {"all zero", zero, zero, zero, zero, zero, zero},
      {"largest first", {5000, 20, 0}, {9000, 30, 0}, {2000, 10, 0}, {9000, 30, 0}, {5000, 20, 0}, {2000, 10, 0}},
      {"flag 1 adds 100 after the ordering",
       {5000, 20, 0},
       {9000, 30, 0},
       {2000, 10, 1},
       {9000, 30, 0},
       {5000, 20, 0},
       {2000, 110, 1}},
      {"flag 2 adds nothing", {3000, 20, 2}, {2000, 0, 0}, {1000, 0, 0}, {3000, 20, 2}, {2000, 0, 0}, {1000, 0, 0}},
      {"tre largest, uno second", {3000, 3, 0}, {1000, 2, 0}, {2000, 1, 0}, {3000, 3, 0}, {2000, 1, 0}, {1000, 2, 0}},
      {"due largest, tre second", {2000, 3, 0}, {3000, 2, 0}, {1000, 1, 0}, {3000, 2, 0}, {2000, 3, 0}, {1000, 1, 0}},
      {"uno largest, due second", {1000, 3, 0}, {2000, 2, 0}, {3000, 1, 0}, {3000, 1, 0}, {2000, 2, 0}, {1000, 3, 0}},
      {"uno largest, tre second", {2000, 3, 0}, {1000, 2, 0}, {3000, 1, 0}, {3000, 1, 0}, {2000, 3, 0}, {1000, 2, 0}},
      {"a shared largest position clears all", {5000, 1, 0}, {5000, 2, 0}, {0, 3, 0}, zero, zero, zero},
      {"negative positions compare signed",
       {-100, 1, 0},
       {-50, 2, 0},
       {-300, 3, 0},
       {-50, 2, 0},
       {-100, 1, 0},
       {-300, 3, 0}},
      // Positions that sum to zero: each distance test that holds replaces
      // the result, built from the records as read.
      {"sum zero, tre's distance", {0, 300, 1}, zero, zero, {0, 400, 1}, zero, zero},
      {"sum zero, due's distance", {0, 0, 0}, {0, 500, 0}, zero, {0, 500, 0}, zero, zero},
      {"sum zero, the last test wins", {0, 300, 0}, {0, 0, 0}, {0, 200, 0}, {0, 200, 0}, zero, {0, 300, 0}},
      {"sum zero with positions", {100, 50, 0}, {-100, 0, 0}, zero, {100, 50, 0}, {-100, 0, 0}, zero},
      {"sum zero, no distance", {100, 0, 0}, {-100, 0, 0}, zero, zero, zero, zero},
  };
  auto put = [&](int s, const Progressive& r) {
    compiler.parameters[s].start_m = r.p;
    compiler.parameters[s].end_m = r.d;
    compiler.parameters[s].at_m = r.f;
  };
  auto get = [&](int s) { return Progressive{slot(s).start_m, slot(s).end_m, slot(s).at_m}; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    put(kProgressiveTre, c.tre);
    put(kProgressiveDue, c.due);
    put(kProgressiveUno, c.uno);
    compiler.progressive_ordina();
    EXPECT_EQ(get(kProgressiveTre), c.slot81);
    EXPECT_EQ(get(kProgressiveDue), c.slot82);
    EXPECT_EQ(get(kProgressiveUno), c.slot83);
  }
}

TEST_F(LineParser, ProgressivesAreOrderedRightAfterTheGeneralSection) {
  put_sources(line_source(
      {}, 10000,
      {"progressiva chilometrica uno,    2000,    1000,    1", "progressiva chilometrica due,    9000,    3000,    0",
       "progressiva chilometrica tre,    5000,    2000,    0"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(slot(kProgressiveTre).start_m, 9000);
  EXPECT_EQ(slot(kProgressiveDue).start_m, 5000);
  EXPECT_EQ(slot(kProgressiveUno).start_m, 2000);
  EXPECT_EQ(slot(kProgressiveUno).end_m, 1100);
}

// Checked only after both files are read; replaces an earlier 15.
TEST_F(LineParser, AProgressiveOffTheFiftyMetreStepIsCode2AtTheEnd) {
  for (const char* record :
       {"progressiva chilometrica uno,    2025,    0,    0", "progressiva chilometrica due,    2000,    1030,    0"}) {
    SCOPED_TRACE(record);
    Compiler fresh(folder);
    put_sources(line_source({"pendenza, 20000, 1"}, 10000, {record}), train_source({station_record(1000, 2, 400)}));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 2);
    ASSERT_EQ(fresh.recorded_codes.size(), 2u);
    EXPECT_EQ(fresh.recorded_codes[0].code, 15);
    EXPECT_EQ(fresh.error_position, 20000);     // left by the 15
    EXPECT_EQ(fresh.parameters[1].at_m, 1000);  // the train file was read
    EXPECT_TRUE(folder.files().empty());
  }
}

// ---- gradients ----

TEST_F(LineParser, AGradientHoldsUpToTheNextRecordAndTheLastRunsOnToThreeCellsBeforeTheEnd) {
  put_sources(line_source({"pendenza,   0,    0", "pendenza,  1000,   6", "Pendenza,  2000,   -7"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  for (std::int64_t c = 0; c <= 340; ++c) {
    const int expected = c < 20 ? 100 : c < 40 ? 106 : c < 338 ? 93 : 0;
    EXPECT_EQ(cell(c).gradient_code, expected) << c;
  }
}

TEST_F(LineParser, AGradientRecordNotAheadOfTheCursorStillWritesOneCell) {
  put_sources(line_source({"pendenza, 1000, 6", "pendenza, 500, 3", "pendenza, 2000, 0"}));
  parse();
  EXPECT_EQ(cell(19).gradient_code, 100);
  EXPECT_EQ(cell(20).gradient_code, 106);
  EXPECT_EQ(cell(21).gradient_code, 103);
  EXPECT_EQ(cell(39).gradient_code, 103);
  EXPECT_EQ(cell(40).gradient_code, 100);
}

TEST_F(LineParser, TheGradientCursorNeverPassesTheLastCell) {
  // 16900 m is the last position that passes the check: cell 338.
  std::vector<std::string> records;
  for (int g = 1; g <= 6; ++g) records.push_back("pendenza, 16900, " + std::to_string(g));
  put_sources(line_source(records));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(compiler.grid.size(), 341u);
  EXPECT_EQ(cell(337).gradient_code, 100);
  EXPECT_EQ(cell(338).gradient_code, 101);
  EXPECT_EQ(cell(339).gradient_code, 102);
}

// ---- the position check ----

TEST_F(LineParser, ARecordPastTheGridIsCode15AndTheTrainFileIsStillRead) {
  struct Case {
    std::string record;
    std::int32_t position;
  };
  const Case cases[] = {
      {"pendenza, 16901, 3", 16901},
      {"curvad4, 16950, 10", 16950},
      {"montagna, 17000, 18000, 11", 17000},
      {"indicatori_vmax, 16901, 80, 80, 80, 0, 80, 80, 80, 0", 16901},
      {"cartello_indicatore, 16901, (Bivio)", 16901},
      // p + 100 is formed in floating point: no 32-bit wrap lets it pass.
      {"pendenza, 2147483600, 3", 2147483600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    Compiler fresh(folder);
    put_sources(line_source({"pendenza, 1000, 6", "pendenza, 16900, 2", c.record, "cartello_indicatore, 2000, (X)"}),
                train_source({"velocita, 0, 80"}));
    fresh.full_compile = 1;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 15);
    EXPECT_EQ(fresh.error_position, c.position);
    ASSERT_EQ(fresh.recorded_codes.size(), 1u);
    EXPECT_EQ(fresh.recorded_codes[0].file, SourceFile::line_file);
    EXPECT_EQ(fresh.recorded_codes[0].line, 6);
    // Reading the line file stopped at the record ...
    EXPECT_EQ(fresh.grid[41].cell_type, kNoObject);
    // ... its completion steps still ran ...
    EXPECT_EQ(fresh.grid[337].gradient_code, 106);
    EXPECT_EQ(fresh.grid[338].gradient_code, 102);
    EXPECT_EQ(fresh.track_plan.kind[16998], PlanKind::real);
    // ... and so did the train file.
    EXPECT_EQ(fresh.grid[100].speed_step, 16);
    EXPECT_TRUE(folder.files().empty());
  }
}

// ---- curves and the track plan ----

// The plan the curve rule describes, computed here metre by metre.
struct ModelPlan {
  std::vector<double> x{0.0, 0.0}, y{0.0, 1.0};
  void step(double k) {
    const std::size_t m = x.size();
    const double dx = x[m - 1] - x[m - 2];
    const double dy = y[m - 1] - y[m - 2];
    const double turn_x = dy * k + dx;
    const double turn_y = dy - dx * k;
    x.push_back(x[m - 1] + turn_x);
    y.push_back(y[m - 1] + turn_y);
  }
  void straight_to(std::size_t metre) {
    while (x.size() <= metre) {
      const std::size_t m = x.size();
      x.push_back(x[m - 1] + (x[m - 1] - x[m - 2]));
      y.push_back(y[m - 1] + (y[m - 1] - y[m - 2]));
    }
  }
  void curve_to(std::size_t metre, double k) {
    while (x.size() <= metre) step(k);
  }
};

void expect_plan_matches(const TrackPlan& plan, const ModelPlan& model, std::size_t from, std::size_t to) {
  for (std::size_t m = from; m <= to; ++m) {
    ASSERT_EQ(plan.kind[m], PlanKind::real) << m;
    ASSERT_EQ(bits(plan.x[m]), bits(model.x[m])) << "x of metre " << m;
    ASSERT_EQ(bits(plan.y[m]), bits(model.y[m])) << "y of metre " << m;
  }
}

TEST_F(LineParser, ACurveTurnsThePlanAfterAStraightRun) {
  put_sources(line_source({"curvad4,  3800,  200"}));
  parse();
  ASSERT_EQ(compiler.error_code, 0);
  const TrackPlan& plan = compiler.track_plan;
  ASSERT_EQ(plan.size(), 17001u);
  EXPECT_EQ(plan.kind[0], PlanKind::int16);
  EXPECT_EQ(plan.kind[1], PlanKind::int16);
  EXPECT_EQ(plan.y[1], 1.0);
  for (std::size_t m = 2; m <= 3800; ++m) {
    ASSERT_EQ(plan.x[m], 0.0) << m;
    ASSERT_EQ(plan.y[m], static_cast<double>(m)) << m;
  }
  ModelPlan model;
  model.straight_to(3800);
  model.curve_to(4000, 0.001);
  model.straight_to(16998);
  expect_plan_matches(plan, model, 2, 16998);
  EXPECT_GT(plan.x[3801], 0.0);  // to the right of +y
  EXPECT_EQ(plan.kind[16999], PlanKind::empty);
  EXPECT_EQ(plan.kind[17000], PlanKind::empty);
}

// A curve that starts behind the plan cursor has no straight run: it turns
// from the cursor up to its own end.
TEST_F(LineParser, AnOverlappingCurveTurnsFromTheCursor) {
  put_sources(line_source({"curvad4, 1000, 200", "curvas3, 1100, 200", "curvad5, 1250, 100"}));
  parse();
  ASSERT_EQ(compiler.error_code, 0);
  ModelPlan model;
  model.straight_to(1000);
  model.curve_to(1200, 0.001);
  model.curve_to(1300, -0.0004);
  model.curve_to(1350, 0.002);
  model.straight_to(16998);
  expect_plan_matches(compiler.track_plan, model, 2, 16998);
}

TEST_F(LineParser, TheCurveClassIsTheLowestDigitAndSTurnsLeft) {
  struct Case {
    const char* keyword;
    double k;
  };
  const Case cases[] = {
      {"curvad1", 0.0001}, {"curvad2", 0.0002}, {"curvas3", -0.0004},  {"curvad4", 0.001},  {"curvad5", 0.002},
      {"curvad6", 0.003},  {"curvad64", 0.001}, {"curvas36", -0.0004}, {"CURVAS4", -0.001}, {"Curvad4", 0.001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keyword);
    Compiler fresh(folder);
    put_sources(line_source({std::string(c.keyword) + ", 100, 10"}));
    fresh.full_compile = 1;
    fresh.memorizza_dati();
    ASSERT_EQ(fresh.error_code, 0);
    // Heading +y at metre 100, so the first turned metre moves x by k.
    EXPECT_EQ(bits(fresh.track_plan.x[101]), bits(c.k));
    EXPECT_EQ(fresh.track_plan.y[101], 101.0);
  }
}

TEST_F(LineParser, CurvesThatCannotBeBuiltAreCode103) {
  struct Case {
    const char* what;
    std::string record;
    std::int32_t route_length;
  };
  const Case cases[] = {
      {"no class digit", "curva, 100, 10", 10000},
      {"no digit 1 to 6", "curvad7, 100, 10", 10000},
      {"past the plan's end", "curvad4, 16800, 201", 10000},
      {"beyond metre 1000000", "curvad4, 999000, 2000", 1000000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Compiler fresh(folder);
    put_sources(line_source({"pendenza, 1000, 6", c.record}, c.route_length));
    fresh.full_compile = 1;
    fresh.error_position = 5;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 103);
    EXPECT_EQ(fresh.error_position, 5);
    EXPECT_EQ(fresh.track_plan.size(), static_cast<std::size_t>(c.route_length) + 7001);
    EXPECT_FALSE(folder.exists(names.line_file()));
    EXPECT_TRUE(folder.exists(names.train_file()));
    folder.remove(names.train_file());
  }
}

TEST_F(LineParser, ACurvePastThePlanEndWritesNoElement) {
  put_sources(line_source({"curvad4, 16800, 201"}));
  parse();
  EXPECT_EQ(compiler.error_code, 103);
  for (std::size_t m = 2; m < compiler.track_plan.size(); ++m)
    ASSERT_EQ(compiler.track_plan.kind[m], PlanKind::empty) << m;
}

TEST_F(LineParser, ACurveMayEndOnThePlansLastMetre) {
  put_sources(line_source({"curvad4, 16800, 200"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(compiler.track_plan.kind[17000], PlanKind::real);
}

TEST_F(LineParser, WithoutAFullCompileCurvesAreNotReadAndThereIsNoPlan) {
  put_sources(line_source({"curvad4, 3800, 200", "curva, 100, 10"}));
  parse(0);
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(compiler.track_plan.size(), 0u);
  EXPECT_EQ(compiler.last_cell, 340);
}

// ---- speed boards and direction boards ----

TEST_F(LineParser, ASpeedBoardRecordMarksItsCell) {
  put_sources(line_source({kBoard800}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(17), (TrackCell{.cell_type = kSpeedBoard,
                                 .value_1 = 1616,
                                 .value_2 = 1616,
                                 .value_3 = 1616,
                                 .value_4 = 0,
                                 .gradient_code = 100}));
}

TEST_F(LineParser, ASpeedBoardOnAnOccupiedCellIsCode21WithItsPosition) {
  put_sources(line_source({kBoard800, "indicatori_vmax, 810, 90, 90, 90, 0, 90, 90, 90, 0", "pendenza, 1000, 6"}));
  parse();
  EXPECT_EQ(codes(), std::vector<std::int32_t>{21});
  EXPECT_EQ(compiler.error_position, 810);
  EXPECT_EQ(compiler.recorded_codes[0].position, 810);
  EXPECT_EQ(compiler.recorded_codes[0].line, 5);
  EXPECT_EQ(cell(17).value_1, 1616);
  EXPECT_EQ(cell(0).gradient_code, 0);  // the parse ended before completing
  EXPECT_FALSE(line_file_left());
  EXPECT_TRUE(train_file_left());
}

TEST_F(LineParser, DirectionBoardsTakeSlotsDownwardsFrom80) {
  put_sources(line_source(
      {"cartello_indicatore,  1500,   (Bivio     )(Sparvenzia)", "cartello_indicatore,  2000,   (Sparvenzia)(Bivio)"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(31).cell_type, kIndicatorBoard);
  EXPECT_EQ(cell(31).value_1, 80);
  EXPECT_EQ(cell(41).cell_type, kIndicatorBoard);
  EXPECT_EQ(cell(41).value_1, 79);
  EXPECT_EQ(slot(80).text, "(Bivio     )(Sparvenzia)");
  EXPECT_EQ(slot(79).text, "(Sparvenzia)(Bivio)");
  EXPECT_EQ(slot(78).text, "");
}

TEST_F(LineParser, ADirectionBoardOnATunnelMarkIsAcceptedButNotOnASpeedBoard) {
  put_sources(line_source({"montagna, 1300, 3000, 11", "cartello_indicatore, 1600, (A)"}));  // mark in cell 33
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(33).cell_type, kIndicatorBoard);

  Compiler fresh(folder);
  put_sources(line_source({kBoard800, "cartello_indicatore, 800, (A)"}));
  fresh.memorizza_dati();
  EXPECT_EQ(fresh.error_code, 6);
  EXPECT_EQ(fresh.error_position, 800);
  EXPECT_EQ(fresh.grid[17].cell_type, kSpeedBoard);
  EXPECT_EQ(fresh.parameters[80].text, "");
  EXPECT_FALSE(folder.exists(names.line_file()));
  EXPECT_TRUE(folder.exists(names.train_file()));
}

// Boards fill slots 80 to 1; a board with no slot left, and a station after
// 80 boards, are refused rather than written over slot 0 or a board.
TEST_F(LineParser, EightyDirectionBoardsLeaveNoSlotForABoardOrAStation) {
  std::vector<std::string> records;
  for (int n = 0; n < 81; ++n)
    records.push_back("cartello_indicatore, " + std::to_string(1000 + 50 * n) + ", B" + std::to_string(n + 1));
  put_sources(line_source(records));
  parse();
  EXPECT_EQ(compiler.error_code, 10);
  EXPECT_EQ(compiler.error_position, 1000 + 50 * 80);
  EXPECT_EQ(slot(1).text, "B80");
  EXPECT_EQ(slot(0).text, "");
  EXPECT_EQ(cell(101).cell_type, kNoObject);

  records.pop_back();
  Compiler fresh(folder);
  put_sources(line_source(records), train_source({station_record(6000, 2, 400)}));
  fresh.memorizza_dati();
  EXPECT_EQ(fresh.error_code, 10);
  EXPECT_EQ(fresh.parameters[1].text, "B80");
  EXPECT_EQ(fresh.parameters[1].at_m, 0);
  EXPECT_EQ(fresh.grid[123].cell_type, kNoObject);  // no stop mark
  EXPECT_TRUE(folder.files().empty());
}

// ---- fields and keywords ----

TEST_F(LineParser, KeywordsSeparatorsAndNegativeNumbers) {
  put_sources(line_source({"[pendenze]", "PENDENZA,  1000,   -7", "-----------------------", "- commento -",
                           "pendenza,  2000,   3", "[curve]", "[montagne]", "[cartelli]", "[indicazioni]"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(0).gradient_code, 100);
  EXPECT_EQ(cell(20).gradient_code, 93);
  EXPECT_EQ(cell(40).gradient_code, 103);
}

TEST_F(LineParser, TheLastFieldOfTheFileIsNeverAKeywordButALastRecordIsReadInFull) {
  put_sources(crlf({"[generale]", "lunghezza percorso, 10000", "[linea]", "pendenza, 1000, 6", "cartello_indicatore"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(20).gradient_code, 106);

  Compiler fresh(folder);
  put_sources("[generale]\r\nlunghezza percorso, 10000\r\n[linea]\r\ncartello_indicatore, 1500, (Bivio)");
  fresh.memorizza_dati();
  EXPECT_EQ(fresh.error_code, 0);
  EXPECT_EQ(fresh.grid[31].cell_type, kIndicatorBoard);
  EXPECT_EQ(fresh.parameters[80].text, "(Bivio)");
}

TEST_F(LineParser, AFieldThatCannotBeReadIsCode25AndBothSourcesGo) {
  const std::string long_text(65536, 'x');
  struct Case {
    const char* what;
    std::string line_file;
  };
  const Case cases[] = {
      {"stray characters", line_source({"pendenza, 1x00, 6"})},
      {"no digits", line_source({"pendenza, , 6"})},
      {"too wide for 32 bits", line_source({"pendenza, 99999999999, 6"})},
      {"strisces wider than 16 bits", line_source({"indicatori_vmax, 800, 80, 80, 80, 40000, 80, 80, 80, 0"})},
      {"a board value wider than 16 bits", line_source({"indicatori_vmax, 800, 1700, 80, 80, 0, 80, 80, 80, 0"})},
      {"a record cut short by the end", "[generale]\r\nlunghezza percorso, 10000\r\n[linea]\r\npendenza, 1000"},
      {"a board text over 65535 characters", line_source({"cartello_indicatore, 1500, " + long_text})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Compiler fresh(folder);
    put_sources(c.line_file);
    fresh.error_position = 9;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 25);
    EXPECT_EQ(fresh.error_position, 9);
    ASSERT_EQ(fresh.recorded_codes.size(), 1u);
    EXPECT_FALSE(fresh.recorded_codes[0].detail.empty());
    EXPECT_TRUE(folder.files().empty());
  }
}

}  // namespace
}  // namespace scenario
