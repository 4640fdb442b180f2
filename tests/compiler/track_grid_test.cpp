// The marking routines on a bare track grid.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "compile_fixture.h"
#include "compiler/compiler.h"
#include "compiler/numeric.h"

namespace scenario {
namespace {

using testing::give_grid;

class MarkingRoutines : public testing::GridFixture {};

std::vector<std::int64_t> range(std::int64_t from, std::int64_t to, std::int64_t step = 1) {
  std::vector<std::int64_t> out;
  for (std::int64_t c = from; c <= to; c += step) out.push_back(c);
  return out;
}

// ---- position to cell ----

TEST_F(MarkingRoutines, APositionBelongsToTheCellOfItsRoundedFiftieth) {
  struct Case {
    std::int32_t position;
    std::int64_t cell;
  };
  const Case cases[] = {{0, 1}, {24, 1}, {25, 2}, {26, 2}, {75, 2}, {76, 3}, {125, 4}, {175, 4}, {56300, 1127}};
  for (const Case& c : cases) {
    give_grid(compiler, 3240);
    compiler.memo_segnale(c.position, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(cells_of_type(kSignal), std::vector<std::int64_t>{c.cell}) << c.position;
  }
}

// ---- tunnels ----

TEST_F(MarkingRoutines, TunnelsOfTypeElevenGetTypeOneAndAMarkInEveryFourthCell) {
  compiler.memo_montagna(800, 2750, 11);
  compiler.memo_montagna(3400, 3700, 11);
  for (std::int64_t c = 0; c <= 80; ++c) {
    const bool first = c >= 16 && c <= 54;
    const bool second = c >= 68 && c <= 73;
    EXPECT_EQ(cell(c).tunnel_type, first || second ? 1 : 0) << c;
  }
  std::vector<std::int64_t> marks = range(19, 51, 4);
  marks.push_back(71);
  EXPECT_EQ(cells_of_type(kTunnelMark), marks);
  EXPECT_EQ(compiler.tunnel_counter, 2);
  EXPECT_EQ(compiler.tunnel_start[1], 800);
  EXPECT_EQ(compiler.tunnel_end[1], 2750);
  EXPECT_EQ(compiler.tunnel_start[2], 3400);
  EXPECT_EQ(compiler.tunnel_end[2], 3700);
  EXPECT_EQ(compiler.error_code, 0);
}

TEST_F(MarkingRoutines, ATunnelMarksOnlyEmptyCells) {
  put(19, kSpeedBoard, 1616);
  compiler.memo_montagna(800, 2750, 11);
  EXPECT_EQ(cell(19).cell_type, kSpeedBoard);
  EXPECT_EQ(cell(19).value_1, 1616);
  EXPECT_EQ(cell(19).tunnel_type, 1);
  EXPECT_EQ(cell(23).cell_type, kTunnelMark);
}

TEST_F(MarkingRoutines, TunnelTypeAndMarksFollowTipo) {
  struct Case {
    std::int32_t tipo;
    std::uint8_t tunnel_type;
    bool marks;
  };
  const Case cases[] = {{11, 1, true}, {12, 2, true}, {10, 10, false}, {3, 3, false}, {0, 0, false}};
  for (const Case& c : cases) {
    give_grid(compiler, 340);
    compiler.tunnel_counter = 0;
    compiler.memo_montagna(800, 2750, c.tipo);
    EXPECT_EQ(cell(30).tunnel_type, c.tunnel_type) << c.tipo;
    EXPECT_EQ(cells_of_type(kTunnelMark).size(), c.marks ? 9u : 0u) << c.tipo;
  }
}

// The type-3 rule compares the start with the end of the previous record in
// file order, whatever lies nearer.
TEST_F(MarkingRoutines, ATunnelCloseAfterThePreviousRecordGetsTypeThree) {
  struct Case {
    std::vector<std::array<std::int32_t, 3>> tunnels;
    std::uint8_t last_type;
  };
  const Case cases[] = {
      {{{13850, 16900, 11}, {16950, 20000, 11}}, 3},
      {{{13850, 16900, 11}, {17050, 20000, 11}}, 3},  // exactly 150 m after
      {{{13850, 16900, 11}, {17051, 20000, 11}}, 1},
      {{{13850, 16900, 12}, {10000, 12000, 12}}, 3},  // begins before the previous end
      {{{5000, 6000, 11}, {1000, 2000, 11}, {6100, 7000, 11}}, 1},
      {{{800, 820, 11}, {900, 2000, 11}}, 3},  // the first marks no cell but still counts
  };
  for (const Case& c : cases) {
    give_grid(compiler, 500);
    compiler.tunnel_counter = 0;
    for (const auto& t : c.tunnels) compiler.memo_montagna(t[0], t[1], t[2]);
    const auto& last = c.tunnels.back();
    EXPECT_EQ(cell(round32(last[0] / 50.0)).tunnel_type, c.last_type) << last[0];
    EXPECT_EQ(compiler.tunnel_counter, static_cast<std::int32_t>(c.tunnels.size()));
  }
}

TEST_F(MarkingRoutines, ATypeThreeTunnelKeepsItsMarks) {
  give_grid(compiler, 500);
  compiler.memo_montagna(13850, 16900, 11);
  compiler.memo_montagna(16950, 20000, 11);  // cells 339 to 399
  EXPECT_EQ(cell(339).tunnel_type, 3);
  EXPECT_EQ(cell(342).tunnel_type, 3);
  EXPECT_EQ(cell(342).cell_type, kTunnelMark);
}

TEST_F(MarkingRoutines, ATunnelThatMarksNoCellStillCounts) {
  compiler.memo_montagna(800, 820, 11);  // cells 16 to 15
  for (const TrackCell& c : compiler.grid) EXPECT_EQ(c, TrackCell{});
  EXPECT_EQ(compiler.tunnel_counter, 1);
  EXPECT_EQ(compiler.tunnel_end[1], 820);
}

TEST_F(MarkingRoutines, TunnelCellsPastTheEndOfTheGridAreSkipped) {
  compiler.memo_montagna(16500, 30000, 11);  // cells 330 to 599
  EXPECT_EQ(compiler.grid.size(), 341u);
  EXPECT_EQ(cell(329).tunnel_type, 0);
  for (std::int64_t c = 330; c <= 340; ++c) EXPECT_EQ(cell(c).tunnel_type, 1) << c;
  // Marks are counted from the tunnel's first cell.
  EXPECT_EQ(cells_of_type(kTunnelMark), (std::vector<std::int64_t>{333, 337}));
}

TEST_F(MarkingRoutines, PastEightyTunnelsTheTablesKeepTheFirstAndTheGridIsStillMarked) {
  give_grid(compiler, 3240);
  // 82 tunnels of 100 m, 1000 m apart; the 82nd starts 100 m after the 81st.
  for (int n = 1; n <= 81; ++n) compiler.memo_montagna(n * 1000, n * 1000 + 100, 10);
  compiler.memo_montagna(81 * 1000 + 200, 81 * 1000 + 400, 10);
  EXPECT_EQ(compiler.tunnel_counter, 82);
  EXPECT_EQ(compiler.tunnel_start[80], 80000);
  EXPECT_EQ(compiler.tunnel_end[80], 80100);
  EXPECT_EQ(cell(1620).tunnel_type, 10);  // the 81st: 81000 to 81100
  EXPECT_EQ(cell(1624).tunnel_type, 3);   // the 82nd, 100 m after the 81st
}

// ---- slowdowns ----

TEST_F(MarkingRoutines, ASlowdownAt1500HasNoWarningAndNoCountdown) {
  compiler.memo_rallentamento(1500, 60, 1000, 7, 1, 9);
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cells_of_type(kSlowdownStart), std::vector<std::int64_t>{31});
  EXPECT_EQ(cells_of_type(kSlowdownEnd), std::vector<std::int64_t>{51});
  EXPECT_TRUE(cells_of_type(kSlowdownWarning).empty());
  EXPECT_TRUE(cells_of_type(kWarningCountdown).empty());
  for (std::int64_t c : {31, 51}) {
    EXPECT_EQ(cell(c).value_1, 60);
    EXPECT_EQ(cell(c).value_2, 9);
    EXPECT_EQ(cell(c).value_3, 7);
  }
}

TEST_F(MarkingRoutines, ASlowdownAt1501HasAWarningAndCountdownBeforeIt) {
  compiler.memo_rallentamento(1501, 60, 1000, 7, 1, 9);
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cells_of_type(kSlowdownWarning), std::vector<std::int64_t>{7});
  EXPECT_EQ(cell(7).value_1, 60);
  EXPECT_EQ(cell(7).value_2, 9);
  EXPECT_EQ(cell(7).value_3, 0);
  EXPECT_EQ(cells_of_type(kWarningCountdown), (std::vector<std::int64_t>{3, 4, 5, 6}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(cell(6 - i).value_1, i + 1);
    EXPECT_EQ(cell(6 - i).value_2, i + 1);
  }
  EXPECT_EQ(cells_of_type(kSlowdownStart), std::vector<std::int64_t>{31});
  EXPECT_EQ(cells_of_type(kSlowdownEnd), std::vector<std::int64_t>{51});
}

TEST_F(MarkingRoutines, WithoutDvTheSecondValuesAreLeftAlone) {
  cell(6).value_2 = 77;  // an empty cell with a stray value
  compiler.memo_rallentamento(1501, 60, 1000, 7, 1, 0);
  EXPECT_EQ(cell(6).cell_type, kWarningCountdown);
  EXPECT_EQ(cell(6).value_2, 77);
  EXPECT_EQ(cell(5).value_2, 0);
  EXPECT_EQ(cell(7).value_2, 0);
  EXPECT_EQ(cell(31).value_2, 0);
}

TEST_F(MarkingRoutines, ASlowdownWithinOneCellIsAStartOnly) {
  compiler.memo_rallentamento(5000, 30, 10, 0, 0, 0);
  EXPECT_EQ(cells_of_type(kSlowdownStart), std::vector<std::int64_t>{101});
  EXPECT_TRUE(cells_of_type(kSlowdownEnd).empty());
}

TEST_F(MarkingRoutines, ARefusedSlowdownNamesItsCell) {
  struct Case {
    const char* what;
    std::int64_t blocked;
    std::int32_t l;
    std::int32_t code;
    std::vector<std::uint8_t> types_written;  // beside the blocker
  };
  // x = 5000: warning 77, countdown 76 to 73, start 101, end 121 (l = 1000).
  const Case cases[] = {
      {"warning", 77, 1000, 17, {}},
      {"start", 101, 1000, 18, {}},
      {"end", 121, 1000, 19, {}},
      {"end past the grid", -1, 20000, 19, {}},
      {"end before the grid", -1, -9000, 19, {}},
      {"countdown", 74, 1000, 20, {kSlowdownEnd, kSlowdownStart, kSlowdownWarning}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    give_grid(compiler, 340);
    compiler.error_code = 0;
    if (c.blocked >= 0) put(c.blocked, kSignal);
    compiler.memo_rallentamento(5000, 60, c.l, 7, 1, 9);
    EXPECT_EQ(compiler.error_code, c.code);
    std::vector<std::uint8_t> written;
    for (std::uint8_t t : {kSlowdownEnd, kSlowdownStart, kSlowdownWarning, kWarningCountdown})
      if (!cells_of_type(t).empty()) written.push_back(t);
    EXPECT_EQ(written, c.types_written);
  }
}

TEST_F(MarkingRoutines, ASlowdownReplacesTunnelMarks) {
  compiler.memo_montagna(4850, 5500, 11);               // cells 97 to 109, marks at 100 and 104
  compiler.memo_rallentamento(4950, 60, 200, 0, 0, 0);  // start 100, end 104
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(100).cell_type, kSlowdownStart);
  EXPECT_EQ(cell(104).cell_type, kSlowdownEnd);
}

// ---- signals ----

TEST_F(MarkingRoutines, TheSignalOfTheOverview) {
  give_grid(compiler, 3240);
  compiler.memo_segnale(56300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0);
  EXPECT_EQ(compiler.error_code, 0);
  const TrackCell& s = cell(1127);
  EXPECT_EQ(s.cell_type, kSignal);
  EXPECT_EQ(s.value_1, 42);
  EXPECT_EQ(s.value_2, 11);
  EXPECT_EQ(s.value_3, 0);
  EXPECT_EQ(s.value_4, 4);
  EXPECT_EQ(s.signal_time, 0);
  EXPECT_EQ(cell(1125).approach_code, 41);
  EXPECT_EQ(cell(1123).approach_code, 42);
  EXPECT_EQ(cell(1121).approach_code, 43);
  EXPECT_EQ(cell(1119).approach_code, 44);
  EXPECT_EQ(cell(1117).approach_code, 0);
  EXPECT_EQ(cell(1126).approach_code, 0);
}

TEST_F(MarkingRoutines, SignalTimeIsTempoRaisedTo101ForSxTwoOnly) {
  struct Case {
    std::int32_t sx;
    std::int32_t tempo;
    std::uint8_t signal_time;
  };
  const Case cases[] = {{2, 50, 101},  {2, 1, 101},  {2, 100, 101}, {2, 101, 101}, {2, 0, 0},
                        {2, 180, 180}, {2, 300, 44}, {2, -5, 251},  {1, 50, 0},    {0, 200, 0}};
  for (const Case& c : cases) {
    give_grid(compiler, 340);
    compiler.memo_segnale(5000, c.sx, 0, 0, 0, 0, 0, 0, 0, 0, c.tempo);
    EXPECT_EQ(cell(101).signal_time, c.signal_time) << c.sx << " " << c.tempo;
  }
}

TEST_F(MarkingRoutines, ASignalReplacesATunnelMarkButNotASpeedBoard) {
  put(101, kTunnelMark);
  compiler.memo_segnale(5000, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0);
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(101).cell_type, kSignal);

  give_grid(compiler, 340);
  put(101, kSpeedBoard, 1616);
  const std::vector<TrackCell> before = compiler.grid;
  compiler.memo_segnale(5000, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0);
  EXPECT_EQ(compiler.error_code, 16);
  EXPECT_EQ(compiler.grid, before);
}

TEST_F(MarkingRoutines, WhereTwoSignalsApproachCodesMeetTheLaterRecordWins) {
  compiler.memo_segnale(10000, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0);  // cell 201, codes 4x
  compiler.memo_segnale(10200, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0);  // cell 205, codes 8x
  EXPECT_EQ(cell(203).approach_code, 81);
  EXPECT_EQ(cell(201).approach_code, 82);  // the nearer signal's own cell
  EXPECT_EQ(cell(199).approach_code, 83);
  EXPECT_EQ(cell(197).approach_code, 84);
  EXPECT_EQ(cell(195).approach_code, 43);
  EXPECT_EQ(cell(193).approach_code, 44);
  EXPECT_EQ(cell(201).cell_type, kSignal);
}

TEST_F(MarkingRoutines, ApproachCodesBeforeTheOriginAreSkipped) {
  compiler.memo_segnale(10, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0);  // cell 1
  EXPECT_EQ(compiler.error_code, 0);
  EXPECT_EQ(cell(1).cell_type, kSignal);
  for (std::int64_t c = 0; c <= 340; ++c) EXPECT_EQ(cell(c).approach_code, 0) << c;

  give_grid(compiler, 340);
  compiler.memo_segnale(250, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0);  // cell 6
  EXPECT_EQ(cell(4).approach_code, 41);
  EXPECT_EQ(cell(2).approach_code, 42);
  EXPECT_EQ(cell(0).approach_code, 43);  // cell 0 is in the grid; cell -2 is not
}

TEST_F(MarkingRoutines, ASignalWhoseCellIsOutsideTheGridIsRefused) {
  for (std::int32_t position : {17000, 100000, -100, -2000000000}) {
    give_grid(compiler, 340);
    compiler.error_code = 0;
    compiler.memo_segnale(position, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0);
    EXPECT_EQ(compiler.error_code, 16) << position;
    for (const TrackCell& c : compiler.grid) EXPECT_EQ(c, TrackCell{});
  }
}

// ---- speed boards ----

TEST_F(MarkingRoutines, ASpeedBoardRoundsEachSumOnce) {
  compiler.memo_indicatori_v_max(800, 80, 80, 80, 0, 80, 80, 80, 0);
  EXPECT_EQ(cell(17).cell_type, kSpeedBoard);
  EXPECT_EQ(cell(17).value_1, 1616);
  EXPECT_EQ(cell(17).value_2, 1616);
  EXPECT_EQ(cell(17).value_3, 1616);
  EXPECT_EQ(cell(17).value_4, 0);

  // 2407.4, 2612.6 and 2000.2; stripes 2 and 1.
  compiler.memo_indicatori_v_max(2000, 120, 130, 100, 2, 37, 63, 1, 1);
  EXPECT_EQ(cell(41).value_1, 2407);
  EXPECT_EQ(cell(41).value_2, 2613);
  EXPECT_EQ(cell(41).value_3, 2000);
  EXPECT_EQ(cell(41).value_4, 21);
}

TEST_F(MarkingRoutines, ASpeedBoardOnAnOccupiedCellIsRefused) {
  put(17, kIndicatorBoard, 80);
  compiler.memo_indicatori_v_max(800, 80, 80, 80, 0, 80, 80, 80, 0);
  EXPECT_EQ(compiler.error_code, 21);
  EXPECT_EQ(cell(17).cell_type, kIndicatorBoard);
  EXPECT_EQ(cell(17).value_1, 80);
}

TEST_F(MarkingRoutines, ASpeedBoardValueOutside16BitsIsARunTimeFailure) {
  EXPECT_THROW(compiler.memo_indicatori_v_max(800, 1700, 80, 80, 0, 0, 80, 80, 0), NumericFailure);
}

}  // namespace
}  // namespace scenario
