// The form of the slowdown order ("ORDINE DI RALLENTAMENTO", form M. 3): its
// header, the table with its row template and the legend. The embedded run's
// fixed order and the orders the author's tool derives from a scenario are
// both laid out here.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "sources/text_file.h"

namespace scenario {

// One slowdown in the table.
struct SlowdownRow {
  int number = 0;
  std::string_view stations;  // "A - B", or the station it lies in
  long long km_post = 0;      // metres: the slowdown begins after it
  int speed = 0;              // km/h
  long long length = 0;       // metres
};

// Table rows of one filled form: the 25 blank rows of the empty form and the
// line of its notice, so that every form has the empty form's 46 lines.
inline constexpr std::size_t kSlowdownRowsPerForm = 26;

// Width of the stations cell.
inline constexpr std::size_t kStationsWidth = 28;

// The row template: a blank, a bar, then six cells each closed by a bar, 82
// characters; a value wider than its cell is cut at the cell's edge.
std::string slowdown_row(const SlowdownRow& row);

// One form, 46 lines, for the route and the train number printed on it. No
// rows: the table is crossed by "NESSUN RALLENTAMENTO". Otherwise at most
// kSlowdownRowsPerForm rows, the rest of the table blank.
void add_slowdown_form(LineTable& t, std::string_view route, std::string_view train_number,
                       std::span<const SlowdownRow> rows);

}  // namespace scenario
