// The train sheet derived from the embedded sources beside the fixed sheet of
// the one-shot program. They differ where the fixed sheet follows the line's
// own kilometre posts and the timetable's names; they must agree on the
// stations and their order, on the speeds of the indicator boards and on the
// times the train file holds. The test prints the two row by row.
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "run/folder.h"
#include "sources/line_data.h"
#include "sources/train_data.h"
#include "sources/train_sheet.h"
#include "tools/documents/documents.h"

namespace scenario::tool {
namespace {

struct FixedRow {
  std::string speed;  // Vel. Lim., blank trimmed
  std::int32_t metres = 0;
  std::string location;
  std::vector<int> minutes;  // the Orario cell's times, minutes after midnight
};

std::string trimmed(const std::string& s) {
  const std::size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? "" : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::vector<int> times_in(const std::string& cell) {
  std::vector<int> out;
  for (std::size_t i = 0; i + 5 <= cell.size(); ++i)
    if (cell[i + 2] == ':' && std::isdigit(static_cast<unsigned char>(cell[i])))
      out.push_back(std::stoi(cell.substr(i, 2)) * 60 + std::stoi(cell.substr(i + 3, 2)));
  return out;
}

// The filled rows of the fixed sheet's sheets 1/2 and 2/2, the row repeated
// at the top of 2/2 once.
std::vector<FixedRow> fixed_rows() {
  const std::vector<std::string> lines = train_sheet_entries();
  std::vector<FixedRow> rows;
  auto take = [&](std::size_t first_line, std::size_t last_line) {
    for (std::size_t n = first_line; n <= last_line; ++n) {
      const std::string& l = lines[n - 1];
      const std::string km = trimmed(l.substr(14, 10));
      const std::size_t plus = km.find('+');
      rows.push_back({trimmed(l.substr(2, 5)), std::stoi(km.substr(0, plus)) * 1000 + std::stoi(km.substr(plus + 1)),
                      trimmed(l.substr(31, 28)), times_in(l.substr(60, 16))});
    }
  };
  take(17, 47);
  take(69, 80);
  return rows;
}

struct TrainStation {
  std::string name;
  int kind;
  int minutes;  // -1: no time
};

// The station records of the embedded train file, read from its lines.
std::vector<TrainStation> train_file_stations() {
  std::vector<TrainStation> out;
  for (const std::string& line : train_file_entries()) {
    if (line.rfind("stazione", 0) != 0) continue;
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (int i = 0; i < 17; ++i) {
      const std::size_t comma = line.find(',', from);
      fields.push_back(trimmed(line.substr(from, comma - from)));
      from = comma + 1;
    }
    const int h = std::stoi(fields[14]), m = std::stoi(fields[15]);
    out.push_back({trimmed(line.substr(from)), std::stoi(fields[2]), h == 0 && m == 0 ? -1 : h * 60 + m});
  }
  return out;
}

DocumentModel embedded_model() {
  MemoryFolder folder;
  const RunNames names{kRouteName, kTrainName};
  dati_linea(folder, names);
  dati_treno(folder, names);
  const ScenarioDocuments d = make_documents(folder, "embedded", names);
  EXPECT_TRUE(d.outcome.recorded.empty());
  return d.model;
}

int minutes_of(Seconds t) {
  const Clock c = timetable_clock(t);
  return c.hours * 60 + c.minutes;
}

std::string clock_of(int minutes) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
  return text;
}

TEST(EmbeddedComparison, DerivedSheetAgreesWithTheFixedSheet) {
  const DocumentModel m = embedded_model();
  const std::vector<FixedRow> fixed = fixed_rows();
  const std::vector<TrainStation> train = train_file_stations();

  // Every real station of the train file, in order; the kind-26 placeholder
  // is no location of the run.
  std::vector<const DocumentRow*> stations;
  for (const DocumentRow& r : m.rows)
    if (r.kind == RowKind::station) stations.push_back(&r);
  std::vector<TrainStation> real;
  for (const TrainStation& s : train)
    if (s.kind < 25) real.push_back(s);
  ASSERT_EQ(real.size(), 24u);
  ASSERT_EQ(stations.size(), real.size());
  for (std::size_t i = 0; i < real.size(); ++i) EXPECT_EQ(stations[i]->location, real[i].name);

  // The speeds of the indicator-board rows, in order: the fixed sheet's are
  // the derived sheet's but for the train file's last record (30 km/h at
  // 155150 m, before the destination), which the fixed sheet leaves out.
  std::vector<std::string> fixed_speeds, derived_speeds;
  for (const FixedRow& r : fixed)
    if (!r.speed.empty()) fixed_speeds.push_back(r.speed);
  for (const DocumentRow& r : m.rows)
    if (r.speed) derived_speeds.push_back(std::to_string(*r.speed));
  std::vector<std::string> expected = fixed_speeds;
  expected.push_back("30");
  EXPECT_EQ(derived_speeds, expected);

  // The fixed sheet's station rows: those with a time, less "Bivio
  // Sparvenzia", a direction board of the line file with no station record.
  std::vector<const FixedRow*> fixed_stations;
  for (const FixedRow& r : fixed)
    if (!r.minutes.empty() && r.location != "Bivio Sparvenzia") fixed_stations.push_back(&r);
  ASSERT_EQ(fixed_stations.size(), stations.size());

  // The times the train file holds stand on both sheets: the departures from
  // the origin and the stops, the arrival at the destination.
  for (std::size_t i = 0; i < real.size(); ++i) {
    if (real[i].minutes < 0) continue;
    SCOPED_TRACE(real[i].name);
    const DocumentRow& d = *stations[i];
    const bool last = i + 1 == real.size();
    const std::optional<Seconds> own = last ? d.arrival : d.departure;
    ASSERT_TRUE(own);
    EXPECT_EQ(minutes_of(*own), real[i].minutes);
    EXPECT_EQ(fixed_stations[i]->minutes.back(), real[i].minutes);
  }

  // Row by row, for the record.
  std::cout << "station                   fixed km  derived km  diff m | fixed times   derived times  diff min\n";
  for (std::size_t i = 0; i < stations.size(); ++i) {
    const DocumentRow& d = *stations[i];
    const FixedRow& f = *fixed_stations[i];
    std::vector<int> times;
    for (const auto& t : {d.arrival, d.passing, d.departure})
      if (t) times.push_back(minutes_of(*t));
    std::string fixed_text, derived_text, diff_text;
    for (int t : f.minutes) fixed_text += clock_of(t) + " ";
    for (int t : times) derived_text += clock_of(t) + " ";
    for (std::size_t k = 0; k < times.size() && k < f.minutes.size(); ++k)
      diff_text += std::to_string(times[k] - f.minutes[k]) + " ";
    char line[200];
    std::snprintf(line, sizeof line, "%-24s %9.3f %11.3f %7d | %-13s %-14s %s\n", d.location.c_str(), f.metres / 1000.0,
                  d.position / 1000.0, d.position - f.metres, fixed_text.c_str(), derived_text.c_str(),
                  diff_text.c_str());
    std::cout << line;
  }
}

}  // namespace
}  // namespace scenario::tool
