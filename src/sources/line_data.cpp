#include "sources/line_data.h"

#include "sources/text_file.h"

namespace scenario {
namespace {

struct Curve {
  const char* keyword;
  int start, length;
};

// clang-format off
constexpr Curve kCurves[] = {
    {"curvad4",   3800,  200}, {"curvas4",   6700,  500}, {"curvad4",  11450,  300},
    {"curvas3",  13300,  550}, {"curvad3",  19950, 1750}, {"curvas4",  21800,  800},
    {"curvas3",  30400,  300}, {"curvad4",  31600,  900}, {"curvas3",  37500,  300},
    {"curvas3",  43200,  300}, {"curvas4",  46200,  600}, {"curvad3",  51000,  500},
    {"curvas4",  56500,  500}, {"curvad4",  57000,  700}, {"curvas4",  71000,  600},
    {"curvad4",  75000,  800}, {"curvas3",  78500,  300}, {"curvas3",  89000,  300},
    {"curvad4",  94000,  550}, {"curvas3", 103000,  500}, {"curvas3", 114000,  400},
    {"curvas3", 131000,  300}, {"curvas4", 142000,  300}, {"curvad4", 152000,  500},
};

struct Tunnel {
  int inizio, fine, tipo;
};

constexpr Tunnel kTunnels[] = {
    {  800,  2750, 11}, { 3400,  3700, 11}, { 3950,  7200, 11}, { 7700, 11600, 11},
    {13850, 16900, 11}, {16950, 20000, 11}, {22500, 30600, 11}, {32500, 37800, 11},
    {37950, 43400, 11}, {43600, 45000, 11},
};

struct SpeedBoard {
  int posizione, vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
};

constexpr SpeedBoard kSpeedBoards[] = {
    //  pos  vas  vbs  vcs  ss  vad  vbd  vcd  sd
    {   800,  80,  80,  80, 0,  80,  80,  80, 0},
    {  4250,  90,  95, 100, 0,  90,  95, 100, 0},
    {  9600, 110, 115, 120, 0, 100, 115, 120, 0},
    { 22500, 120, 130, 140, 0, 120, 130, 140, 0},
    { 28750,  60,  60,  60, 2,  60,  60,  60, 2},
    { 29250,  60,  60,  60, 1,  60,  60,  60, 1},
    { 29750,  60,  60,  60, 0,  60,  60,  60, 0},
    { 31200, 120, 130, 130, 0, 120, 130, 130, 0},
    { 47500, 130, 140, 150, 0, 130, 140, 150, 0},
    { 51200, 120, 130, 140, 2, 120, 130, 140, 2},
    { 51700, 120, 130, 140, 1, 120, 130, 140, 1},
    { 52200, 120, 130, 140, 0, 120, 130, 140, 0},
    { 55800, 130, 140, 150, 0, 130, 140, 150, 0},
    { 77000, 150, 160, 170, 0, 150, 160, 170, 0},
    { 89500,  60,  60,  65, 2,  60,  60,  65, 2},
    { 90000,  60,  60,  65, 1,  60,  60,  65, 1},
    { 90500,  60,  60,  65, 0,  60,  60,  65, 0},
    { 93000,  90,  95,  95, 0,  90,  95,  95, 0},
    { 95000, 140, 150, 160, 0, 140, 150, 160, 0},
    {116500,  90,  95, 100, 2,  90,  95, 100, 2},
    {117000,  90,  95, 100, 1,  90,  95, 100, 1},
    {117500,  90,  95, 100, 0,  90,  95, 100, 0},
    {120500, 140, 150, 160, 0, 140, 150, 160, 0},
    {137000, 100, 110, 120, 2, 100, 110, 120, 2},
    {137500, 100, 110, 120, 1, 100, 110, 120, 1},
    {138000, 100, 110, 120, 0, 100, 110, 120, 0},
    {151000, 100, 105, 110, 2, 100, 105, 110, 2},
    {151500, 100, 105, 110, 1, 100, 105, 110, 1},
    {152000, 100, 105, 110, 0, 100, 105, 110, 0},
    {154000,  90,  95, 100, 2,  90,  95, 100, 0},
    {154500,  90,  95, 100, 1,  90,  95, 100, 1},
    {155000,  90,  95, 100, 0,  90,  95, 100, 0},
};
// clang-format on

// Each value after a comma and `gap` blanks.
std::string values(std::initializer_list<int> list, std::size_t gap) {
  std::string out;
  for (int v : list) {
    out += ',';
    out.append(gap, ' ');
    out += std::to_string(v);
  }
  return out;
}

}  // namespace

std::vector<std::string> line_file_entries() {
  LineTable t;
  t.add("[generale]");
  t.add("lunghezza percorso,    155000");
  t.add("progressiva chilometrica uno,    0,    0,    0");
  t.add("progressiva chilometrica due,    0,    0,    0");
  t.add("progressiva chilometrica tre,    0,    0,    0");
  t.add("sfondo uno,    46000");
  t.add("sfondo due,    1");
  t.add("sfondo tre,    0");
  t.add("ripetizione segnali 9 codici,    0,    155000");
  t.add("[curve]");
  for (const Curve& c : kCurves) t.add(c.keyword + values({c.start, c.length}, 2));
  t.add("[pendenze]");
  t.add("pendenza,   0,    0");
  t.add("pendenza,  4500,   6");
  t.add("pendenza,  24000,   3");
  t.add("pendenza,  31000,   -7");
  t.add("pendenza,  50500,   0");
  t.add("[montagne]");
  for (const Tunnel& m : kTunnels)
    t.add("montagna" + values({m.inizio}, 3) + values({m.fine, m.tipo}, 2));
  t.add("[cartelli]");
  for (const SpeedBoard& b : kSpeedBoards)
    t.add("indicatori_vmax" +
          values({b.posizione, b.vas, b.vbs, b.vcs, b.strisces, b.vad, b.vbd, b.vcd, b.strisced}, 2));
  t.add("[indicazioni]");
  t.add("cartello_indicatore,  1500,   (Bivio     )(Sparvenzia)");
  t.add("cartello_indicatore,  2000,   (Bivio     )(Sparvenzia)");
  t.add("[fine]");
  return t.entries();
}

void dati_linea(Folder& folder, const RunNames& names) {
  write_text_file(folder, names.line_file(), line_file_entries());
}

}  // namespace scenario
