#include "sources/slowdown_form.h"

#include <array>
#include <stdexcept>

#include "sources/train_sheet_template.h"

namespace scenario {
namespace {

// Number, stations, kilometre post, speed, length, prescriptions.
constexpr std::array<std::size_t, 6> kCellWidths = {3, kStationsWidth, 12, 10, 9, 12};

// A table line whose cells are all `fill`: the rule ('_') or a blank row (' ').
std::string table_line(char fill) {
  std::string line = " |";
  for (std::size_t width : kCellWidths) line += std::string(width, fill) + "|";
  return line;
}

std::string blanks(std::size_t count) { return std::string(count, ' '); }

// Exactly `width` characters: padded with blanks, or cut.
std::string cell(std::string text, std::size_t width) {
  text.resize(width, ' ');
  return text;
}

constexpr int kBlankRowsAfterNotice = 24;

}  // namespace

std::string slowdown_row(const SlowdownRow& row) {
  // Each value sits under its heading: the number and the speed right-aligned
  // before a blank, the length under "metri".
  const std::array<std::string, 6> cells = {
      cell(right(row.number, 2).append(" "), kCellWidths[0]),
      cell(std::string(" ").append(row.stations), kCellWidths[1]),
      cell(std::string(" ").append(kilometres_text(row.km_post)), kCellWidths[2]),
      cell(right(row.speed, 6), kCellWidths[3]),
      cell(right(row.length, 8), kCellWidths[4]),
      blanks(kCellWidths[5]),
  };
  std::string line = " |";
  for (const std::string& c : cells) line += c + "|";
  return line;
}

void add_slowdown_form(LineTable& t, std::string_view route, std::string_view train_number,
                       std::span<const SlowdownRow> rows) {
  if (rows.size() > kSlowdownRowsPerForm) throw std::length_error("more slowdowns than one form holds");
  const std::string rule = table_line('_');
  const std::string blank_row = table_line(' ');

  t.add("");
  t.add(blanks(31) + "Modulo M. 3");
  t.add(blanks(27) + "ORDINE DI RALLENTAMENTO");
  t.add(" " + std::string(80, '_'));
  t.add("  Linea  " + std::string(route));
  t.add("");
  t.add("  Si ordina al macchinista del treno " + std::string(train_number) +
        " di effettuare i seguenti rallentamenti");
  t.add("  " + std::string(79, '_'));
  t.add(" |   |                            |Inizio dopo |          |         |            |");
  t.add(" | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|");
  t.add(" |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |");
  t.add(rule);
  if (rows.empty()) {
    t.add(blank_row);
    // Stands across the table, without bars, after its first row.
    t.add(blanks(28) + "NESSUN RALLENTAMENTO");
    for (int i = 0; i < kBlankRowsAfterNotice; ++i) t.add(blank_row);
  } else {
    for (const SlowdownRow& row : rows) t.add(slowdown_row(row));
    for (std::size_t i = rows.size(); i < kSlowdownRowsPerForm; ++i) t.add(blank_row);
  }
  t.add(rule);
  t.add("");
  t.add(blanks(14) + "Prescrizioni specifiche");
  // The legend runs A, B, D, C: note C takes two lines, so it comes last.
  t.add(" A - Da rispettare con tutto il treno (per i treni viaggiatori)");
  t.add(" B - Interessa anche la stazione di.......");
  // "Rallentamneto" is how the printed form spells it.
  t.add(" D - Rallentamneto N. ... e N. ...  sono contigui");
  t.add(" C - Da rispettare dalle ore ....  alle ore ..... di tutti");
  t.add("     i giorni esclusi i seguenti:.........");
}

}  // namespace scenario
