// The driver documents of a scenario as data: what the train sheet and the
// slowdown order say, built from a compile's tables and from the records its
// parse took, before any layout.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "tools/documents/running_time.h"

namespace scenario::tool {

// What the tables do not keep, gathered from the parse as it reads.
struct SourceRecords : ParseListener {
  struct Tunnel {
    std::int32_t inizio = 0, fine = 0;
  };
  struct Slowdown {
    std::int32_t x = 0;
    std::int16_t v = 0;
    std::int32_t l = 0;
  };
  std::vector<Tunnel> tunnels;             // file order
  std::vector<SpeedChange> speed_records;  // file order, as written
  std::vector<Slowdown> slowdowns;         // file order

  void tunnel(std::int32_t inizio, std::int32_t fine, std::int32_t) override { tunnels.push_back({inizio, fine}); }
  void speed_limit(std::int32_t position, std::int32_t speed) override { speed_records.push_back({position, speed}); }
  void slowdown(std::int32_t x, std::int16_t v, std::int32_t l, std::int16_t, std::int32_t, std::int32_t) override {
    slowdowns.push_back({x, v, l});
  }
};

// A station of the run, as its slot holds it.
struct Station {
  std::string name;  // Windows-1252
  int kind = 0;
  std::int32_t position = 0, area_start = 0, area_end = 0;
  std::optional<std::int32_t> time_s;  // the train file's own time
};

// Seconds after midnight of the run's first day; a run past midnight goes on
// counting (86400 and more).
using Seconds = double;

enum class RowKind { station, tunnel_mouth, speed_board };

// One row of the train sheet. The layout of its Orario cell follows from
// which times it has: a departure alone (the origin), an arrival alone (the
// destination), both (a stop), a passing time, or none.
struct DocumentRow {
  RowKind kind = RowKind::station;
  std::int32_t position = 0;
  std::string location;               // Windows-1252
  std::optional<std::int32_t> speed;  // the new limit, km/h
  std::optional<Seconds> arrival, departure, passing;
};

struct SlowdownEntry {
  std::string stations;  // "A - B" or the station it lies in
  std::int32_t x = 0;
  std::int32_t speed = 0;
  std::int32_t length = 0;
};

struct DocumentModel {
  std::string route_name;  // Windows-1252
  std::string train_name;
  std::string category;      // "IC" of "IC 417"; empty when the name has none
  std::string train_number;  // "417"; empty when the name has none
  std::optional<std::int32_t> braked_percentage;
  std::vector<Station> stations;  // the run's real stations, in position order
  int placeholder_stations = 0;   // station records of kind 25 and up, left out
  std::vector<DocumentRow> rows;  // in position order
  std::vector<SlowdownEntry> slowdowns;
};

// How long a stop lasts when the train file gives only its departure.
inline constexpr double kDwellSeconds = 120;

// Builds the model from the compile's tables and the records of its parse.
DocumentModel build_model(const Compiler& compiler, const SourceRecords& records, const RunningModel& run = {});

// "IC 417" -> "IC", "417"; "IC417" the same; a name with no number at its end
// is all category.
void split_train_name(const std::string& name, std::string& category, std::string& number);

// A station name in the width of the header's "da:" and "a:" fields (11, the
// widest the fixed sheet writes there), upper case: whole when it fits, else
// the first word whole and the next ones cut to two letters and a full stop
// ("ORVALE FE."), then to one, then the first word cut before the others'
// initials ("CASTELV. C."), and at last the name cut to 10 and a full stop.
std::string abbreviated_name(const std::string& name);
inline constexpr std::size_t kAbbreviatedWidth = 11;

// Upper case in Windows-1252.
std::string cp1252_upper(const std::string& text);

}  // namespace scenario::tool
