#include "sources/train_sheet_template.h"

#include <stdexcept>

namespace scenario {
namespace {

// Frame lines, the same on every sheet.
constexpr std::string_view kHeaderTop =
    "  ___________________                                               ______________";
constexpr std::string_view kTitleBefore = " |                   |                    SCHEDA ";
constexpr std::string_view kTitleEnd = "|              |";
constexpr std::string_view kHeaderBottom =
    "                                                                   |______________|";
constexpr std::string_view kClassificationTop = "  ___________________                ___________________";
// Ends in 7 blanks after the last bar, on every sheet.
constexpr std::string_view kClassificationLabels = " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ";
constexpr std::string_view kClassificationBottom = " |___________________|              |___________________|";
constexpr std::string_view kTableTop =
    "  ________________________________________________________________________________";
constexpr std::string_view kColumnHeads =
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |";
constexpr std::string_view kColumnHeadsSecond =
    " | Lim.|Marc.|          |  Rs |                            |                |     |";
// Closes the column heads and every table.
constexpr std::string_view kTableRule =
    " |_____|_____|__________|_____|____________________________|________________|_____|";
constexpr std::string_view kBlankRow =
    " |     |     |          |     |                            |                |     |";

std::string blanks(std::size_t count) { return std::string(count, ' '); }

// Exactly `width` characters: padded with blanks, or cut.
std::string cell(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

std::string right_cell(std::string_view text, std::size_t width) {
  return text.size() >= width ? std::string(text.substr(0, width)) : right(text, width);
}

std::string zero_padded(long long value, std::size_t width) {
  std::string digits = std::to_string(value);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

// hh:mm; a clock outside the day is taken modulo the day so that the cell
// keeps its five characters.
std::string clock_text(Clock c) {
  const int minutes = ((c.hours * 60 + c.minutes) % 1440 + 1440) % 1440;
  return zero_padded(minutes / 60, 2) + ":" + zero_padded(minutes % 60, 2);
}

// The Orario cell, 16 characters.
std::string timetable_cell(const Timetable& t) {
  switch (t.layout) {
    case Layout::departure_only:
      return blanks(9) + clock_text(t.first) + blanks(2);
    case Layout::passing:
      return blanks(5) + clock_text(t.first) + blanks(6);
    case Layout::arrival_and_departure:
      return blanks(1) + clock_text(t.first) + blanks(3) + clock_text(t.second) + blanks(2);
    case Layout::arrival_only:
      return blanks(1) + clock_text(t.first) + blanks(10);
    case Layout::no_time:
      return blanks(16);
  }
  throw std::logic_error("unknown timetable layout");
}

}  // namespace

std::string kilometres_text(long long metres) {
  const unsigned long long magnitude =
      metres < 0 ? 0ULL - static_cast<unsigned long long>(metres) : static_cast<unsigned long long>(metres);
  std::string km = std::to_string(magnitude / 1000);
  if (metres < 0) km.insert(0, 1, '-');
  return right(km, 3) + "+" + zero_padded(static_cast<long long>(magnitude % 1000), 3);
}

std::string sheet_row(const SheetRow& row) {
  std::string speed = row.speed == kNoSpeed ? blanks(5) : cell(right(row.speed, 3), 5);
  std::string location = cell(std::string(row.location), kLocationWidth);
  return " |" + speed + "|" + blanks(5) + "|" + cell(kilometres_text(row.position), 10) + "|" + blanks(5) + "|" +
         location + "|" + timetable_cell(row.timetable) + "|" + blanks(5) + "|" +
         blanks(static_cast<std::size_t>(row.trailing_blanks < 0 ? 0 : row.trailing_blanks));
}

SheetHeader placeholder_header(std::string_view number) {
  return {number, "xxxxx", "xxxxxx", "xxx", "xxxxxx", "xxx", "xxx", "xxx"};
}

void add_empty_lines(LineTable& t, int count) {
  for (int i = 0; i < count; ++i) t.add("");
}

void add_separator(LineTable& t, std::size_t full_stops) { t.add(std::string(full_stops, '.')); }

void add_sheet(LineTable& t, const SheetHeader& h, std::span<const SheetRow> rows) {
  t.add(std::string(kHeaderTop));
  // "1/2" is followed by 15 blanks: room for a longer number.
  t.add(std::string(kTitleBefore) + cell(std::string(h.number), 18) + std::string(kTitleEnd));
  t.add(" |   TRENO n." + cell(std::string(h.train_number), 8) + "|" + blanks(19) +
        "da: " + cell(std::string(h.origin), 22) + "|    V" + cell(std::string(h.speed_class), 3) + " C    |");
  t.add(" |___________________|" + blanks(20) + "a: " + cell(std::string(h.destination), 22) + "|" + blanks(5) +
        right_cell(h.braked_percentage, 3) + "%" + blanks(5) + "|");
  t.add(std::string(kHeaderBottom));
  t.add(std::string(kClassificationTop));
  t.add(std::string(kClassificationLabels));
  t.add(" |" + blanks(8) + cell(std::string(h.category), 11) + "|" + blanks(14) + "|" + blanks(6) +
        cell(std::string(h.blocked_mass) + "T", 13) + "|");
  t.add(std::string(kClassificationBottom));
  add_empty_lines(t, 1);
  t.add(std::string(kTableTop));
  t.add(std::string(kColumnHeads));
  t.add(std::string(kColumnHeadsSecond));
  t.add(std::string(kTableRule));
  if (rows.empty()) {
    for (std::size_t i = 0; i < kRowsPerSheet; ++i) t.add(std::string(kBlankRow));
  } else {
    for (const SheetRow& row : rows) t.add(sheet_row(row));
  }
  t.add(std::string(kTableRule));
}

}  // namespace scenario
