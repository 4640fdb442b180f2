// A compile in memory: a line file and a train file made from a few lines,
// a compiler over them, and a bare track grid for the marking routines.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "run/file_names.h"
#include "run/folder.h"

namespace scenario::testing {

// Every line followed by CR LF, as the writers end them.
inline std::string crlf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// A line file: "[generale]" with the route length and `general`, then
// `records` under a header, then "[fine]".
inline std::string line_source(const std::vector<std::string>& records, std::int64_t route_length = 10000,
                               const std::vector<std::string>& general = {}) {
  std::vector<std::string> lines = {"[generale]", "lunghezza percorso,    " + std::to_string(route_length)};
  lines.insert(lines.end(), general.begin(), general.end());
  lines.push_back("[linea]");
  lines.insert(lines.end(), records.begin(), records.end());
  lines.push_back("[fine]");
  return crlf(lines);
}

// A train file: "[generale]", `records`, "[fine]".
inline std::string train_source(const std::vector<std::string>& records) {
  std::vector<std::string> lines = {"[generale]"};
  lines.insert(lines.end(), records.begin(), records.end());
  lines.push_back("[fine]");
  return crlf(lines);
}

// A station record with the values that matter here; the rest are zero.
inline std::string station_record(std::int64_t position, int kind, std::int64_t platform, int opt_d = 0,
                                  const std::string& name = "Stazione") {
  return "stazione, " + std::to_string(position) + ", " + std::to_string(kind) + ", " + std::to_string(platform) +
         ", 0, 0, " + std::to_string(opt_d) + ", 0,0,0, 0,0,0, 0, 0,0,0, " + name;
}

// A signal record: position, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo.
inline std::string signal_record(std::int64_t position, const std::string& values = "1, 4, 1, 0, 0, 1, 2, 1, 0, 0") {
  return "segnale, " + std::to_string(position) + ", " + values;
}

class CompileFixture : public ::testing::Test {
 protected:
  void put_sources(const std::string& line, const std::optional<std::string>& train = train_source({})) {
    folder.write(names.line_file(), line);
    if (train) folder.write(names.train_file(), *train);
  }

  // The whole compile, as the run calls it.
  void compile(std::int32_t full = 1) { compiler.memorizza_percorso(full); }

  // The parser alone, on a fresh compiler, as the driver calls it.
  void parse(std::int32_t full = 1) {
    compiler.full_compile = full;
    compiler.memorizza_dati();
  }

  const TrackCell& cell(std::int64_t c) const { return compiler.grid.at(static_cast<std::size_t>(c)); }
  const ParameterRecord& slot(int s) const { return compiler.parameters.at(static_cast<std::size_t>(s)); }

  bool line_file_left() const { return folder.exists(names.line_file()); }
  bool train_file_left() const { return folder.exists(names.train_file()); }

  // The codes recorded, in order.
  std::vector<std::int32_t> codes() const {
    std::vector<std::int32_t> out;
    for (const RecordedCode& r : compiler.recorded_codes) out.push_back(r.code);
    return out;
  }

  RunNames names{kRouteName, kTrainName};
  MemoryFolder folder;
  Compiler compiler{folder};
};

// A compiler holding only an empty track grid of cells 0 to `last_cell`, for
// the marking routines and the grid pass.
inline void give_grid(Compiler& compiler, std::int32_t last_cell) {
  compiler.last_cell = last_cell;
  compiler.plan_length = last_cell * 50;
  compiler.grid.assign(static_cast<std::size_t>(last_cell) + 1, TrackCell{});
  compiler.has_grid = true;
}

class GridFixture : public ::testing::Test {
 protected:
  explicit GridFixture(std::int32_t last_cell = 340) { give_grid(compiler, last_cell); }

  TrackCell& cell(std::int64_t c) { return compiler.grid.at(static_cast<std::size_t>(c)); }
  void put(std::int64_t c, std::uint8_t type, std::int16_t value_1 = 0) {
    cell(c).cell_type = type;
    cell(c).value_1 = value_1;
  }
  // The cells of the grid that hold `type`.
  std::vector<std::int64_t> cells_of_type(std::uint8_t type) const {
    std::vector<std::int64_t> out;
    for (std::size_t c = 0; c < compiler.grid.size(); ++c)
      if (compiler.grid[c].cell_type == type) out.push_back(static_cast<std::int64_t>(c));
    return out;
  }

  MemoryFolder folder;
  Compiler compiler{folder};
};

}  // namespace scenario::testing
