// The driver documents made from a scenario's sources: the golden scenario
// byte for byte, the sheets and forms continued, the row template's cut, and
// the command.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "scenario_sources.h"
#include "sources/slowdown_form.h"
#include "sources/slowdown_order.h"
#include "sources/train_sheet.h"
#include "test_support.h"
#include "tools/cli.h"
#include "tools/tool_runner.h"

namespace scenario::tool {
namespace {

namespace fs = std::filesystem;
using scenario::testing::read_file;
using scenario::testing::TempDir;
using testing::documents_of;
using testing::lines_of;
using testing::Sources;

using testing::Result;
using testing::tool;

const std::string kBlankRow = " |     |     |          |     |                            |                |     |";

// The columns of the bars of a line.
std::vector<std::size_t> bars(const std::string& line) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < line.size(); ++i)
    if (line[i] == '|') at.push_back(i);
  return at;
}

// The golden scenario (tests/tools/documents/golden): three stations and a
// placeholder record, a station name longer than its cell, two speed
// changes, a tunnel and two slowdowns, with the documents expected of it in
// golden/expected. SCENARIO_UPDATE_GOLDEN=1 rewrites them after a deliberate
// change of the layouts; review the difference before committing it.
TEST(GoldenScenario, DocumentsAreTheFilesBesideIt) {
  const fs::path golden = DOCUMENTS_GOLDEN_DIR;
  // The sources copied to a folder of the platform's own: on Windows a path
  // that opens with "/" reads as an option.
  TempDir sources, out;
  for (const char* name : {"Valdora_linea.txt", "Valdora_R 2041-.txt"}) fs::copy_file(golden / name, sources / name);
  const Result r = tool({"documents", sources.path().string(), "-o", out.path().string(), "--html"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const bool update = std::getenv("SCENARIO_UPDATE_GOLDEN") != nullptr;
  for (const char* name :
       {"Valdora_R 2041_scheda_treno.txt", "Valdora_R 2041_rallentamenti.txt", "Valdora_R 2041_documenti.html"}) {
    SCOPED_TRACE(name);
    const std::optional<std::string> made = read_file(out / name);
    ASSERT_TRUE(made);
    const fs::path expected = golden / "expected" / name;
    if (update) {
      fs::create_directories(expected.parent_path());
      scenario::testing::write_file(expected, *made);
      std::cout << "rewrote " << expected.string() << "\n";
      continue;
    }
    const std::optional<std::string> want = read_file(expected);
    ASSERT_TRUE(want) << "no " << expected.string() << "; SCENARIO_UPDATE_GOLDEN=1 writes it";
    EXPECT_EQ(*made, *want) << "SCENARIO_UPDATE_GOLDEN=1 rewrites it after a deliberate change";
  }
}

TEST(GoldenScenario, TheModelHoldsWhatTheSourcesSay) {
  MemoryFolder folder;
  const RunNames names{"Valdora", "R 2041"};
  const fs::path golden = DOCUMENTS_GOLDEN_DIR;
  folder.write(names.line_file(), read_file(golden / names.line_file()).value());
  folder.write(names.train_file(), read_file(golden / names.train_file()).value());
  const ScenarioDocuments d = make_documents(folder, "golden", names);
  ASSERT_TRUE(d.outcome.recorded.empty());
  const DocumentModel& m = d.model;
  EXPECT_EQ(m.category, "R");
  EXPECT_EQ(m.train_number, "2041");
  EXPECT_EQ(m.braked_percentage, 90);
  EXPECT_EQ(m.placeholder_stations, 1);  // "Nome Stazione", kind 26
  ASSERT_EQ(m.stations.size(), 4u);
  // Origin, a passing point, a stop, the destination; speeds at 0 (on the
  // origin's row), 2500 and 11000; the tunnel's mouth at 6000.
  struct Row {
    RowKind kind;
    std::int32_t position;
    std::optional<std::int32_t> speed;
  };
  const std::vector<Row> want = {{RowKind::station, 100, 80},  {RowKind::speed_board, 2500, 120},
                                 {RowKind::station, 5000, {}}, {RowKind::tunnel_mouth, 6000, {}},
                                 {RowKind::station, 9000, {}}, {RowKind::speed_board, 11000, 90},
                                 {RowKind::station, 18000, {}}};
  ASSERT_EQ(m.rows.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(m.rows[i].kind, want[i].kind);
    EXPECT_EQ(m.rows[i].position, want[i].position);
    EXPECT_EQ(m.rows[i].speed, want[i].speed);
  }
  // The train file's times as they stand; the stop's arrival two minutes
  // before its departure; the passing time between the two.
  EXPECT_EQ(m.rows[0].departure, 8 * 3600);
  EXPECT_EQ(m.rows[4].departure, 8 * 3600 + 600);
  EXPECT_EQ(m.rows[4].arrival, 8 * 3600 + 600 - kDwellSeconds);
  EXPECT_EQ(m.rows[6].arrival, 8 * 3600 + 22 * 60);
  ASSERT_TRUE(m.rows[2].passing);
  EXPECT_GT(*m.rows[2].passing, 8 * 3600);
  EXPECT_LT(*m.rows[2].passing, *m.rows[4].arrival);
  // The name longer than its cell is cut at the cell's edge.
  const std::vector<std::string> lines = lines_of(d.train_sheet);
  const auto row = std::find_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.find("Santa Maria") != std::string::npos; });
  ASSERT_NE(row, lines.end());
  EXPECT_EQ(*row, " |     |     |  9+000   |     |Santa Maria Maddalena in Val| 08:08   08:10  |     |");
  ASSERT_EQ(m.slowdowns.size(), 2u);
  EXPECT_EQ(m.slowdowns[0].stations, "Valdora - Bivio Prati");
  // Too long for the cell in full: both names as the header abbreviates them.
  EXPECT_EQ(m.slowdowns[1].stations, "SANTA MARI. - CASTELV. C.");
}

// A value wider than its cell is cut there: the bars stay where the blank
// row has them.
TEST(RowTemplate, CutsWhatDoesNotFitItsCell) {
  struct Case {
    const char* what;
    SheetRow row;
    const char* kilometres;
  };
  const std::string long_name = "Stazione di Santa Maria Maddalena in Val di Colle";
  const Case cases[] = {
      {"a name longer than its cell", {kNoSpeed, 12345, long_name, passes({8, 5})}, " 12+345   "},
      {"kilometres of four digits", {90, 1005000, "Fine", arrives({23, 59})}, "1005+000  "},
      {"a position before the origin", {90, -400, "Inizio", departs({0, 0})}, " -0+400   "},
      {"a speed of four digits", {1275, 0, "Veloce", kNoTime}, "  0+000   "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string line = sheet_row(c.row);
    EXPECT_EQ(line.size(), kBlankRow.size());
    EXPECT_EQ(bars(line), bars(kBlankRow));
    EXPECT_EQ(line.substr(14, 10), c.kilometres);
  }
  EXPECT_EQ(sheet_row(cases[0].row).substr(31, 28), long_name.substr(0, 28));
}

TEST(Sheets, RangesRepeatTheRowThatEndsASheet) {
  using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;
  const std::pair<std::size_t, Ranges> cases[] = {
      {0, {{0, 0}}},
      {31, {{0, 31}}},
      {32, {{0, 31}, {30, 32}}},
      {61, {{0, 31}, {30, 61}}},
      {62, {{0, 31}, {30, 61}, {60, 62}}},
  };
  for (const auto& [rows, want] : cases) EXPECT_EQ(sheet_ranges(rows), want) << rows << " rows";
}

// Forty stations 1 km apart and a speed change between each two: 79 rows.
Sources long_run() {
  Sources s;
  s.route_length = 50000;
  s.speeds.clear();
  for (int i = 0; i < 40; ++i) {
    const bool end = i == 0 || i == 39;
    s.stations.push_back(
        {1000 + 1000 * i, 22, 400, end ? 9 : 0, end ? (i == 0 ? 0 : 40) : 0, "Stazione " + std::to_string(i + 1)});
    s.speeds.push_back({1000 * i + 500, i % 2 == 0 ? 100 : 120});
  }
  return s;
}

TEST(Sheets, RowsContinueOnAsManySheetsAsTheyNeed) {
  const ScenarioDocuments d = documents_of(long_run());
  ASSERT_EQ(d.model.rows.size(), 79u);
  ASSERT_EQ(d.train_sheet.pages.size(), 3u);  // 31, 31 and 19 rows: rows 30 and 60 twice
  std::vector<std::string> rows;
  for (std::size_t p = 0; p < 3; ++p) {
    const std::vector<std::string>& page = d.train_sheet.pages[p];
    EXPECT_NE(page[1].find("SCHEDA " + std::to_string(p + 1) + "/3"), std::string::npos) << page[1];
    // Rows run from the table's rule to its closing one.
    std::vector<std::string> sheet_rows(page.begin() + 14, page.end() - 1);
    EXPECT_EQ(sheet_rows.size(), p < 2 ? 31u : 19u);
    if (!rows.empty()) {
      EXPECT_EQ(sheet_rows.front(), rows.back()) << "sheet " << p + 1;
    }
    rows.insert(rows.end(), sheet_rows.begin() + (rows.empty() ? 0 : 1), sheet_rows.end());
  }
  EXPECT_EQ(rows.size(), 79u);
  // Each sheet runs from its first station to its last.
  EXPECT_NE(d.train_sheet.pages[1][2].find("da: STAZIONE 16"), std::string::npos) << d.train_sheet.pages[1][2];
  EXPECT_NE(d.train_sheet.pages[1][3].find("a: STAZIONE 31"), std::string::npos) << d.train_sheet.pages[1][3];
  // The text file: the sheets one after the other, parted as the fixed
  // sheet parts its first two.
  const std::vector<std::string> lines = lines_of(d.train_sheet);
  EXPECT_EQ(lines.size(), 2 + (46 + 5) * 2 + 34 + 3u);
  EXPECT_EQ(lines[2 + 46 + 2], std::string(81, '.'));
}

TEST(Sheets, NoStationsLeavesTheBoardsAndTunnelsWithoutTimes) {
  Sources s;
  s.speeds = {{0, 80}, {5000, 120}};
  s.tunnels = {{8000, 9000}};
  const ScenarioDocuments d = documents_of(s);
  ASSERT_EQ(d.model.rows.size(), 3u);
  for (const DocumentRow& r : d.model.rows) EXPECT_FALSE(r.arrival || r.departure || r.passing);
  const std::vector<std::string>& page = d.train_sheet.pages.at(0);
  EXPECT_EQ(d.train_sheet.pages.size(), 1u);
  EXPECT_NE(page[1].find("SCHEDA 1/1"), std::string::npos);
  EXPECT_EQ(page[2], " |   TRENO n.2041    |                   da: xxxxxx                |    Vxxx C    |");
  EXPECT_EQ(page[3], " |___________________|                    a: xxxxxx                |      80%     |");
  EXPECT_EQ(page[14], " | 80  |     |  0+000   |     |Cartello Indicatore         |                |     |");
  EXPECT_EQ(page[16], " |     |     |  8+000   |     |Imbocco Galleria            |                |     |");
  // Nothing at all: one empty form.
  Sources empty;
  empty.speeds.clear();
  const ScenarioDocuments none = documents_of(empty);
  ASSERT_EQ(none.train_sheet.pages.size(), 1u);
  EXPECT_EQ(none.train_sheet.pages[0][14], kBlankRow);
  EXPECT_EQ(none.train_sheet.pages[0].size(), 14 + 31 + 1u);
}

// The compiler's tunnel tables keep 80 tunnels; the sheet has every mouth.
TEST(Sheets, EveryTunnelMouthBeyondTheTablesEighty) {
  Sources s;
  s.route_length = 40000;
  for (int i = 0; i < 90; ++i) s.tunnels.push_back({1000 + 400 * i, 1000 + 400 * i + 200});
  const ScenarioDocuments d = documents_of(s);
  ASSERT_EQ(d.model.rows.size(), 91u);  // the speed board at 0 and 90 mouths
  for (int i = 0; i < 90; ++i) {
    const DocumentRow& r = d.model.rows[static_cast<std::size_t>(i) + 1];
    EXPECT_EQ(r.kind, RowKind::tunnel_mouth);
    EXPECT_EQ(r.position, 1000 + 400 * i);
  }
  EXPECT_EQ(d.train_sheet.pages.size(), 3u);  // rows 0-30, 30-60, 60-90
}

TEST(Timetable, RunsPastMidnight) {
  Sources s;
  s.speeds = {{0, 120}};
  s.stations = {{1000, 2, 600, 23, 50, "Prima"},
                {8000, 22, 400, 0, 0, "Seconda"},
                {15000, 2, 600, 0, 5, "Terza"},
                {19000, 5, 600, 0, 0, "Quarta"}};
  const ScenarioDocuments d = documents_of(s);
  const std::vector<DocumentRow>& r = d.model.rows;
  ASSERT_EQ(r.size(), 4u);
  const double day = 86400;
  EXPECT_EQ(r[0].departure, 23 * 3600 + 50 * 60);
  EXPECT_EQ(r[2].departure, day + 5 * 60);
  EXPECT_EQ(r[2].arrival, day + 5 * 60 - kDwellSeconds);
  ASSERT_TRUE(r[1].passing && r[3].arrival);
  EXPECT_GT(*r[1].passing, *r[0].departure);
  EXPECT_LT(*r[1].passing, *r[2].arrival);
  // No time at the destination: on from the last stop at running time, 4 km
  // at 120 km/h from rest to rest.
  EXPECT_GT(*r[3].arrival, *r[2].departure + 120);
  EXPECT_LT(*r[3].arrival, *r[2].departure + 240);
  const std::vector<std::string>& page = d.train_sheet.pages.at(0);
  EXPECT_EQ(page[14].substr(60, 16), "         23:50  ");
  EXPECT_EQ(page[16].substr(60, 16), " 00:03   00:05  ");
  EXPECT_EQ(timetable_clock(day + 3 * 60 + 29).minutes, 3);
  EXPECT_EQ(timetable_clock(day + 3 * 60 + 30).minutes, 4);
  EXPECT_EQ(timetable_clock(day - 29).hours, 0);
  EXPECT_EQ(timetable_clock(-31).hours, 23);
}

// A train file with no time at any station: the run starts by the clock and
// every other time is running time.
TEST(Timetable, WithoutTimesTheRunStartsByTheClock) {
  Sources s;
  s.speeds = {{0, 72}};
  s.stations = {{1000, 2, 600, 0, 0, "Prima"}, {11000, 5, 600, 0, 0, "Ultima"}};
  s.clock = "6, 30, 0";
  const ScenarioDocuments d = documents_of(s);
  ASSERT_EQ(d.model.rows.size(), 2u);
  EXPECT_EQ(d.model.rows[0].departure, 6 * 3600 + 30 * 60);
  // 10 km at 72 km/h (20 m/s), starting at 0.4 m/s² and stopping at 0.5 m/s².
  EXPECT_NEAR(*d.model.rows[1].arrival, 6 * 3600 + 30 * 60 + 500 + 25 + 20, 1);
  s.clock.clear();
  const ScenarioDocuments no_clock = documents_of(s);
  for (const DocumentRow& r : no_clock.model.rows) EXPECT_FALSE(r.arrival || r.departure || r.passing);
}

// A station record far outside the line ends the parse (its stop cell is
// outside the grid) but stays in the table: no running time is computed over
// the two thousand kilometres to it, and its row keeps its cells.
TEST(Timetable, AStationFarOutsideTheLineGetsNoComputedTime) {
  Sources s;
  s.stations = {{1000, 2, 600, 8, 0, "Vicina"}, {-2000000000, 2, 600, 0, 0, "Lontana"}};
  const ScenarioDocuments d = documents_of(s, false);
  ASSERT_EQ(d.outcome.recorded.size(), 1u);
  EXPECT_EQ(d.outcome.recorded[0].code, 24);
  ASSERT_EQ(d.model.stations.size(), 2u);
  // Stations in position order: the far one is the origin, so the near one
  // with its time is the destination.
  EXPECT_EQ(d.model.rows.back().location, "Vicina");
  EXPECT_EQ(d.model.rows.back().arrival, 8 * 3600);
  EXPECT_FALSE(d.model.rows.front().departure);
  EXPECT_EQ(bars(lines_of(d.train_sheet).at(16)), bars(kBlankRow)) << lines_of(d.train_sheet).at(16);
}

TEST(SlowdownOrder, MoreSlowdownsThanOneFormHoldsGoOnASecondForm) {
  Sources s;
  s.route_length = 60000;
  s.stations = {{1000, 2, 600, 7, 0, "Alfa"}, {52000, 5, 600, 8, 0, "Omega"}};
  // Each warning board 1200 m before its slowdown, clear of the one before.
  for (int i = 0; i < 30; ++i) s.slowdowns.push_back({3000 + 1500 * i, 30 + i, 200});
  const ScenarioDocuments d = documents_of(s);
  ASSERT_EQ(d.slowdown_order.pages.size(), 2u);
  const std::vector<std::string> lines = lines_of(d.slowdown_order);
  EXPECT_EQ(lines.size(), 2 * 46u);
  for (const std::vector<std::string>& form : d.slowdown_order.pages) {
    ASSERT_EQ(form.size(), 46u);
    EXPECT_EQ(form[4], "  Linea  Prova");
    EXPECT_EQ(form[6], "  Si ordina al macchinista del treno 2041 di effettuare i seguenti rallentamenti");
    for (std::size_t i = 12; i < 38; ++i) EXPECT_EQ(bars(form[i]), bars(form[11])) << form[i];
    EXPECT_EQ(form[38], form[11]);  // the table's closing rule
  }
  EXPECT_EQ(d.slowdown_order.pages[0][12],
            " | 1 | Alfa - Omega               |   3+000    |    30    |     200 |            |");
  EXPECT_EQ(d.slowdown_order.pages[0][36],
            " |25 | Alfa - Omega               |  39+000    |    54    |     200 |            |");
  EXPECT_EQ(d.slowdown_order.pages[0][37],
            " |26 | Alfa - Omega               |  40+500    |    55    |     200 |            |");
  EXPECT_EQ(d.slowdown_order.pages[1][12],
            " |27 | Alfa - Omega               |  42+000    |    56    |     200 |            |");
  EXPECT_EQ(d.slowdown_order.pages[1][16],
            " |   |                            |            |          |         |            |");
  // A slowdown inside a station's area is "in" that station.
  Sources in_station = s;
  in_station.slowdowns = {{51700, 60, 300}};
  EXPECT_EQ(documents_of(in_station).model.slowdowns.at(0).stations, "Omega");
}

TEST(SlowdownOrder, NoSlowdownIsTheFixedFormForTheScenariosNames) {
  Sources s;
  s.stations = {{1000, 2, 600, 7, 0, "Alfa"}, {15000, 5, 600, 7, 20, "Omega"}};
  const std::vector<std::string> lines = lines_of(documents_of(s).slowdown_order);
  std::vector<std::string> fixed = slowdown_order_entries();
  fixed.pop_back();
  ASSERT_EQ(lines.size(), fixed.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == 4)
      EXPECT_EQ(lines[i], "  Linea  Prova");
    else if (i == 6)
      EXPECT_EQ(lines[i], "  Si ordina al macchinista del treno 2041 di effettuare i seguenti rallentamenti");
    else
      EXPECT_EQ(lines[i], fixed[i]) << "line " << i + 1;
  }
}

TEST(TrainNames, CategoryNumberAndAbbreviation) {
  const struct {
    const char* name;
    const char* category;
    const char* number;
  } names[] = {{"IC 417", "IC", "417"},
               {"IC417", "IC", "417"},
               {"Regionale", "Regionale", ""},
               {"2041", "", "2041"},
               {"EC 34 Bis", "EC 34 Bis", ""}};
  for (const auto& n : names) {
    std::string category, number;
    split_train_name(n.name, category, number);
    EXPECT_EQ(category, n.category) << n.name;
    EXPECT_EQ(number, n.number) << n.name;
  }
  const std::pair<const char*, const char*> abbreviations[] = {
      {"Orvale Ferlaste", "ORVALE FE."},      {"Riva Soldra", "RIVA SOLDRA"},
      {"Orvale C.S.", "ORVALE C.S."},         {"Molterno Castelrupe", "MOLTERNO C."},
      {"Castelvero Centrale", "CASTELV. C."}, {"Certosa di Tiave", "CERT. D. T."},
      {"Pontevelora", "PONTEVELORA"},         {"Precipitevolissimevolmente", "PRECIPITEV."},
      {"Citt\xe0 Alta", "CITT\xc0 ALTA"},  // Windows-1252 capitals
  };
  for (const auto& [name, want] : abbreviations) {
    EXPECT_EQ(abbreviated_name(name), want);
    EXPECT_LE(abbreviated_name(name).size(), kAbbreviatedWidth);
  }
}

class DocumentsCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(tool({"sources", dir()}).status, 0); }
  std::string dir() const { return temp_.path().string(); }
  TempDir temp_;
};

TEST_F(DocumentsCommand, WritesBothDocumentsUnderTheOneShotNamesInWindows1252AndCrLf) {
  const Result r = tool({"documents", dir()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  for (const char* name : {"Orvale_Tresca_IC 417_scheda_treno.txt", "Orvale_Tresca_IC 417_rallentamenti.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(r.out.find(name), std::string::npos) << r.out;
    const std::string bytes = read_file(temp_ / name).value();
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] == '\n') {
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
      }
      if (bytes[i] == '\r') {
        ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
      }
    }
  }
  // No slowdown in the embedded train file: the fixed form itself.
  EXPECT_EQ(read_file(temp_ / "Orvale_Tresca_IC 417_rallentamenti.txt").value(),
            render_lines(slowdown_order_entries()));
}

TEST_F(DocumentsCommand, ReportsCodesAsCheckDoesAndStillWritesTheDocuments) {
  const fs::path train = temp_ / "Orvale_Tresca_IC 417-.txt";
  std::string text = read_file(train).value();
  const std::string end = "[codici]";
  text.insert(text.find(end), "segnale,   47500,   1, 4, 1,  0, 0,    1,  2,1,0, 0\r\n");
  scenario::testing::write_file(train, text);
  const Result check = tool({"check", dir()});
  ASSERT_EQ(check.status, 1);
  TempDir out;
  const std::string out_dir = (out / "documents").string();
  const Result r = tool({"documents", dir(), "-o", out_dir, "--html"});
  EXPECT_EQ(r.status, check.status);
  EXPECT_EQ(r.err, check.err);
  // The signal ended the parse of the train file: its stations were read
  // before it, so the sheet still has them.
  const std::string sheet = read_file(fs::path(out_dir) / "Orvale_Tresca_IC 417_scheda_treno.txt").value();
  EXPECT_NE(sheet.find("Tresca Centrale"), std::string::npos);
  EXPECT_TRUE(fs::exists(fs::path(out_dir) / "Orvale_Tresca_IC 417_rallentamenti.txt"));
  EXPECT_TRUE(fs::exists(fs::path(out_dir) / "Orvale_Tresca_IC 417_documenti.html"));
}

TEST_F(DocumentsCommand, AMissingSourceWritesNothing) {
  fs::remove(temp_ / "Orvale_Tresca_IC 417-.txt");
  const Result r = tool({"documents", dir(), "--train", "IC 417"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no file"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(temp_ / "Orvale_Tresca_IC 417_scheda_treno.txt"));
}

}  // namespace
}  // namespace scenario::tool
