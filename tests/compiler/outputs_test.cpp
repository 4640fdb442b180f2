// The three binary files' bytes and the scenario codes.
#include "compiler/outputs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "compile_fixture.h"
#include "compiler/compiler.h"
#include "run/failures.h"

namespace scenario {
namespace {

using testing::line_source;
using testing::train_source;

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

// ---- layouts ----

TEST(GridFile, FifteenLittleEndianBytesPerCellInMemberOrder) {
  TrackCell c;
  c.cell_type = 6;
  c.value_1 = 1616;
  c.value_2 = -2;
  c.value_3 = 0x1234;
  c.value_4 = 0;
  c.signal_time = 101;
  c.approach_code = 83;
  c.tunnel_type = 3;
  c.speed_step = 20;
  c.gradient_code = 93;
  c.adhesion = 100;
  const std::string expected_cell =
      bytes({0x06, 0x50, 0x06, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x00, 101, 83, 3, 20, 93, 100});
  EXPECT_EQ(grid_file_bytes({TrackCell{}, c}), std::string(15, '\0') + expected_cell);
  EXPECT_EQ(grid_file_bytes({}), "");
}

TEST(ParameterFile, ARecordIs34BytesPlusItsTextInMemberOrder) {
  ParameterTable table{};
  ParameterRecord& r = table[1];
  r.kind = 2;
  r.start_m = -400;
  r.end_m = 600;
  r.at_m = 0x01020304;
  r.opt_a = 7;
  r.text = "Ab\xE8";  // Windows-1252 bytes, written as they are
  r.num_a = 1;
  r.num_b = -1;
  r.num_c = 19;
  r.num_d = 0x0102;
  r.num_e = 30;
  r.opt_b = 8;
  r.opt_c = 9;
  r.opt_d = 10;
  r.opt_e = 11;
  r.time_s = 68940;
  const std::string record =
      bytes({2, 0x70, 0xFE, 0xFF, 0xFF, 0x58, 0x02, 0,    0,  0x04, 0x03, 0x02, 0x01, 7,  3,    0,    'A',  'b', 0xE8,
             1, 0,    0xFF, 0xFF, 19,   0,    0x02, 0x01, 30, 0,    8,    9,    10,   11, 0x4C, 0x0D, 0x01, 0x00});
  const std::string file = parameter_file_bytes(table);
  ASSERT_EQ(file.size(), 87u * 34 + 3);
  EXPECT_EQ(file.substr(0, 34), std::string(34, '\0'));
  EXPECT_EQ(file.substr(34, 37), record);
  EXPECT_EQ(file.substr(71), std::string(85 * 34, '\0'));
}

TEST(ParameterFile, ATextOf300CharactersHasTheLength2C01) {
  ParameterTable table{};
  table[0].text = std::string(300, 'x');
  const std::string file = parameter_file_bytes(table);
  EXPECT_EQ(file.size(), 87u * 34 + 300);
  EXPECT_EQ(file.substr(14, 2), bytes({0x2C, 0x01}));
  EXPECT_EQ(file.substr(16, 300), std::string(300, 'x'));
  EXPECT_EQ(file.substr(316, 18), std::string(18, '\0'));
}

TEST(TrackPlanFile, ColumnXThenColumnYOfTaggedElements) {
  TrackPlan plan;
  plan.reset(5);
  plan.kind = {PlanKind::int16, PlanKind::int16, PlanKind::real, PlanKind::empty, PlanKind::empty};
  plan.y[1] = 1.0;
  plan.x[2] = 0.001;
  plan.y[2] = 2.0;
  const std::string x =
      bytes({2, 0, 0, 0, 2, 0, 0, 0, 5, 0, 0xFC, 0xA9, 0xF1, 0xD2, 0x4D, 0x62, 0x50, 0x3F, 0, 0, 0, 0});
  const std::string y = bytes({2, 0, 0, 0, 2, 0, 1, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0});
  EXPECT_EQ(track_plan_file_bytes(plan), x + y);
}

// ---- scenario codes ----

struct Codes {
  std::int32_t og, st;
  bool operator==(const Codes&) const = default;
};

Codes codes_of(const std::string& train, const std::string& route) {
  MemoryFolder folder;
  Compiler compiler(folder);
  compiler.parameters[kSettingsSlot].text = train;
  compiler.parameters[kRouteSlot].text = route;
  return {compiler.codice_gara_og(), compiler.codice_gara_st()};
}

TEST(ScenarioCodes, SumsOfTheFirst25CharactersOfTrainRouteAndPad) {
  struct Case {
    const char* what;
    std::string train, route;
    Codes codes;
  };
  // Expected sums worked out by hand from the characters.
  const Case cases[] = {
      {"the embedded names: \"ic 417orvale_tresca\" then \"bbddff\"", "IC 417", "Orvale_Tresca", {2378, 32584}},
      {"names swapped: same characters, other positions", "Orvale_Tresca", "IC 417", {2378, 29364}},
      {"letter case does not count", "ic 417", "ORVALE_TRESCA", {2378, 32584}},
      {"no names: the pad alone", "", "", {2738, 36894}},
      {"26 letters: no pad", "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", {2725, 36725}},
      {"26 letters, the 26th another", "abcdefghijklm", "nopqrstuvwxy\xFF", {2725, 36725}},
  };
  for (const Case& c : cases) EXPECT_EQ(codes_of(c.train, c.route), c.codes) << c.what;
}

TEST(ScenarioCodes, AccentedCapitalsCountInLowerCase) {
  EXPECT_EQ(codes_of("\xC8", "X"), codes_of("\xE8", "x"));
  EXPECT_EQ(code_text("\xC0\xD7\xDE\x8A", ""), "\xE0\xD7\xFE\x9A" + std::string("bbddffhhjjllnnpprrttvvxxzz"));
}

// ---- the files a compile writes ----

class CompiledFiles : public testing::CompileFixture {};

TEST_F(CompiledFiles, TheStampAndTheFileLengths) {
  put_sources(line_source({"indicatori_vmax,  800,  80,  80,  80,  0,  80,  80,  80,  0",
                           "cartello_indicatore, 1500, (Bivio)"}),
              train_source({"velocita, 0, 100", "aderenza, 0, 90"}));
  compile();
  ASSERT_EQ(compiler.error_code, 0);
  EXPECT_EQ(slot(kRouteSlot).num_a, 610);
  EXPECT_EQ(slot(kRouteSlot).time_s, 32584);
  EXPECT_EQ(cell(1).value_1, 5121);
  EXPECT_EQ(cell(1).value_2, 2378);

  ASSERT_EQ(folder.files().size(), 3u);
  EXPECT_EQ(folder.read(names.grid_file())->size(), 341u * 15);
  EXPECT_EQ(folder.read(names.parameter_file())->size(), 87u * 34 + 13 + 6 + 7);
  // Per column: metres 0 and 1 as integers, 2 to 16998 as doubles, the last two empty.
  EXPECT_EQ(folder.read(names.track_plan_file())->size(), 2u * (2 * 4 + 16997 * 10 + 2 * 2));

  const std::string grid = *folder.read(names.grid_file());
  EXPECT_EQ(grid.substr(17 * 15, 15), bytes({0x06, 0x50, 0x06, 0x50, 0x06, 0x50, 0x06, 0, 0, 0, 0, 0, 20, 100, 90}));
  EXPECT_EQ(grid.substr(15, 5), bytes({0, 0x01, 0x14, 0x4A, 0x09}));  // 5121 and 2378 in cell 1
  const std::string sim = *folder.read(names.parameter_file());
  const std::size_t slot85 = 85 * 34 + 7;  // after the board text in slot 80
  EXPECT_EQ(sim.substr(slot85 + 14, 2 + 13), bytes({13, 0}) + "Orvale_Tresca");
  EXPECT_EQ(sim.substr(slot85 + 29, 2), bytes({0x62, 0x02}));              // 610
  EXPECT_EQ(sim.substr(slot85 + 43, 4), bytes({0x48, 0x7F, 0x00, 0x00}));  // 32584
}

TEST_F(CompiledFiles, WithoutAFullCompileThePlanFileIsNeitherWrittenNorTouched) {
  folder.write(names.track_plan_file(), "older plan");
  put_sources(line_source({"curvad4, 100, 100"}));
  compile(0);
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(folder.read(names.track_plan_file()), "older plan");
  EXPECT_TRUE(folder.exists(names.parameter_file()));
  EXPECT_TRUE(folder.exists(names.grid_file()));
  EXPECT_EQ(folder.files().size(), 3u);
}

// A file that cannot be written stops the run: the files before it stay
// complete, the later ones are not written.
TEST_F(CompiledFiles, AFileThatCannotBeWrittenStopsTheRun) {
  struct Case {
    std::string failing;
    std::vector<std::string> complete;
    std::vector<std::string> absent;
  };
  const Case cases[] = {
      {names.track_plan_file(), {}, {names.parameter_file(), names.grid_file()}},
      {names.parameter_file(), {names.track_plan_file()}, {names.grid_file()}},
      {names.grid_file(), {names.track_plan_file(), names.parameter_file()}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    MemoryFolder files;
    files.write(names.line_file(), line_source({}));
    files.write(names.train_file(), train_source({}));
    files.fail_writes_to(c.failing);
    Compiler fresh(files);
    std::int32_t full = 1;
    try {
      fresh.memorizza_percorso(full);
      ADD_FAILURE() << "no failure";
    } catch (const RunFailure& e) {
      EXPECT_NE(std::string(e.what()).find(c.failing), std::string::npos) << e.what();
    }
    for (const std::string& name : c.complete) EXPECT_GT(files.read(name)->size(), 1000u) << name;
    for (const std::string& name : c.absent) EXPECT_FALSE(files.exists(name)) << name;
  }
}

}  // namespace
}  // namespace scenario
