#include "sources/train_data.h"

#include <array>

#include "sources/text_file.h"

namespace scenario {
namespace {

struct SpeedLimit {
  int position, speed;
};

// clang-format off
constexpr SpeedLimit kSpeedLimits[] = {
    {     0,  80}, {  4250, 100}, {  9600, 120}, { 22500, 140}, { 29750,  60},
    { 31200, 130}, { 44200,  60}, { 47500, 150}, { 52200, 140}, { 55800, 150},
    { 77000, 170}, { 90500,  65}, { 93000,  95}, { 95000, 160}, {117500, 100},
    {120500, 160}, {138000, 120}, {152000, 110}, {155000, 100}, {155150,  30},
};

// The 16 numbers of a station record, in file order, and their field widths.
constexpr std::array<std::size_t, 16> kStationWidths = {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2};

struct Station {
  // position, kind, platform length, opt_a, opt_e, opt_d, num_a, num_b, opt_b,
  // num_c, num_d, num_e, opt_c, hours, minutes, seconds
  std::array<int, 16> numbers;
  const char* name;
};

const Station kStations[] = {
    {{   100,  2, 1000, 0, 1, 0, 1, 1, 0, 4, 1, 1,  1, 19,  9, 0}, "Orvale Ferlaste"},
    {{  1850, 26,  300, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0,  0,  0, 0}, "Nome Stazione"},
    {{  3050,  2,  600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 60, 19, 18, 0}, "Orvale C.S."},
    {{  7450, 22,  500, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Bivio Lodana"},
    {{ 12400, 22,  600, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "S.Tarvino"},
    {{ 22000, 12,  700, 0, 0, 0, 1, 1, 0, 4, 1, 1,  0,  0,  0, 0}, "Pelverano"},
    {{ 31000,  4,  600, 0, 1, 0, 1, 1, 0, 4, 1, 1,  0,  0,  0, 0}, "Borzo Valtena"},
    {{ 45500,  4,  800, 1, 1, 0, 4, 1, 0, 2, 1, 1,  0,  0,  0, 0}, "Sorbeta Valtena"},
    {{ 49500, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Molterno Castelrupe"},
    {{ 54000, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Ferraia Corvina"},
    {{ 60000, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Villastrona"},
    {{ 65000, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Pescarola Valtena"},
    {{ 76300, 12,  800, 0, 1, 0, 1, 1, 0, 4, 1, 1,  0,  0,  0, 0}, "Sarzena"},
    {{ 85000, 22,  600, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Pontevelora"},
    {{ 92000,  2,  900, 0, 1, 0, 1, 1, 0, 4, 1, 1, 60, 20,  8, 0}, "Lavegna"},
    {{101000, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Campolenta"},
    {{106000, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Frassola Marcadone"},
    {{113000, 22,  800, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Riva Soldra"},
    {{119000,  2,  900, 0, 1, 0, 1, 1, 0, 4, 1, 1, 60, 20, 25, 0}, "Tiave"},
    {{126000, 12,  700, 0, 1, 0, 1, 1, 0, 4, 1, 1,  0,  0,  0, 0}, "Certosa di Tiave"},
    {{134000, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Villaserpente"},
    {{139000, 22,  700, 0, 0, 0, 0, 0, 0, 4, 1, 1,  0,  0,  0, 0}, "Mirate Gruelli"},
    {{147000,  2, 1000, 0, 1, 0, 1, 1, 0, 4, 1, 1,  0,  0,  0, 0}, "Tresca Sabbiedo"},
    {{153000,  2,  900, 0, 1, 0, 1, 1, 0, 3, 4, 1,  0,  0,  0, 0}, "Tresca Fornarte"},
    {{157000,  5, 1000, 1, 1, 0, 1, 1, 0, 2, 1, 1,  0, 20, 50, 0}, "Tresca Centrale"},
};

// posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo, and their widths.
constexpr std::array<std::size_t, 11> kSignalWidths = {8, 4, 2, 2, 3, 2, 5, 3, 1, 1, 2};

constexpr std::array<int, 11> kSignals[] = {
    {  2050, 2, 3, 1, 1, 0, 2, 2, 1, 1, 0}, {  5600, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0},
    { 10300, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, { 16300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 20800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, { 25800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 29800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, { 35800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 42300, 2, 5, 6, 1, 0, 2, 2, 1, 1, 0}, { 48300, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0},
    { 52300, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, { 56300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 58300, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, { 61800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 63800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, { 69300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 74300, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0}, { 79800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 83800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, { 87300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 90300, 2, 3, 1, 1, 0, 2, 2, 1, 1, 0}, { 95300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    { 99300, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, {102800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    {104800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, {108300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    {111300, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, {115300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    {117300, 2, 3, 1, 1, 0, 2, 2, 1, 1, 0}, {121800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    {124800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, {128800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    {132800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, {135800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    {137800, 2, 4, 1, 0, 0, 2, 2, 1, 0, 0}, {141800, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0},
    {145300, 1, 4, 1, 1, 0, 2, 2, 1, 1, 0}, {151050, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0},
    {155150, 2, 2, 3, 1, 0, 2, 2, 1, 1, 0},
};
// clang-format on

// The keyword, then each number after a comma, right-aligned in its width.
template <std::size_t N>
std::string record(const char* keyword, const std::array<int, N>& numbers,
                   const std::array<std::size_t, N>& widths) {
  std::string line = keyword;
  for (std::size_t i = 0; i < N; ++i) {
    line += ',';
    line += right(numbers[i], widths[i]);
  }
  return line;
}

}  // namespace

std::vector<std::string> train_file_entries() {
  LineTable t;
  t.add("[generale]");
  t.add("numero vetture,    7");
  t.add("percentuale massa frenata,    100");
  t.add("sabbia,    0");
  t.add("orologio,    19              8             30 ");
  t.add("[aderenze]");
  t.add("aderenza,   0,    100");
  t.add("[vel_limite]");
  for (const SpeedLimit& v : kSpeedLimits) t.add("velocita," + right(v.position, 8) + "," + right(v.speed, 6));
  t.add("[stazioni]");
  for (const Station& s : kStations) t.add(record("stazione", s.numbers, kStationWidths) + ", " + s.name);
  t.add("[rallentamenti]");
  t.add("[segnali]");
  for (const auto& s : kSignals) t.add(record("segnale", s, kSignalWidths));
  t.add("[codici]");
  t.add("[fine]");
  return t.entries();
}

void dati_treno(Folder& folder, const RunNames& names) {
  write_text_file(folder, names.train_file(), train_file_entries());
}

}  // namespace scenario
