// The train half of the parser on small train files (line of 10000 m, cells
// 0 to 340, unless a test says otherwise).
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compile_fixture.h"
#include "compiler/compiler.h"

namespace scenario {
namespace {

using testing::crlf;
using testing::line_source;
using testing::signal_record;
using testing::station_record;
using testing::train_source;

class TrainParser : public testing::CompileFixture {
 protected:
  // The line of 10000 m and `records` as the train file, parsed.
  void parse_train(const std::vector<std::string>& records, const std::vector<std::string>& line_records = {}) {
    put_sources(line_source(line_records), train_source(records));
    parse();
  }
};

TEST_F(TrainParser, TrainRecordsFillSlots84And86AndHeadersMatchNothing) {
  parse_train({"numero vetture,    7", "percentuale massa frenata,    100", "sabbia,    3",
               "orologio,    19              8             30 ", "[aderenze]", "[vel_limite]", "[stazioni]",
               "[rallentamenti]", "[segnali]", "[codici]"});
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(slot(kTrainSlot).at_m, 7);
  EXPECT_EQ(slot(kTrainSlot).start_m, 100);
  EXPECT_EQ(slot(kTrainSlot).end_m, 10000);
  EXPECT_EQ(slot(kSettingsSlot).num_a, 3);
  EXPECT_EQ(slot(kSettingsSlot).num_c, 19);
  EXPECT_EQ(slot(kSettingsSlot).num_d, 8);
  EXPECT_EQ(slot(kSettingsSlot).num_e, 30);
  EXPECT_EQ(slot(1), ParameterRecord{});
  EXPECT_TRUE(folder.files().empty());
}

TEST_F(TrainParser, RecordsBeforeGeneraleAreIgnored) {
  put_sources(line_source({}), crlf({"numero vetture, 7", "velocita, 0, 80", "[fine]"}));
  parse();
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(slot(kTrainSlot).at_m, 0);
  EXPECT_EQ(cell(0).speed_step, 0);
  EXPECT_FALSE(train_file_left());
}

// ---- speed and adhesion profiles ----

TEST_F(TrainParser, SpeedStepsHoldUpToTheNextRecordAndTheLastRunsOnToThreeCellsBeforeTheEnd) {
  parse_train({"velocita,       0,    80", "VELOCITA,    4250,   100"});
  EXPECT_EQ(compiler.error_code, 0);
  for (std::int64_t c = 0; c <= 340; ++c) {
    const int expected = c <= 84 ? 16 : c <= 337 ? 20 : 0;
    EXPECT_EQ(cell(c).speed_step, expected) << c;
  }
}

TEST_F(TrainParser, ASpeedStepIsTheSpeedInFiveKmhStepsRoundedToNearest) {
  struct Case {
    std::int32_t speed;
    std::optional<int> step;  // nullopt: code 25
  };
  const Case cases[] = {{80, 16},
                        {12, 2},
                        {13, 3},
                        {-1, 0},
                        {-2, 0},
                        {1277, 255},
                        {-3, std::nullopt},
                        {1278, std::nullopt},
                        {1280, std::nullopt}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.speed);
    Compiler fresh(folder);
    put_sources(line_source({}), train_source({"velocita, 0, " + std::to_string(c.speed)}));
    fresh.memorizza_dati();
    if (c.step) {
      EXPECT_EQ(fresh.error_code, 0);
      EXPECT_EQ(fresh.grid[0].speed_step, *c.step);
    } else {
      EXPECT_EQ(fresh.error_code, 25);
      EXPECT_NE(fresh.recorded_codes.back().detail.find(std::to_string(c.speed)), std::string::npos);
    }
    EXPECT_TRUE(folder.files().empty());
  }
}

TEST_F(TrainParser, AdhesionKeepsItsLowEightBits) {
  parse_train({"aderenza,   0,    100", "Aderenza, 1000, 300"});
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(0).adhesion, 100);
  EXPECT_EQ(cell(19).adhesion, 100);
  EXPECT_EQ(cell(20).adhesion, 44);
  EXPECT_EQ(cell(337).adhesion, 44);
  EXPECT_EQ(cell(338).adhesion, 0);
}

TEST_F(TrainParser, RecordsNotAheadOfTheCursorWriteOneCellAndTheCursorsStopAtTheLastCell) {
  // 16900 m is the last position that passes the check: cell 338.
  std::vector<std::string> records;
  for (int n = 1; n <= 6; ++n) {
    records.push_back("velocita, 16900, " + std::to_string(5 * n));
    records.push_back("aderenza, 16900, " + std::to_string(n));
  }
  parse_train(records);
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(compiler.grid.size(), 341u);
  EXPECT_EQ(cell(337).speed_step, 0);
  EXPECT_EQ(cell(338).speed_step, 1);
  EXPECT_EQ(cell(339).speed_step, 2);
  EXPECT_EQ(cell(338).adhesion, 1);
  EXPECT_EQ(cell(339).adhesion, 2);
}

// ---- stations ----

TEST_F(TrainParser, TheFirstStationOfTheEmbeddedTrain) {
  parse_train({"stazione,     100,  2, 1000,  0, 1, 0,  1,1,0,  4,1,1,    1,  19, 9, 0, Orvale Ferlaste"});
  EXPECT_EQ(compiler.error_code, 0);
  ParameterRecord expected;
  expected.kind = 2;
  expected.start_m = -400;
  expected.end_m = 600;
  expected.at_m = 100;
  expected.text = "Orvale Ferlaste";
  expected.num_a = 1;
  expected.num_b = 1;
  expected.opt_b = 0;
  expected.num_c = 4;
  expected.num_d = 1;
  expected.num_e = 1;
  expected.opt_c = 1;
  expected.time_s = 68940;  // 19:09:00; opt_e 1 is forced to 0 for the first station
  EXPECT_EQ(slot(1), expected);
  EXPECT_EQ(cell(11).cell_type, kStopMark);
  EXPECT_EQ(cell(11).value_1, 1);
  EXPECT_EQ(cell(10).approach_code, 81);
  EXPECT_EQ(cell(9).approach_code, 82);
  EXPECT_EQ(cell(8).approach_code, 83);
  EXPECT_EQ(cell(7).approach_code, 84);
  EXPECT_EQ(cell(6).approach_code, 0);
  EXPECT_EQ(cell(12).approach_code, 0);
}

// Each case is the second station (the first forces its options to 0).
TEST_F(TrainParser, TheStationAreaAndMarksFollowTheKind) {
  struct Case {
    int kind;
    std::int32_t platform;
    int opt_d;
    std::int32_t start_m, end_m;
    int opt_d_after;
    std::optional<std::int64_t> stop_cell;
    bool approach;
  };
  const Case cases[] = {
      {2, 1000, 0, 4500, 5500, 0, 109, true},
      {2, 1000, 1, 4500, 5550, 1, 110, true},
      {4, 600, 0, 4700, 5300, 0, 105, true},
      {5, 1000, 1, 4000, 5150, 0, 102, false},
      {6, 1000, 0, 4000, 5150, 0, 102, false},
      {7, 400, 1, 4600, 5400, 0, 107, true},
      {8, 400, 0, 4600, 5400, 0, 107, true},
      {24, 400, 0, 4800, 5200, 0, 103, true},
      {25, 400, 0, 4800, 5200, 0, std::nullopt, false},
      {26, 300, 1, 4850, 5200, 1, std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    Compiler fresh(folder);
    put_sources(line_source({}),
                train_source({station_record(1000, 26, 100), station_record(5000, c.kind, c.platform, c.opt_d)}));
    fresh.memorizza_dati();
    ASSERT_EQ(fresh.error_code, 0);
    const ParameterRecord& st = fresh.parameters[2];
    EXPECT_EQ(st.kind, c.kind);
    EXPECT_EQ(st.start_m, c.start_m);
    EXPECT_EQ(st.end_m, c.end_m);
    EXPECT_EQ(st.opt_d, c.opt_d_after);
    std::vector<std::int64_t> stops, approaches;
    for (std::size_t i = 0; i < fresh.grid.size(); ++i) {
      if (fresh.grid[i].cell_type == kStopMark) stops.push_back(static_cast<std::int64_t>(i));
      if (fresh.grid[i].approach_code != 0) approaches.push_back(static_cast<std::int64_t>(i));
    }
    EXPECT_EQ(stops, c.stop_cell ? std::vector<std::int64_t>{*c.stop_cell} : std::vector<std::int64_t>{});
    if (c.approach) {
      const std::int64_t s = *c.stop_cell;
      EXPECT_EQ(approaches, (std::vector<std::int64_t>{s - 4, s - 3, s - 2, s - 1}));
      EXPECT_EQ(fresh.grid[static_cast<std::size_t>(s - 1)].approach_code, 81);
      EXPECT_EQ(fresh.grid[static_cast<std::size_t>(s - 4)].approach_code, 84);
    } else {
      EXPECT_TRUE(approaches.empty());
    }
    if (c.stop_cell) {
      EXPECT_EQ(fresh.grid[static_cast<std::size_t>(*c.stop_cell)].value_1, 2);
    }
  }
}

TEST_F(TrainParser, OptEIsKeptOnlyFromPlatformsOf600Metres) {
  const std::string first = station_record(1000, 26, 100);
  for (auto [platform, opt_e] : {std::pair{500, 0}, std::pair{600, 1}}) {
    Compiler fresh(folder);
    put_sources(line_source({}), train_source({first, "stazione, 5000, 2, " + std::to_string(platform) +
                                                          ", 0, 1, 0, 0,0,0, 0,0,0, 0, 0,0,0, Seconda"}));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.parameters[2].opt_e, opt_e) << platform;
  }
}

TEST_F(TrainParser, ApproachMarksStopAboveCellOne) {
  parse_train({station_record(100, 2, 300)});  // area -50 to 250, stop cell 4
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(slot(1).start_m, -50);
  EXPECT_EQ(cell(4).cell_type, kStopMark);
  EXPECT_EQ(cell(3).approach_code, 81);
  EXPECT_EQ(cell(2).approach_code, 82);
  EXPECT_EQ(cell(1).approach_code, 0);
  EXPECT_EQ(cell(0).approach_code, 0);
}

TEST_F(TrainParser, AStopMarkIsWrittenOverASpeedBoard) {
  parse_train({station_record(1000, 26, 100), station_record(4000, 4, 600)},
              {"indicatori_vmax, 4200, 120, 130, 130, 0, 120, 130, 130, 0"});
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(85).cell_type, kStopMark);
  EXPECT_EQ(cell(85).value_1, 2);
  EXPECT_EQ(cell(85).value_2, 2626);
  EXPECT_EQ(cell(85).value_3, 2626);
  EXPECT_EQ(cell(85).value_4, 0);
}

TEST_F(TrainParser, RefusedStations) {
  struct Case {
    const char* what;
    std::vector<std::string> records;
    std::int32_t code;
    std::int32_t position;  // 77: unchanged
    int stations_stored;    // slots whose position was read
  };
  const std::string first = station_record(2000, 2, 400);  // area 1800 to 2200
  const Case cases[] = {
      {"position off the 50 m step", {station_record(3025, 2, 400)}, 8, 3025, 1},
      {"platform off the 100 m step", {station_record(3000, 2, 650)}, 9, 3000, 1},
      {"areas 300 m apart", {first, station_record(2700, 2, 400)}, 22, 2700, 2},
      {"areas 350 m apart", {first, station_record(2750, 2, 400)}, 0, 77, 2},
      {"a stop cell at index 1", {station_record(50, 2, 100)}, 24, 77, 1},
      {"a stop cell past the grid", {station_record(16200, 7, 1000)}, 24, 77, 1},
      {"past the grid", {first, station_record(16250, 2, 100), station_record(16000, 2, 100)}, 15, 16250, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Compiler fresh(folder);
    put_sources(line_source({}), train_source(c.records));
    fresh.error_position = 77;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, c.code);
    EXPECT_EQ(fresh.error_position, c.position);
    int stored = 0;
    for (int k = 1; k <= 3; ++k) stored += fresh.parameters[static_cast<std::size_t>(k)].at_m != 0 ? 1 : 0;
    EXPECT_EQ(stored, c.stations_stored);
    EXPECT_TRUE(folder.files().empty());
  }
}

// Stations and direction boards share slots 1 to 80.
TEST_F(TrainParser, StationsAndBoardsTogetherHoldAtMost78Slots) {
  for (int boards : {0, 2}) {
    SCOPED_TRACE(boards);
    std::vector<std::string> line_records;
    for (int b = 0; b < boards; ++b)
      line_records.push_back("cartello_indicatore, " + std::to_string(500 + 100 * b) + ", B");
    const int accepted = 78 - boards;
    std::vector<std::string> records;
    for (int k = 1; k <= accepted + 2; ++k) records.push_back(station_record(1000 + 500 * k, 26, 100));
    Compiler fresh(folder);
    put_sources(line_source(line_records, 100000), train_source(records));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 10);
    // The station that does not fit is stored, then refused; none after it.
    EXPECT_EQ(fresh.parameters[static_cast<std::size_t>(accepted + 1)].at_m, 1000 + 500 * (accepted + 1));
    if (boards > 0) {
      EXPECT_EQ(fresh.parameters[79].text, "B");
    } else {
      EXPECT_EQ(fresh.parameters[80], ParameterRecord{});
    }
    EXPECT_TRUE(folder.files().empty());
  }
}

// p + 100 and p + 800 are formed in floating point: no 32-bit wrap lets a
// position near the limit pass.
TEST_F(TrainParser, PositionsNearThe32BitLimitFailTheCheck) {
  const std::string p = "2147483600";
  const std::vector<std::string> records = {"velocita, " + p + ", 80",
                                            "aderenza, " + p + ", 80",
                                            signal_record(2147483600),
                                            "rallentamento, " + p + ", 60, 1000, 0, 0, 0",
                                            "abbattimento, " + p + ", 5",
                                            station_record(2147483600, 2, 100)};
  for (const std::string& record : records) {
    SCOPED_TRACE(record);
    Compiler fresh(folder);
    put_sources(line_source({}), train_source({record}));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 15);
    EXPECT_EQ(fresh.error_position, 2147483600);
  }
}

// ---- signals, slowdowns and abbattimento points ----

TEST_F(TrainParser, ARefusedSignalOrSlowdownEndsTheParseWithItsPosition) {
  struct Case {
    const char* what;
    std::vector<std::string> records;
    std::int32_t code;
    std::int32_t position;
  };
  const Case cases[] = {
      {"a signal on a speed board", {signal_record(800)}, 16, 800},
      {"a slowdown on a signal", {signal_record(5000), "rallentamento, 5000, 60, 1000, 0, 0, 0"}, 18, 5000},
      {"a slowdown warning on a signal", {signal_record(3800), "rallentamento, 5000, 60, 1000, 0, 0, 0"}, 17, 5000},
      {"a countdown on a signal", {signal_record(3700), "rallentamento, 5000, 60, 1000, 0, 1, 0"}, 20, 5000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Compiler fresh(folder);
    std::vector<std::string> records = c.records;
    records.push_back("velocita, 0, 80");
    put_sources(line_source({"indicatori_vmax,  800,  80,  80,  80,  0,  80,  80,  80,  0"}), train_source(records));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, c.code);
    EXPECT_EQ(fresh.error_position, c.position);
    ASSERT_EQ(fresh.recorded_codes.size(), 1u);
    EXPECT_EQ(fresh.recorded_codes[0].position, c.position);
    EXPECT_EQ(fresh.recorded_codes[0].file, SourceFile::train_file);
    EXPECT_EQ(fresh.grid[200].speed_step, 0);  // nothing read after it, no completion
    EXPECT_TRUE(folder.files().empty());
  }
}

// The test after a marking routine looks only at error_code, so a 15 left
// by the line file ends the train parse at its first signal or slowdown.
TEST_F(TrainParser, ACode15FromTheLineFileEndsTheTrainParseAtTheFirstSignal) {
  parse_train({"velocita, 0, 80", station_record(1000, 2, 400), signal_record(3000), station_record(6000, 2, 400)},
              {"pendenza, 20000, 3"});
  EXPECT_EQ(compiler.error_code, 15);
  EXPECT_EQ(compiler.error_position, 3000);
  ASSERT_EQ(compiler.recorded_codes.size(), 2u);
  EXPECT_EQ(compiler.recorded_codes[0].position, 20000);
  EXPECT_EQ(compiler.recorded_codes[0].file, SourceFile::line_file);
  EXPECT_EQ(compiler.recorded_codes[1].code, 15);
  EXPECT_EQ(compiler.recorded_codes[1].position, 3000);
  EXPECT_EQ(compiler.recorded_codes[1].file, SourceFile::train_file);
  EXPECT_EQ(slot(1).at_m, 1000);  // read before the signal
  EXPECT_EQ(slot(2).at_m, 0);     // never read
  EXPECT_EQ(cell(61).cell_type, kSignal);
  EXPECT_EQ(cell(0).speed_step, 0);  // the parse ended before the completion
  EXPECT_TRUE(folder.files().empty());
}

TEST_F(TrainParser, AbbattimentoPoints) {
  struct Case {
    std::int32_t value;
    std::uint8_t type;
    std::int16_t value_1;
  };
  const Case cases[] = {{200, kAbbattimento, 200},
                        {1, kAbbattimento, 1},
                        {70000, kAbbattimento, 4464},
                        {0, kAbbattimentoNoValue, 0},
                        {-5, kAbbattimentoNoValue, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Compiler fresh(folder);
    put_sources(line_source({}), train_source({"abbattimento, 5000, " + std::to_string(c.value)}));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 0);
    EXPECT_EQ(fresh.grid[100].cell_type, c.type);  // round32(p / 50), without the + 1
    EXPECT_EQ(fresh.grid[100].value_1, c.value_1);
  }
}

TEST_F(TrainParser, AnAbbattimentoPointNeedsAFreeCellInTheGrid) {
  for (std::int32_t position : {5050, -100}) {
    SCOPED_TRACE(position);
    Compiler fresh(folder);
    put_sources(line_source({}),
                train_source({signal_record(5000), "abbattimento, " + std::to_string(position) + ", 5"}));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 7);
    EXPECT_EQ(fresh.error_position, position);
  }
}

// ---- failures ----

TEST_F(TrainParser, AMissingTrainFileIsCode25AfterTheLineFile) {
  put_sources(line_source({"pendenza, 1000, 6"}), std::nullopt);
  folder.write("other.txt", "x");
  compiler.error_position = 77;
  std::int32_t full = 1;
  compiler.memorizza_percorso(full);
  EXPECT_EQ(codes(), std::vector<std::int32_t>{25});
  EXPECT_EQ(compiler.error_position, 77);
  EXPECT_EQ(cell(19).gradient_code, 100);  // the line file was read
  EXPECT_FALSE(line_file_left());
  EXPECT_EQ(folder.read("other.txt"), "x");
  // The compile still writes its files.
  EXPECT_TRUE(folder.exists(names.parameter_file()));
  EXPECT_TRUE(folder.exists(names.grid_file()));
}

TEST_F(TrainParser, AFieldThatCannotBeReadIsCode25AndTheTrainFileGoes) {
  struct Case {
    const char* what;
    std::string record;
  };
  const Case cases[] = {
      {"sabbia wider than 16 bits", "sabbia, 40000"},
      {"a clock value wider than 16 bits", "orologio, 19 8 32768"},
      {"a station kind wider than 8 bits", "stazione, 1000, 256, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, X"},
      {"a negative 8-bit option", "stazione, 1000, 2, 400, -1, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, X"},
      {"a station name over 65535 characters",
       "stazione, 1000, 2, 400, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, " + std::string(65536, 'x')},
      {"a signal value wider than 16 bits", signal_record(3000, "1, 40000, 1, 0, 0, 1, 2, 1, 0, 0")},
      {"a slowdown speed wider than 16 bits", "rallentamento, 5000, 32768, 1000, 0, 0, 0"},
      {"a letter in a number", "velocita, 0, 8O"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Compiler fresh(folder);
    put_sources(line_source({}), train_source({c.record}));
    fresh.error_position = 77;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 25);
    EXPECT_EQ(fresh.error_position, 77);
    EXPECT_TRUE(folder.files().empty());
  }
}

// dx is a 16-bit parameter of memo_segnale like s1 to d3: the ends of its
// range reach the cell, one step past them is the parser's code 25.
TEST_F(TrainParser, TheSignalsDxIsA16BitParameter) {
  struct Accepted {
    std::int32_t dx;
    std::int16_t value_4;       // rapp x 10 + sx x 3 + dx, low 16 bits
    std::uint8_t approach_400;  // (sx x 3 + dx) x 10 + 4, low 8 bits
  };
  // sx 1, rapp 0: 3 + 32767 = 32770 and 327704 = 1280 x 256 + 24;
  // 3 - 32768 = -32765 and -327646 = -1280 x 256 + 34.
  for (const Accepted& c : {Accepted{32767, -32766, 24}, Accepted{-32768, -32765, 34}}) {
    SCOPED_TRACE(c.dx);
    Compiler fresh(folder);
    put_sources(line_source({}), train_source({signal_record(5000, "1, 4, 1, 0, 0, " + std::to_string(c.dx) +
                                                                         ", 2, 1, 0, 0")}));
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 0);
    const TrackCell& signal = fresh.grid.at(101);
    EXPECT_EQ(signal.cell_type, kSignal);
    EXPECT_EQ(signal.value_4, c.value_4);
    EXPECT_EQ(signal.value_1, 42);
    EXPECT_EQ(fresh.grid.at(93).approach_code, c.approach_400);
    EXPECT_EQ(fresh.grid.at(99).approach_code, c.approach_400 - 3);
  }
  for (std::int32_t dx : {32768, -32769}) {
    SCOPED_TRACE(dx);
    Compiler fresh(folder);
    put_sources(line_source({}), train_source({"velocita, 0, 80", signal_record(5000, "1, 4, 1, 0, 0, " +
                                                                                     std::to_string(dx) +
                                                                                     ", 2, 1, 0, 0")}));
    fresh.error_position = 77;
    fresh.memorizza_dati();
    EXPECT_EQ(fresh.error_code, 25);
    EXPECT_EQ(fresh.error_position, 77);
    ASSERT_EQ(fresh.recorded_codes.size(), 1u);
    EXPECT_EQ(fresh.recorded_codes[0].file, SourceFile::train_file);
    EXPECT_EQ(fresh.recorded_codes[0].line, 3);
    EXPECT_NE(fresh.recorded_codes[0].detail.find("dx"), std::string::npos);
    EXPECT_TRUE(folder.files().empty());  // both sources gone, as after any failure
  }
}

}  // namespace
}  // namespace scenario
