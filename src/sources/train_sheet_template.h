// The form of the train sheet ("SCHEDA TRENO"): its frame lines, the row
// template with the five layouts of the Orario cell, and one boxed sheet.
// The embedded run's fixed sheet and the sheets the author's tool derives
// from a scenario are both laid out here, so the two cannot drift apart.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "sources/text_file.h"

namespace scenario {

// A 24-hour time, written hh:mm.
struct Clock {
  int hours = 0, minutes = 0;
};

// The five layouts of the Orario cell.
enum class Layout { departure_only, passing, arrival_and_departure, arrival_only, no_time };

struct Timetable {
  Layout layout = Layout::no_time;
  Clock first{}, second{};
};

constexpr Timetable departs(Clock departure) { return {Layout::departure_only, departure}; }
constexpr Timetable passes(Clock passing) { return {Layout::passing, passing}; }
constexpr Timetable stops(Clock arrival, Clock departure) {
  return {Layout::arrival_and_departure, arrival, departure};
}
constexpr Timetable arrives(Clock arrival) { return {Layout::arrival_only, arrival}; }
inline constexpr Timetable kNoTime{Layout::no_time};

inline constexpr int kNoSpeed = 0;

// One filled table row.
struct SheetRow {
  int speed = kNoSpeed;  // km/h in Vel. Lim., or kNoSpeed
  int position = 0;      // metres, written km+mmm
  std::string_view location;
  Timetable timetable;
  int trailing_blanks = 0;  // after the final bar
};

// Rows of one sheet: the fixed sheet's first sheet holds 31, as does a blank form.
inline constexpr std::size_t kRowsPerSheet = 31;
inline constexpr std::size_t kLongSeparator = 81;
inline constexpr std::size_t kShortSeparator = 72;

// Width of the Localita' di Servizio cell.
inline constexpr std::size_t kLocationWidth = 28;

// The row template: a blank, a bar, then seven cells each closed by a bar,
// 83 characters. A value wider than its cell is cut at the cell's edge so
// the bars stay in line.
std::string sheet_row(const SheetRow& row);

// "km+mmm" as the Progr Km cell writes it: kilometres right-aligned in 3.
std::string kilometres_text(long long metres);

// The header of one sheet: what changes from sheet to sheet.
struct SheetHeader {
  std::string_view number;             // "1/2"
  std::string_view train_number;       // after "TRENO n.", 8 wide
  std::string_view origin;             // after "da:"
  std::string_view speed_class;        // after "V", 3 wide
  std::string_view destination;        // after "a:"
  std::string_view braked_percentage;  // before "%", 3 wide, right-aligned
  std::string_view category;           // CLASSIFICAZIONE
  std::string_view blocked_mass;       // before "T" in MASSA BLOCCATA
};

// The header with the empty form's placeholders.
SheetHeader placeholder_header(std::string_view number);

// One boxed sheet: the header, the classification box, the column heads,
// the rows (31 blank rows when there are none, as on an empty form) and the
// closing rule.
void add_sheet(LineTable& t, const SheetHeader& header, std::span<const SheetRow> rows);

void add_empty_lines(LineTable& t, int count);
void add_separator(LineTable& t, std::size_t full_stops);

}  // namespace scenario
