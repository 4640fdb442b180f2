#include "sources/train_sheet.h"

#include <span>
#include <stdexcept>
#include <string_view>

#include "sources/text_file.h"

namespace scenario {
namespace {

// Frame lines, the same on every sheet unless a sheet carries its own.
constexpr std::string_view kHeaderTop =
    "  ___________________                                               ______________";
constexpr std::string_view kTitleBefore = " |                   |                    SCHEDA ";
constexpr std::string_view kTitleAfter = "               |              |";
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
constexpr std::size_t kLongSeparator = 81;
constexpr std::size_t kShortSeparator = 72;

// The header and classification lines that differ from sheet to sheet.
constexpr std::string_view kTrainFromOrvale =
    " |   TRENO n.417     |                   da: ORVALE FE.            |    V200 C    |";
constexpr std::string_view kTrainFromRiva =
    " |   TRENO n.417     |                   da: RIVA SOLDRA           |    V200 C    |";
constexpr std::string_view kTrainPlaceholder =
    " |   TRENO n.xxxxx   |                   da: xxxxxx                |    Vxxx C    |";
constexpr std::string_view kToRiva =
    " |___________________|                    a: RIVA SOLDRA           |     125%     |";
constexpr std::string_view kToTresca =
    " |___________________|                    a: TRESCA C.le           |     125%     |";
constexpr std::string_view kToPlaceholder =
    " |___________________|                    a: xxxxxx                |     xxx%     |";
constexpr std::string_view kClassificationTrain = " |        IC         |              |      430T         |";
constexpr std::string_view kClassificationPlaceholder = " |        xxx        |              |      xxxT         |";

// A 24-hour time, written hh:mm.
struct Clock {
  int hours, minutes;
};

// The five layouts of the Orario cell.
enum class Layout { departure_only, passing, arrival_and_departure, arrival_only, no_time };

struct Timetable {
  Layout layout;
  Clock first{}, second{};
};

constexpr Timetable departs(Clock departure) { return {Layout::departure_only, departure}; }
constexpr Timetable passes(Clock passing) { return {Layout::passing, passing}; }
constexpr Timetable stops(Clock arrival, Clock departure) {
  return {Layout::arrival_and_departure, arrival, departure};
}
constexpr Timetable arrives(Clock arrival) { return {Layout::arrival_only, arrival}; }
constexpr Timetable kNoTime{Layout::no_time};

constexpr int kNoSpeed = 0;

struct SheetRow {
  int speed;     // km/h, or kNoSpeed
  int position;  // metres, written km+mmm
  std::string_view location;
  Timetable timetable;
  int trailing_blanks = 0;  // after the final bar
};

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

struct Sheet {
  std::string_view number;  // "1/2"
  std::string_view train_line, destination_line, classification_values;
  std::span<const SheetRow> rows;  // none on a blank form
};

constexpr std::size_t kBlankFormRows = 31;

constexpr Sheet kSheetOne{"1/2", kTrainFromOrvale, kToRiva, kClassificationTrain, kSheetOneRows};
constexpr Sheet kSheetTwo{"2/2", kTrainFromRiva, kToTresca, kClassificationTrain, kSheetTwoRows};
constexpr Sheet kSheetThree{"3/4", kTrainPlaceholder, kToPlaceholder, kClassificationPlaceholder, {}};
constexpr Sheet kSheetFour{"4/4", kTrainPlaceholder, kToPlaceholder, kClassificationPlaceholder, {}};

std::string blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

std::string zero_padded(int value, std::size_t width) {
  std::string digits = std::to_string(value);
  return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

std::string clock_text(Clock c) { return zero_padded(c.hours, 2) + ":" + zero_padded(c.minutes, 2); }

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

// The row template: a blank, a bar, then seven cells each closed by a bar.
std::string sheet_row(const SheetRow& row) {
  std::string speed = row.speed == kNoSpeed ? blanks(5) : right(row.speed, 3) + blanks(2);
  std::string kilometres = right(row.position / 1000, 3) + "+" + zero_padded(row.position % 1000, 3) + blanks(3);
  return " |" + speed + "|" + blanks(5) + "|" + kilometres + "|" + blanks(5) + "|" + left(row.location, 28) + "|" +
         timetable_cell(row.timetable) + "|" + blanks(5) + "|" + blanks(row.trailing_blanks);
}

void add_empty_lines(LineTable& t, int count) {
  for (int i = 0; i < count; ++i) t.add("");
}

void add_sheet(LineTable& t, const Sheet& sheet) {
  t.add(std::string(kHeaderTop));
  t.add(std::string(kTitleBefore) + std::string(sheet.number) + std::string(kTitleAfter));
  t.add(std::string(sheet.train_line));
  t.add(std::string(sheet.destination_line));
  t.add(std::string(kHeaderBottom));
  t.add(std::string(kClassificationTop));
  t.add(std::string(kClassificationLabels));
  t.add(std::string(sheet.classification_values));
  t.add(std::string(kClassificationBottom));
  add_empty_lines(t, 1);
  t.add(std::string(kTableTop));
  t.add(std::string(kColumnHeads));
  t.add(std::string(kColumnHeadsSecond));
  t.add(std::string(kTableRule));
  if (sheet.rows.empty()) {
    for (std::size_t i = 0; i < kBlankFormRows; ++i) t.add(std::string(kBlankRow));
  } else {
    for (const SheetRow& row : sheet.rows) t.add(sheet_row(row));
  }
  t.add(std::string(kTableRule));
}

void add_separator(LineTable& t, std::size_t full_stops) { t.add(std::string(full_stops, '.')); }

}  // namespace

std::vector<std::string> train_sheet_entries() {
  LineTable t;
  add_empty_lines(t, 2);
  add_sheet(t, kSheetOne);
  add_empty_lines(t, 2);
  add_separator(t, kLongSeparator);
  add_empty_lines(t, 2);
  add_sheet(t, kSheetTwo);
  add_empty_lines(t, 2);
  add_separator(t, kShortSeparator);
  add_empty_lines(t, 1);
  add_sheet(t, kSheetThree);
  add_empty_lines(t, 2);
  add_separator(t, kShortSeparator);
  add_empty_lines(t, 1);
  // The last sheet has no separator: the file ends in empty lines.
  add_sheet(t, kSheetFour);
  add_empty_lines(t, 3);
  return t.entries();
}

void dati_scheda(Folder& folder, const RunNames& names) {
  write_text_file(folder, names.train_sheet(), train_sheet_entries());
}

}  // namespace scenario
