// The embedded scenario compiled in memory, as the run does it: the figures
// of the line, the train and the three files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "run/file_names.h"
#include "run/folder.h"
#include "run/form_load.h"
#include "test_support.h"

namespace scenario {
namespace {

class EmbeddedCompile : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new MemoryFolder;
    form_ = new Form1(*folder_);
    form_->Form_Load();
  }
  static void TearDownTestSuite() {
    delete form_;
    delete folder_;
  }

  static const Compiler& compiler() { return form_->compiler(); }
  static const TrackCell& cell(std::int64_t c) { return compiler().grid.at(static_cast<std::size_t>(c)); }
  static const ParameterRecord& slot(int s) { return compiler().parameters.at(static_cast<std::size_t>(s)); }
  static std::string file(const std::string& name) { return folder_->read(name).value_or(""); }

  static inline MemoryFolder* folder_ = nullptr;
  static inline Form1* form_ = nullptr;
  const RunNames names{kRouteName, kTrainName};
};

TEST_F(EmbeddedCompile, RecordsNoCode) {
  EXPECT_EQ(compiler().error_code, 0);
  EXPECT_TRUE(compiler().recorded_codes.empty());
}

TEST_F(EmbeddedCompile, LeavesTheSixFilesAndNoSource) {
  std::vector<std::string> files;
  for (const auto& [name, bytes] : folder_->files()) files.push_back(name);
  EXPECT_EQ(files, (std::vector<std::string>{"Orvale_Tresca_IC 417.dat", "Orvale_Tresca_IC 417.sim",
                                             "Orvale_Tresca_IC 417_note.txt", "Orvale_Tresca_IC 417_rallentamenti.txt",
                                             "Orvale_Tresca_IC 417_scheda_treno.txt", "Orvale_Tresca_linea.dat"}));
}

TEST_F(EmbeddedCompile, TheBinaryFilesMatchTheExpectedHashes) {
  auto expected = testing::expected_hashes();
  ASSERT_TRUE(expected) << "no golden hashes in " << SCENARIO_GOLDEN_DIR;
  for (const std::string& name : {names.track_plan_file(), names.parameter_file(), names.grid_file()})
    EXPECT_EQ(testing::sha256_hex(file(name)), expected->at(name)) << name;
}

// ---- the line ----

TEST_F(EmbeddedCompile, TheGridHasCells0To3240) {
  EXPECT_EQ(compiler().plan_length, 162000);
  EXPECT_EQ(compiler().last_cell, 3240);
  EXPECT_EQ(file(names.grid_file()).size(), 3241u * 15);
}

TEST_F(EmbeddedCompile, GradientCodesByCellRange) {
  struct Range {
    std::int64_t from, to;
    int code;
  };
  const Range ranges[] = {{0, 89, 100},    {90, 479, 106},    {480, 619, 103},
                          {620, 1009, 93}, {1010, 3237, 100}, {3238, 3240, 0}};
  for (const Range& r : ranges)
    for (std::int64_t c = r.from; c <= r.to; ++c) ASSERT_EQ(cell(c).gradient_code, r.code) << "cell " << c;
}

TEST_F(EmbeddedCompile, TheFirstSpeedBoardIsInCell17) {
  const TrackCell& c = cell(17);
  EXPECT_EQ(c.cell_type, kSpeedBoard);
  EXPECT_EQ(c.value_1, 1616);
  EXPECT_EQ(c.value_2, 1616);
  EXPECT_EQ(c.value_3, 1616);
  EXPECT_EQ(c.value_4, 0);
}

TEST_F(EmbeddedCompile, TheTwoDirectionBoards) {
  EXPECT_EQ(cell(31).cell_type, kIndicatorBoard);
  EXPECT_EQ(cell(31).value_1, 80);
  EXPECT_EQ(cell(41).cell_type, kIndicatorBoard);
  EXPECT_EQ(cell(41).value_1, 79);
  EXPECT_EQ(slot(80).text, "(Bivio     )(Sparvenzia)");
  EXPECT_EQ(slot(79).text, "(Bivio     )(Sparvenzia)");
}

TEST_F(EmbeddedCompile, TheFirstTunnelsAndTheTypeThreeRule) {
  for (std::int64_t c = 16; c <= 54; ++c) EXPECT_EQ(cell(c).tunnel_type, 1) << c;
  EXPECT_EQ(cell(15).tunnel_type, 0);
  EXPECT_EQ(cell(55).tunnel_type, 0);
  // Every fourth cell from 19 is marked, except cell 31 where the direction
  // board, read later, replaced the mark.
  for (std::int64_t c = 19; c <= 51; c += 4) EXPECT_EQ(cell(c).cell_type, c == 31 ? kIndicatorBoard : kTunnelMark) << c;
  EXPECT_EQ(cell(339).tunnel_type, 3);  // 16950 m, 50 m after the tunnel before it
  EXPECT_EQ(cell(759).tunnel_type, 3);  // 37950 m, 150 m after
  EXPECT_EQ(cell(872).tunnel_type, 1);  // 43600 m, 200 m after
}

// ---- the track plan ----

// A double element of the plan file: column 0 is x, 1 is y. Metres 0 and 1
// take 4 bytes, metres 2 to 161998 10, the last two 2.
double plan_element(const std::string& bytes, int column, std::int64_t metre) {
  const std::size_t column_size = 4 + 4 + 161997 * 10 + 2 + 2;
  const std::size_t at = static_cast<std::size_t>(column) * column_size + 8 + static_cast<std::size_t>(metre - 2) * 10;
  EXPECT_EQ(bytes.substr(at, 2), std::string("\x05\x00", 2)) << "metre " << metre;
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i)
    bits = (bits << 8) | static_cast<unsigned char>(bytes[at + 2 + static_cast<std::size_t>(i)]);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint64_t bits_of(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// "curvad4, 3800, 200": straight along +y to metre 3800, then 0.001 rad per
// metre to the right up to metre 4000, worked out here from the rule.
TEST_F(EmbeddedCompile, TheFirstCurveTurnsThePlanRightFromMetre3801) {
  const std::string plan = file(names.track_plan_file());
  ASSERT_EQ(plan.size(), 3239964u);
  EXPECT_EQ(plan.substr(0, 8), std::string("\x02\x00\x00\x00\x02\x00\x00\x00", 8));
  EXPECT_EQ(plan_element(plan, 0, 3800), 0.0);
  EXPECT_EQ(plan_element(plan, 1, 3800), 3800.0);

  double x0 = 0.0, y0 = 3799.0, x1 = 0.0, y1 = 3800.0;
  for (std::int64_t m = 3801; m <= 4000; ++m) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double bracket_x = dy * 0.001 + dx;
    const double bracket_y = dy - dx * 0.001;
    x0 = x1;
    y0 = y1;
    x1 = x1 + bracket_x;
    y1 = y1 + bracket_y;
    if (m == 3801 || m == 3802 || m == 3850 || m == 3999 || m == 4000) {
      EXPECT_EQ(bits_of(plan_element(plan, 0, m)), bits_of(x1)) << "x of metre " << m;
      EXPECT_EQ(bits_of(plan_element(plan, 1, m)), bits_of(y1)) << "y of metre " << m;
    }
  }
  EXPECT_EQ(plan_element(plan, 0, 3801), 0.001);
  EXPECT_GT(plan_element(plan, 0, 4000), 19.0);  // about 200² / 2 × 0.001 to the right
}

// ---- the train ----

TEST_F(EmbeddedCompile, TrainDataClockAndSettings) {
  EXPECT_EQ(slot(kTrainSlot).start_m, 100);
  EXPECT_EQ(slot(kTrainSlot).end_m, 155000);
  EXPECT_EQ(slot(kTrainSlot).at_m, 7);
  EXPECT_EQ(slot(kRouteSlot).start_m, 46000);
  EXPECT_EQ(slot(kRouteSlot).at_m, 1);
  EXPECT_EQ(slot(kSettingsSlot).end_m, 155000);
  EXPECT_EQ(slot(kSettingsSlot).at_m, 9);
  EXPECT_EQ(slot(kSettingsSlot).num_c, 19);
  EXPECT_EQ(slot(kSettingsSlot).num_d, 8);
  EXPECT_EQ(slot(kSettingsSlot).num_e, 30);
}

TEST_F(EmbeddedCompile, TwentyFiveStationsInSlots1To25) {
  EXPECT_EQ(slot(0), ParameterRecord{});
  for (int s = 1; s <= 25; ++s) EXPECT_NE(slot(s).text, "") << s;
  for (int s = 26; s <= 78; ++s) EXPECT_EQ(slot(s), ParameterRecord{}) << s;
}

TEST_F(EmbeddedCompile, TheFirstStation) {
  const ParameterRecord& st = slot(1);
  EXPECT_EQ(st.text, "Orvale Ferlaste");
  EXPECT_EQ(st.start_m, -400);
  EXPECT_EQ(st.end_m, 600);
  EXPECT_EQ(st.time_s, 68940);
  EXPECT_EQ(st.opt_e, 0);
  EXPECT_EQ(st.opt_d, 0);
  EXPECT_EQ(cell(11).cell_type, kStopMark);
  EXPECT_EQ(cell(11).value_1, 1);
  for (int j = 1; j <= 4; ++j) EXPECT_EQ(cell(11 - j).approach_code, 80 + j);
}

TEST_F(EmbeddedCompile, ThePlaceholderStationMarksNoCell) {
  EXPECT_EQ(slot(2).text, "Nome Stazione");
  EXPECT_EQ(slot(2).kind, 26);
  EXPECT_EQ(slot(2).start_m, 1700);
  EXPECT_EQ(slot(2).end_m, 2000);
  for (const TrackCell& c : compiler().grid) {
    if (c.cell_type == kStopMark) {
      EXPECT_NE(c.value_1, 2);
    }
  }
}

TEST_F(EmbeddedCompile, TheSeventhStationsStopMarkIsOverTheSpeedBoard) {
  EXPECT_EQ(slot(7).end_m, 31300);
  const TrackCell& c = cell(625);
  EXPECT_EQ(c.cell_type, kStopMark);
  EXPECT_EQ(c.value_1, 7);
  EXPECT_EQ(c.value_2, 2626);
  EXPECT_EQ(c.value_3, 2626);
  EXPECT_EQ(c.value_4, 0);
}

TEST_F(EmbeddedCompile, TheLastStation) {
  const ParameterRecord& st = slot(25);
  EXPECT_EQ(st.text, "Tresca Centrale");
  EXPECT_EQ(st.start_m, 156000);
  EXPECT_EQ(st.end_m, 157150);
  EXPECT_EQ(cell(3142).cell_type, kStopMark);
  EXPECT_EQ(cell(3142).value_1, 25);
  for (std::int64_t c = 3137; c <= 3141; ++c) EXPECT_EQ(cell(c).approach_code, 0) << c;
}

TEST_F(EmbeddedCompile, TheSignalOfTheOverview) {
  const TrackCell& c = cell(1127);
  EXPECT_EQ(c.cell_type, kSignal);
  EXPECT_EQ(c.value_1, 42);
  EXPECT_EQ(c.value_2, 11);
  EXPECT_EQ(c.value_3, 0);
  EXPECT_EQ(c.value_4, 4);
  EXPECT_EQ(c.signal_time, 0);
  EXPECT_EQ(cell(1126).cell_type, kNoObject);
  EXPECT_EQ(cell(1125).approach_code, 41);
  EXPECT_EQ(cell(1123).approach_code, 42);
  EXPECT_EQ(cell(1121).approach_code, 43);
  EXPECT_EQ(cell(1119).approach_code, 44);
}

TEST_F(EmbeddedCompile, SpeedSteps) {
  for (std::int64_t c = 0; c <= 84; ++c) ASSERT_EQ(cell(c).speed_step, 16) << c;
  for (std::int64_t c = 85; c <= 191; ++c) ASSERT_EQ(cell(c).speed_step, 20) << c;
  EXPECT_EQ(cell(192).speed_step, 24);
  // 30 km/h from 155150 m (cell 3103) up to three cells before the end.
  for (std::int64_t c = 3103; c <= 3237; ++c) ASSERT_EQ(cell(c).speed_step, 6) << c;
  for (std::int64_t c = 3238; c <= 3240; ++c) EXPECT_EQ(cell(c).speed_step, 0) << c;
}

// ---- the stamp and the bytes ----

TEST_F(EmbeddedCompile, TheStamp) {
  EXPECT_EQ(slot(kRouteSlot).num_a, 610);
  EXPECT_EQ(slot(kRouteSlot).time_s, 32584);
  EXPECT_EQ(cell(1).value_1, 5121);
  EXPECT_EQ(cell(1).value_2, 2378);
}

TEST_F(EmbeddedCompile, TheSpeedBoardsFifteenBytesAtOffset255) {
  const std::string expected(
      "\x06\x50\x06\x50\x06\x50\x06\x00\x00"  // type 6, 1616 three times, 0
      "\x00\x00\x01\x10\x64\x64",             // in the first tunnel, step 16, 100, 100
      15);
  EXPECT_EQ(file(names.grid_file()).substr(255, 15), expected);
}

TEST_F(EmbeddedCompile, TheParameterFileLength) {
  std::size_t texts = 0;
  for (const ParameterRecord& r : compiler().parameters) texts += r.text.size();
  EXPECT_EQ(file(names.parameter_file()).size(), 87 * 34 + texts);
  EXPECT_EQ(file(names.parameter_file()).size(), 3341u);
}

}  // namespace
}  // namespace scenario
