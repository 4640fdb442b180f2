#include "sources/train_sheet.h"

#include "sources/text_file.h"
#include "sources/train_sheet_template.h"

namespace scenario {
namespace {

// The header lines of the filled sheets.
constexpr SheetHeader kSheetOneHeader{"1/2", "417", "ORVALE FE.", "200", "RIVA SOLDRA", "125", "IC", "430"};
constexpr SheetHeader kSheetTwoHeader{"2/2", "417", "RIVA SOLDRA", "200", "TRESCA C.le", "125", "IC", "430"};

// clang-format off
constexpr SheetRow kSheetOneRows[] = {
    //   speed position  location                     timetable
    {      80,      0, "ORVALE FERLASTE",            departs({19,  9})},
    {kNoSpeed,   1900, "Bivio Sparvenzia",           passes({19, 11})},
    {kNoSpeed,   3000, "ORVALE CASTRINO",            stops({19, 14}, {19, 18})},
    {     100,   4250, "Cartello Indicatore",        kNoTime},
    {kNoSpeed,   7200, "Bivio Lodana",               passes({19, 22})},
    {     120,   9600, "Cartello Indicatore",        kNoTime},
    {kNoSpeed,  12150, "Orvale S.Tarvino",           passes({19, 25})},
    {kNoSpeed,  21600, "Pelverano",                  passes({19, 29})},
    {     140,  22500, "Imbocco Galleria dei Maure", kNoTime},
    {      60,  29750, "Seg.Prot.Borzo V.",          kNoTime},
    {kNoSpeed,  31100, "BORZO VALTENA",              passes({19, 35})},
    {     130,  31700, "Cartello Indicatore",        kNoTime},
    {      60,  42200, "Seg.Prot.Sorbeta V.",        kNoTime},
    {kNoSpeed,  46000, "SORBETA VALTENA",            passes({19, 46})},
    {     150,  47500, "Cartello Indicatore",        kNoTime},
    {kNoSpeed,  50000, "Molterno Castelrupe",        passes({19, 49})},
    {     140,  55200, "Cartello Indicatore",        kNoTime},
    {kNoSpeed,  56000, "Ferraia Corvina",            passes({19, 51})},
    {     150,  57800, "Cartello Indicatore",        kNoTime},
    {kNoSpeed,  62000, "Villastrona",                passes({19, 54})},
    {kNoSpeed,  67000, "Pescarola Valtena",          passes({19, 56})},
    {kNoSpeed,  76000, "SARZENA",                    passes({20,  0})},
    {     170,  77000, "Cartello Indicatore",        kNoTime},
    {kNoSpeed,  85000, "Pontevelora",                passes({20,  3})},
    {      65,  90500, "Seg.Prot.Lavegna",           kNoTime},
    {kNoSpeed,  92000, "LAVEGNA",                    stops({20,  6}, {20,  8})},
    {      95,  93000, "Cartello Indicatore",        kNoTime},
    {     160,  95000, "Cartello Indicatore",        kNoTime},
    {kNoSpeed, 101000, "Campolenta",                 passes({20, 14})},
    {kNoSpeed, 106000, "FRASSOLA MARCADONE",         passes({20, 17})},
    // Closes sheet 1/2 and opens sheet 2/2; only here with trailing blanks.
    {kNoSpeed, 113000, "Riva Soldra",                passes({20, 19}), 4},
};

constexpr SheetRow kSheetTwoRows[] = {
    {kNoSpeed, 113000, "Riva Soldra",                passes({20, 19})},
    {     100, 117500, "Seg.Prot.Tiave",             kNoTime},
    {kNoSpeed, 119000, "TIAVE",                      stops({20, 23}, {20, 25})},
    {     160, 120500, "Cartello Indicatore",        kNoTime},
    {kNoSpeed, 126000, "Certosa di Tiave",           passes({20, 29})},
    {kNoSpeed, 134000, "Villaserpente",              passes({20, 32})},
    {     120, 138000, "Cartello Indicatore",        kNoTime},
    {kNoSpeed, 139000, "Mirate Gruelli",             passes({20, 34})},
    {kNoSpeed, 147000, "TRESCA SABBIEDO",            passes({20, 38})},
    {     110, 152000, "Seg.Prot.Tre.For.",          kNoTime},
    {kNoSpeed, 153000, "TRESCA FORNARTE",            passes({20, 42})},
    {     100, 155000, "Cartello Indicatore",        kNoTime},
    {kNoSpeed, 157000, "TRESCA C.le",                arrives({20, 50}), 5},
};
// clang-format on

// Every value fits its cell, so that no row of the tables above can push
// the bars out of line.
constexpr bool fits(const SheetRow& row) {
  auto clock_ok = [](Clock c) { return c.hours >= 0 && c.hours < 24 && c.minutes >= 0 && c.minutes < 60; };
  return (row.speed == kNoSpeed || (row.speed > 0 && row.speed < 1000)) && row.position >= 0 &&
         row.position < 1000 * 1000 && row.location.size() <= 28 && clock_ok(row.timetable.first) &&
         clock_ok(row.timetable.second) && row.trailing_blanks >= 0;
}

template <std::size_t N>
constexpr bool all_fit(const SheetRow (&rows)[N]) {
  for (const SheetRow& row : rows)
    if (!fits(row)) return false;
  return true;
}

static_assert(all_fit(kSheetOneRows) && all_fit(kSheetTwoRows));

}  // namespace

std::vector<std::string> train_sheet_entries() {
  LineTable t;
  add_empty_lines(t, 2);
  add_sheet(t, kSheetOneHeader, kSheetOneRows);
  add_empty_lines(t, 2);
  add_separator(t, kLongSeparator);
  add_empty_lines(t, 2);
  add_sheet(t, kSheetTwoHeader, kSheetTwoRows);
  add_empty_lines(t, 2);
  add_separator(t, kShortSeparator);
  add_empty_lines(t, 1);
  add_sheet(t, placeholder_header("3/4"), {});
  add_empty_lines(t, 2);
  add_separator(t, kShortSeparator);
  add_empty_lines(t, 1);
  // The last sheet has no separator: the file ends in empty lines.
  add_sheet(t, placeholder_header("4/4"), {});
  add_empty_lines(t, 3);
  return t.entries();
}

void dati_scheda(Folder& folder, const RunNames& names) {
  write_text_file(folder, names.train_sheet(), train_sheet_entries());
}

}  // namespace scenario
