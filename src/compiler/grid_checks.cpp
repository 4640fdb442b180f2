// The compile driver and the grid pass that completes the grid with
// abbattimento points around signals and slowdowns.
#include "compiler/compiler.h"
#include "compiler/numeric.h"
#include "compiler/outputs.h"
#include "run/failures.h"

namespace scenario {

void Compiler::memorizza_percorso(std::int32_t& j) {
  full_compile = j;
  error_code = 0;
  recorded_codes.clear();
  recorded_warnings.clear();
  // A compile never sees the grid or plan of an earlier one.
  grid.clear();
  has_grid = false;
  track_plan.reset(0);
  for (ParameterRecord& r : parameters) r = ParameterRecord{};

  tables_pending_ = false;
  memorizza_dati();
  create_tables();  // a parse that ended inside the general section
  if (!has_grid)
    throw RunFailure("no track grid to check: the line file was not read as far as its route length (error code " +
                     std::to_string(error_code) + ")");
  grid_pass();

  if (last_cell < 1) throw RunFailure("the track grid has no cell 1 to stamp");
  TrackCell& stamp = cell(1);
  ParameterRecord& route = parameters[kRouteSlot];
  if (route.num_a != 0 || stamp.value_1 != 0) throw ErroreAbort("1250");
  route.num_a = 610;
  stamp.value_1 = 5121;
  if (route.time_s != 0 || stamp.value_2 != 0) throw ErroreAbort("1251");
  route.time_s = codice_gara_st();
  stamp.value_2 = low16(codice_gara_og());
  write_files();
}

void Compiler::place_marker(std::int64_t c) {
  cell(c).cell_type = kAbbattimento;
  cell(c).value_1 = 180;
}

void Compiler::grid_pass() {
  const std::int64_t n = static_cast<std::int64_t>(last_cell) - 2;
  auto type_at = [&](std::int64_t c) -> int { return in_grid(c) ? cell(c).cell_type : -1; };
  // next_end[i]: the first slowdown end cell after i, or last_cell + 1.
  std::vector<std::int64_t> next_end(grid.size() + 1, static_cast<std::int64_t>(last_cell) + 1);
  for (std::int64_t c = last_cell; c >= 1; --c)
    next_end[static_cast<std::size_t>(c - 1)] =
        cell(c).cell_type == kSlowdownEnd ? c : next_end[static_cast<std::size_t>(c)];

  for (std::int64_t i = 1; i <= n; ++i) {
    const std::uint8_t type = cell(i).cell_type;

    if (type == kSlowdownWarning) {
      // Every signal in the 20 cells before a warning board gets a marker.
      for (std::int64_t d = 1; d <= 20 && i - d >= 3; ++d) {
        const std::int64_t sig = i - d;
        if (cell(sig).cell_type != kSignal) continue;
        if (free_at(sig - 1)) {
          place_marker(sig - 1);
        } else if (free_at(sig - 2)) {
          place_marker(sig - 2);
        } else if (cell(sig - 1).cell_type == kAbbattimento) {
          cell(sig - 1).value_1 = low16(minimo(180, cell(sig - 1).value_1));
        } else if (cell(sig - 2).cell_type == kAbbattimento) {
          cell(sig - 2).value_1 = low16(minimo(180, cell(sig - 2).value_1));
        } else {
          record(11, low32(sig * 50));
        }
      }
    }

    if (type == kSlowdownStart) {
      // Three groups of candidate cells before the start.
      static constexpr int kGroups[3][3] = {{5, 6, 7}, {11, 12, 13}, {18, 19, 20}};
      for (const auto& group : kGroups) {
        if (i <= group[2]) continue;
        bool placed = false;
        for (int back : group)
          if (free_at(i - back)) {
            place_marker(i - back);
            placed = true;
            break;
          }
        if (!placed) record(12, low32(i * 50));
      }

      // The pass never makes or removes an end cell, so the next one after
      // every cell is known before it starts.
      const std::int64_t e = next_end[static_cast<std::size_t>(i)];
      // With no end cell after the start, the slowdown gets no marker inside
      // and no check after its end.
      if (e > last_cell) continue;

      if (cell(i).value_1 < 110) {
        std::int64_t k = 0;
        for (std::int64_t jj = i + 1; jj <= e; ++jj) {
          ++k;
          if (k == 8) {
            if (free_at(jj)) {
              place_marker(jj);
              k = 0;
            } else if (free_at(jj - 1)) {
              place_marker(jj - 1);
              k = 1;
            } else if (free_at(jj + 1)) {
              place_marker(jj + 1);
              k = -1;
            } else {
              record(13, low32(jj * 50));
              // k is past 8 for good: the rest of the walk would place
              // nothing, and skipping it keeps crowded grids linear.
              break;
            }
          }
        }
      }

      for (std::int64_t m = e; m <= e + 12; ++m) {
        if (type_at(m) != kSignal) continue;
        if (free_at(m - 1))
          place_marker(m - 1);
        else if (free_at(m - 2))
          place_marker(m - 2);
        else
          record(13, low32(e * 50));
        break;
      }
    }
  }
}

std::int32_t Compiler::codice_gara_st() const {
  const std::string text = code_text(parameters[kSettingsSlot].text, parameters[kRouteSlot].text);
  std::int32_t sum = 0;
  for (std::size_t i = 0; i < 25; ++i) sum += static_cast<std::int32_t>(i + 1) * static_cast<unsigned char>(text[i]);
  return sum;
}

std::int32_t Compiler::codice_gara_og() const {
  const std::string text = code_text(parameters[kSettingsSlot].text, parameters[kRouteSlot].text);
  std::int32_t sum = 0;
  for (std::size_t i = 0; i < 25; ++i) sum += static_cast<unsigned char>(text[i]);
  return sum;
}

void Compiler::write_files() {
  const RunNames run = names();
  if (full_compile != 0) folder_.write(run.track_plan_file(), track_plan_file_buffer(track_plan).view());
  folder_.write(run.parameter_file(), parameter_file_bytes(parameters));
  folder_.write(run.grid_file(), grid_file_bytes(grid));
}

}  // namespace scenario
