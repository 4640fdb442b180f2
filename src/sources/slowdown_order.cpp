#include "sources/slowdown_order.h"

#include <array>

#include "sources/text_file.h"

namespace scenario {
namespace {

// Number, stations, kilometre post, speed, length, prescriptions.
constexpr std::array<std::size_t, 6> kCellWidths = {3, 28, 12, 10, 9, 12};

// A table line whose cells are all `fill`: the rule ('_') or a blank row (' ').
std::string table_line(char fill) {
  std::string line = " |";
  for (std::size_t width : kCellWidths) line += std::string(width, fill) + "|";
  return line;
}

std::string blanks(std::size_t count) { return std::string(count, ' '); }

constexpr int kBlankRowsAfterNotice = 24;

}  // namespace

std::vector<std::string> slowdown_order_entries() {
  const std::string rule = table_line('_');
  const std::string blank_row = table_line(' ');

  LineTable t;
  t.add("");
  t.add(blanks(31) + "Modulo M. 3");
  t.add(blanks(27) + "ORDINE DI RALLENTAMENTO");
  t.add(" " + std::string(80, '_'));
  t.add("  Linea  Orvale_Tresca");
  t.add("");
  t.add("  Si ordina al macchinista del treno 417 di effettuare i seguenti rallentamenti");
  t.add("  " + std::string(79, '_'));
  t.add(" |   |                            |Inizio dopo |          |         |            |");
  t.add(" | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|");
  t.add(" |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |");
  t.add(rule);
  t.add(blank_row);
  // Stands across the table, without bars, after its first row.
  t.add(blanks(28) + "NESSUN RALLENTAMENTO");
  for (int i = 0; i < kBlankRowsAfterNotice; ++i) t.add(blank_row);
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
  return t.entries();
}

void dati_rallentamenti(Folder& folder, const RunNames& names) {
  write_text_file(folder, names.slowdown_order(), slowdown_order_entries());
}

}  // namespace scenario
