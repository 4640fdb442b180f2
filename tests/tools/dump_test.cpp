// The decoders are the encoders' inverse: what the compiler wrote decodes to
// the values it put in, and a file that breaks its layout is refused.
#include "tools/dump.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "compiler/outputs.h"
#include "run/folder.h"
#include "run/form_load.h"
#include "tools/tool_names.h"

namespace scenario::tool {
namespace {

class EmbeddedRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new MemoryFolder;
    Form1 form(*folder_);
    form.Form_Load();
  }
  static void TearDownTestSuite() { delete folder_; }
  static const std::string& bytes(const std::string& name) { return folder_->files().at(name); }
  static MemoryFolder* folder_;
};
MemoryFolder* EmbeddedRun::folder_ = nullptr;

TEST_F(EmbeddedRun, GridDecodesToTheCellsTheCompilerMarked) {
  const std::vector<TrackCell> grid = decode_grid_file(bytes("Orvale_Tresca_IC 417.dat"));
  ASSERT_EQ(grid.size(), 3241u);
  EXPECT_EQ(grid[1].value_1, 5121);  // the stamp
  const TrackCell board = grid[17];  // speed board at 800 m
  EXPECT_EQ(board.cell_type, kSpeedBoard);
  EXPECT_EQ(board.value_1, 1616);
  EXPECT_EQ(board.value_2, 1616);
  EXPECT_EQ(board.value_3, 1616);
  const TrackCell signal = grid[1127];  // signal at 56300 m
  EXPECT_EQ(signal.cell_type, kSignal);
  EXPECT_EQ(signal.value_1, 42);
  EXPECT_EQ(signal.value_2, 11);
  EXPECT_EQ(signal.value_4, 4);
  EXPECT_EQ(grid[1125].approach_code, 41);
  EXPECT_EQ(grid[625].cell_type, kStopMark);  // the stop mark over the board at 31200 m
  EXPECT_EQ(grid[625].value_1, 7);
  EXPECT_EQ(grid[90].gradient_code, 106);
}

TEST_F(EmbeddedRun, ParametersDecodeToTheSlotsTheParserFilled) {
  const ParameterTable table = decode_parameter_file(bytes("Orvale_Tresca_IC 417.sim"));
  EXPECT_EQ(table[1].text, "Orvale Ferlaste");
  EXPECT_EQ(table[1].start_m, -400);
  EXPECT_EQ(table[1].end_m, 600);
  EXPECT_EQ(table[1].time_s, 68940);
  EXPECT_EQ(table[25].text, "Tresca Centrale");
  EXPECT_EQ(table[80].text, "(Bivio     )(Sparvenzia)");
  EXPECT_EQ(table[84].end_m, 155000);
  EXPECT_EQ(table[85].num_a, 610);
  EXPECT_EQ(table[85].text, "Orvale_Tresca");
  EXPECT_EQ(table[86].text, "IC 417");
  EXPECT_EQ(table[86].num_c, 19);
  EXPECT_EQ(table[0], ParameterRecord{});
}

TEST_F(EmbeddedRun, TrackPlanDecodesMetreByMetre) {
  const DecodedTrackPlan plan = decode_track_plan_file(bytes("Orvale_Tresca_linea.dat"));
  ASSERT_EQ(plan.x.size(), 162001u);
  ASSERT_EQ(plan.y.size(), 162001u);
  EXPECT_EQ(plan.y[1], (PlanElement{PlanKind::int16, 1.0}));
  EXPECT_EQ(plan.y[3800], (PlanElement{PlanKind::real, 3800.0}));  // straight along +y up to the first curve
  EXPECT_EQ(plan.x[3800].value, 0.0);
  EXPECT_GT(plan.x[4000].value, 0.0);  // "curvad4" turns right, towards +x
  EXPECT_EQ(plan.x[162000].kind, PlanKind::empty);
}

TEST(Decoders, RoundTripEveryKindOfValue) {
  TrackPlan plan;
  plan.reset(4);
  plan.kind = {PlanKind::int16, PlanKind::real, PlanKind::real, PlanKind::empty};
  plan.x = {-3, 0.1, -1e300, 0};
  plan.y = {32767, 2.5, 1.0 / 3, 0};
  const DecodedTrackPlan decoded = decode_track_plan_file(track_plan_file_bytes(plan));
  ASSERT_EQ(decoded.x.size(), 4u);
  for (std::size_t m = 0; m < 4; ++m) {
    EXPECT_EQ(decoded.x[m], (PlanElement{plan.kind[m], plan.x[m]}));
    EXPECT_EQ(decoded.y[m], (PlanElement{plan.kind[m], plan.y[m]}));
  }

  ParameterTable table{};
  table[3] = {200, -1, 2147483647, -2147483647 - 1, 255, std::string(300, '\xe8'), -32768, 32767, 1, 2, 3, 4, 5,
              6,   7,  -5};
  EXPECT_EQ(decode_parameter_file(parameter_file_bytes(table)), table);

  const std::vector<TrackCell> grid = {{}, {14, -1, 2, -32768, 32767, 255, 84, 3, 34, 255, 100}};
  EXPECT_EQ(decode_grid_file(grid_file_bytes(grid)), grid);
}

TEST(Decoders, RefuseFilesThatBreakTheLayout) {
  const std::string parameters = parameter_file_bytes(ParameterTable{});
  const std::string grid = grid_file_bytes(std::vector<TrackCell>(2));
  struct Case {
    const char* what;
    std::function<void()> decode;
    const char* message;
  };
  const Case cases[] = {
      {"parameters cut short", [&] { decode_parameter_file(parameters.substr(0, parameters.size() - 1)); },
       "ends inside a record"},
      {"parameters with bytes left over", [&] { decode_parameter_file(parameters + "x"); }, "left over"},
      {"grid not whole cells", [&] { decode_grid_file(grid.substr(1)); }, "15-byte cells"},
      {"plan tag unknown", [&] { decode_track_plan_file(std::string("\x03\x00", 2)); }, "unknown element tag 3"},
      {"plan value cut short", [&] { decode_track_plan_file(std::string("\x05\x00\x01", 3)); }, "ends inside"},
      {"plan with an odd count", [&] { decode_track_plan_file(std::string("\x00\x00", 2)); }, "odd number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.decode();
      ADD_FAILURE() << "no DecodeError";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

TEST(Dump, KindOfFileIsToldByItsName) {
  EXPECT_EQ(binary_kind_of("Orvale_Tresca_linea.dat"), BinaryKind::track_plan);
  EXPECT_EQ(binary_kind_of("Orvale_Tresca_IC 417.sim"), BinaryKind::parameters);
  EXPECT_EQ(binary_kind_of("Orvale_Tresca_IC 417.dat"), BinaryKind::grid);
  EXPECT_THROW(binary_kind_of("Orvale_Tresca_linea.txt"), UsageError);
}

TEST_F(EmbeddedRun, DumpShowsTheValuesInTableAndJson) {
  const std::string& grid = bytes("Orvale_Tresca_IC 417.dat");
  const auto cells = dump_json(BinaryKind::grid, grid)["cells"];
  EXPECT_EQ(cells[1127]["position"], 56300);
  EXPECT_EQ(cells[1127]["object"], "signal");
  EXPECT_EQ(cells[1127]["value_1"], 42);

  std::ostringstream table;
  dump_table(BinaryKind::grid, grid, table);
  EXPECT_NE(
      table.str().find(" 1127     56300     56+300     1 signal                       42      11       0       4"),
      std::string::npos);

  const auto slots = dump_json(BinaryKind::parameters, bytes("Orvale_Tresca_IC 417.sim"))["slots"];
  EXPECT_EQ(slots.size(), 87u);
  EXPECT_EQ(slots[2]["text"], "Nome Stazione");
  EXPECT_EQ(slots[2]["kind"], 26);
}

TEST(Dump, TrackPlanElementsWithTheirKinds) {
  TrackPlan plan;
  plan.reset(3);
  plan.kind = {PlanKind::int16, PlanKind::real, PlanKind::empty};
  plan.x = {0, 0.1, 0};
  plan.y = {1, 2.5, 0};
  const std::string bytes = track_plan_file_bytes(plan);
  const auto metres = dump_json(BinaryKind::track_plan, bytes)["metres"];
  ASSERT_EQ(metres.size(), 3u);
  EXPECT_EQ(metres[0].dump(), R"({"metre":0,"x_kind":"int16","x":0,"y_kind":"int16","y":1})");
  EXPECT_EQ(metres[1].dump(), R"({"metre":1,"x_kind":"double","x":0.1,"y_kind":"double","y":2.5})");
  EXPECT_EQ(metres[2].dump(), R"({"metre":2,"x_kind":"empty","x":null,"y_kind":"empty","y":null})");

  std::ostringstream table;
  dump_table(BinaryKind::track_plan, bytes, table);
  EXPECT_NE(table.str().find("      1  double                      0.1  double                      2.5\n"),
            std::string::npos)
      << table.str();
}

}  // namespace
}  // namespace scenario::tool
