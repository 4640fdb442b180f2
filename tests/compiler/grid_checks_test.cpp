// The grid pass on hand-made grids, and the compile driver around it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "compile_fixture.h"
#include "compiler/compiler.h"
#include "run/failures.h"

namespace scenario {
namespace {

using testing::give_grid;
using testing::line_source;
using testing::signal_record;
using testing::station_record;
using testing::train_source;

// A point object in a cell; a marker of the pass is {cell, 12, 180}.
struct Placed {
  std::int64_t cell;
  std::uint8_t type;
  std::int16_t value = 0;
};

struct PassCase {
  const char* what;
  std::vector<Placed> before;
  std::vector<Placed> changed;  // every cell the pass changes, as it leaves it
  std::int32_t code = 0;
  std::int32_t position = 0;
};

constexpr std::uint8_t kSig = kSignal;
constexpr std::uint8_t kWarn = kSlowdownWarning;
constexpr std::uint8_t kStart = kSlowdownStart;
constexpr std::uint8_t kEnd = kSlowdownEnd;
constexpr std::uint8_t kBusy = kSpeedBoard;  // any occupied cell
constexpr std::uint8_t kAbb = kAbbattimento;

Placed marker(std::int64_t cell) { return {cell, kAbb, 180}; }

// Runs the pass on a grid of cells 0 to 100 holding `before`; the whole grid
// must then equal `before` with `changed` applied.
void run_pass_cases(const std::vector<PassCase>& cases) {
  for (const PassCase& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFolder folder;
    Compiler compiler(folder);
    give_grid(compiler, 100);
    auto apply = [](std::vector<TrackCell>& grid, const std::vector<Placed>& cells) {
      for (const Placed& p : cells) {
        grid.at(static_cast<std::size_t>(p.cell)).cell_type = p.type;
        grid.at(static_cast<std::size_t>(p.cell)).value_1 = p.value;
      }
    };
    apply(compiler.grid, c.before);
    std::vector<TrackCell> expected = compiler.grid;
    apply(expected, c.changed);

    compiler.grid_pass();
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(compiler.grid[i].cell_type, expected[i].cell_type) << "cell " << i;
      EXPECT_EQ(compiler.grid[i].value_1, expected[i].value_1) << "cell " << i;
    }
    EXPECT_EQ(compiler.error_code, c.code);
    if (c.code != 0) {
      EXPECT_EQ(compiler.error_position, c.position);
    } else {
      EXPECT_TRUE(compiler.recorded_codes.empty());
    }
  }
}

TEST(GridPass, MarkersBeforeSignalsWithin20CellsBeforeAWarning) {
  run_pass_cases({
      {"two signals, one too far", {{30, kWarn}, {12, kSig}, {25, kSig}, {9, kSig}}, {marker(11), marker(24)}},
      {"a signal in cell 2 is not considered", {{5, kWarn}, {2, kSig}}, {}},
      {"a signal in cell 3 is", {{6, kWarn}, {3, kSig}}, {marker(2)}},
      {"the cell before is taken", {{30, kWarn}, {25, kSig}, {24, kBusy}}, {marker(23)}},
      {"a tunnel mark is free", {{30, kWarn}, {25, kSig}, {24, kTunnelMark}}, {marker(24)}},
      {"an abbattimento point above 180 is lowered",
       {{30, kWarn}, {25, kSig}, {24, kAbb, 200}, {23, kBusy}},
       {{24, kAbb, 180}}},
      {"one below 180 stays", {{30, kWarn}, {25, kSig}, {24, kAbb, 120}, {23, kBusy}}, {}},
      {"a free second cell gets a marker instead", {{30, kWarn}, {25, kSig}, {24, kAbb, 200}}, {marker(23)}},
      {"the second cell's point is lowered",
       {{30, kWarn}, {25, kSig}, {24, kBusy}, {23, kAbb, 250}},
       {{23, kAbb, 180}}},
      {"no room: code 11", {{30, kWarn}, {25, kSig}, {24, kBusy}, {23, kBusy}}, {}, 11, 1250},
  });
}

TEST(GridPass, MarkersBeforeASlowdownStart) {
  run_pass_cases({
      {"start at 7: none", {{7, kStart, 120}, {9, kEnd}}, {}},
      {"start at 8: the first group", {{8, kStart, 120}, {10, kEnd}}, {marker(3)}},
      {"start at 21: all three groups", {{21, kStart, 120}, {23, kEnd}}, {marker(16), marker(10), marker(3)}},
      {"first free cell of a group",
       {{21, kStart, 120}, {23, kEnd}, {16, kBusy}, {15, kBusy}},
       {marker(14), marker(10), marker(3)}},
      {"a full group is code 12, the others still get theirs",
       {{21, kStart, 120}, {23, kEnd}, {16, kBusy}, {15, kBusy}, {14, kBusy}},
       {marker(10), marker(3)},
       12,
       1050},
      {"down to cell 1", {{8, kStart, 120}, {10, kEnd}, {3, kBusy}, {2, kBusy}}, {marker(1)}},
  });
}

TEST(GridPass, MarkersInsideASlowdownBelow110) {
  const std::vector<Placed> slow = {{30, kStart, 109}, {50, kEnd}};
  const std::vector<Placed> before_start = {marker(25), marker(19), marker(12)};
  auto with = [](std::vector<Placed> a, const std::vector<Placed>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  run_pass_cases({
      {"every 8 cells", slow, with(before_start, {marker(38), marker(46)})},
      {"none at 110", {{30, kStart, 110}, {50, kEnd}}, before_start},
      {"end 7 cells after the start", {{30, kStart, 50}, {37, kEnd}}, before_start},
      {"end 8 cells after: the cell before it", {{30, kStart, 50}, {38, kEnd}}, with(before_start, {marker(37)})},
      {"then the cell after it", {{30, kStart, 50}, {38, kEnd}, {37, kBusy}}, with(before_start, {marker(39)})},
      {"spacing counts from the marker placed",
       {{30, kStart, 50}, {60, kEnd}, {38, kBusy}},
       with(before_start, {marker(37), marker(45), marker(53)})},
      {"spacing after a marker one cell late",
       {{30, kStart, 50}, {60, kEnd}, {38, kBusy}, {37, kBusy}},
       with(before_start, {marker(39), marker(47), marker(55)})},
      {"no room: code 13 and no more markers",
       {{30, kStart, 50}, {60, kEnd}, {37, kBusy}, {38, kBusy}, {39, kBusy}},
       before_start,
       13,
       1900},
      {"at the grid's end",
       {{92, kStart, 50}, {100, kEnd}, {99, kBusy}},
       {marker(87), marker(81), marker(74)},
       13,
       5000},
  });
}

TEST(GridPass, AMarkerBeforeTheFirstSignalWithin12CellsAfterTheEnd) {
  const std::vector<Placed> before_start = {marker(25), marker(19), marker(12)};
  auto with = [](std::vector<Placed> a, const std::vector<Placed>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  run_pass_cases({
      {"12 cells after", {{30, kStart, 120}, {40, kEnd}, {52, kSig}}, with(before_start, {marker(51)})},
      {"13 cells after", {{30, kStart, 120}, {40, kEnd}, {53, kSig}}, before_start},
      {"only the first signal",
       {{30, kStart, 120}, {40, kEnd}, {45, kSig}, {50, kSig}},
       with(before_start, {marker(44)})},
      {"the second cell before it",
       {{30, kStart, 120}, {40, kEnd}, {45, kSig}, {44, kBusy}},
       with(before_start, {marker(43)})},
      {"no room: code 13 at the end cell",
       {{30, kStart, 120}, {40, kEnd}, {45, kSig}, {44, kBusy}, {43, kBusy}},
       before_start,
       13,
       2000},
      {"slow or not", {{30, kStart, 60}, {34, kEnd}, {36, kSig}}, with(before_start, {marker(35)})},
      {"past the grid's end",
       {{80, kStart, 120}, {95, kEnd}, {99, kSig}},
       {marker(75), marker(69), marker(62), marker(98)}},
  });
}

// A start with no end cell after it gets the groups before it and nothing
// else: no markers inside, no check after.
TEST(GridPass, ASlowdownWithNoEndCellGetsOnlyTheMarkersBeforeIt) {
  run_pass_cases({
      {"no end", {{30, kStart, 50}, {41, kSig}}, {marker(25), marker(19), marker(12)}},
      {"an end only before it", {{30, kStart, 50}, {28, kEnd}, {41, kSig}}, {marker(25), marker(19), marker(12)}},
  });
}

// ---- the driver ----

class Driver : public testing::CompileFixture {};

// The guards run after the pass: an object in cell 1 that sets value_1 or
// value_2 ends the run before any binary file is written.
TEST_F(Driver, AnObjectInCellOneEndsTheRunWithErrore) {
  struct Case {
    const char* what;
    std::vector<std::string> train_records;
    std::vector<std::string> line_records;
    const char* errore;  // nullptr: the run completes
  };
  const Case cases[] = {
      {"a signal at 0 m", {signal_record(0)}, {}, "1250"},
      {"a signal at 24 m", {signal_record(24)}, {}, "1250"},
      {"a signal at 25 m is in cell 2", {signal_record(25)}, {}, nullptr},
      {"a signal whose second value only is set", {signal_record(10, "1, 0, 1, 0, 0, 1, 0, 1, 0, 0")}, {}, "1251"},
      {"a signal with no values", {signal_record(10, "0, 0, 0, 0, 0, 0, 0, 0, 0, 0")}, {}, nullptr},
      {"a speed board", {}, {"indicatori_vmax, 10, 80, 80, 80, 0, 80, 80, 80, 0"}, "1250"},
      {"an abbattimento point with a value", {"abbattimento, 50, 90"}, {}, "1250"},
      {"an abbattimento point without one", {"abbattimento, 50, 0"}, {}, nullptr},
      {"a marker of the pass in cell 1",
       {signal_record(50), signal_record(100), "rallentamento, 350, 60, 1000, 0, 0, 0"},
       {},
       "1250"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFolder files;
    files.write(names.line_file(), line_source(c.line_records));
    files.write(names.train_file(), train_source(c.train_records));
    Compiler fresh(files);
    std::int32_t full = 1;
    if (c.errore) {
      try {
        fresh.memorizza_percorso(full);
        ADD_FAILURE() << "no errore";
      } catch (const ErroreAbort& e) {
        EXPECT_EQ(e.code(), c.errore);
      }
      EXPECT_TRUE(files.files().empty()) << "a file was left or written";
    } else {
      fresh.memorizza_percorso(full);
      EXPECT_EQ(fresh.error_code, 0);
      EXPECT_EQ(files.files().size(), 3u);
    }
  }
}

TEST_F(Driver, TwoErrorsInOneRunLeaveTheLaterOneAndBothAreKept) {
  // Slowdown start in cell 21 and end in 41; cells 16, 15, 14 taken by
  // signals; the signal in cell 43 has the end cell and an abbattimento
  // point before it.
  put_sources(line_source({}),
              train_source({signal_record(650), signal_record(700), signal_record(750), signal_record(2100),
                            "abbattimento, 2100, 0", "rallentamento, 1000, 120, 1000, 0, 0, 0"}));
  compile();
  EXPECT_EQ(codes(), (std::vector<std::int32_t>{12, 13}));
  EXPECT_EQ(compiler.recorded_codes[0].position, 1050);
  EXPECT_EQ(compiler.recorded_codes[1].position, 2050);
  EXPECT_EQ(compiler.error_code, 13);
  EXPECT_EQ(compiler.error_position, 2050);
  EXPECT_TRUE(folder.exists(names.track_plan_file()));
  EXPECT_TRUE(folder.exists(names.parameter_file()));
  EXPECT_TRUE(folder.exists(names.grid_file()));
}

TEST_F(Driver, ACompileStartsFromNothingLeftByAnEarlierOne) {
  put_sources(line_source({"curvad4, 3800, 200"}, 155000),
              train_source({station_record(1000, 2, 400), signal_record(5000), "sabbia, 5"}));
  compile();
  ASSERT_EQ(compiler.last_cell, 3240);

  put_sources(line_source({}), train_source({"velocita, 0, 1300", "velocita, 100, 80"}));
  compile();
  EXPECT_EQ(codes(), std::vector<std::int32_t>{25});
  ASSERT_EQ(compiler.last_cell, 340);
  EXPECT_EQ(compiler.grid.size(), 341u);
  EXPECT_EQ(compiler.track_plan.size(), 17001u);
  EXPECT_EQ(cell(101).cell_type, kNoObject);
  EXPECT_EQ(cell(23).cell_type, kNoObject);
  EXPECT_EQ(slot(1), ParameterRecord{});
  EXPECT_EQ(slot(kSettingsSlot).num_a, 0);
  EXPECT_EQ(compiler.track_plan.x[3900], 0.0);

  put_sources(line_source({}));
  compile();
  EXPECT_TRUE(compiler.recorded_codes.empty());
  EXPECT_EQ(compiler.error_code, 0);
}

}  // namespace
}  // namespace scenario
