#include "bench/scenario_generator.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <stdexcept>

namespace scenario::bench {
namespace {

// Every block of 5000 m is laid out alike, so that no two objects meet in a
// cell and the grid pass always finds room for its markers. In grid cells
// from the block's start (cell = position / 50 + 1):
//   signals           cells 6, 16, ... 96 (every 500 m)
//   slowdown          countdown 30-33, warning 34, start 58, end 78
//   speed board       cell 91
//   station stop      cells 10, 50 or 90 (three places; 78 stations are
//                     spread over all the places of the line)
// Curves, gradients, speed limits and adhesion are not point objects and go
// anywhere; tunnels are spread over the whole line.
constexpr std::int32_t kFirstSignal = 250;  // then every 500 m
constexpr std::int32_t kSlowdownStart = 2850;
constexpr std::int32_t kSlowdownLength = 1000;
constexpr std::int32_t kSpeedBoard = 4500;
constexpr std::int32_t kStationEnds[] = {550, 2550, 4550};  // stop cells 10, 50, 90
constexpr int kMostStations = 78;                           // slots 1 to 78, with no direction boards
constexpr int kMostTunnels = 80;                            // the tunnel tables' room

// Values that vary from block to block, taken in turn.
constexpr int kGradients[] = {0, 6, 12, -8, 3, -15, 9, -4, 0, 18, -11, 5};
constexpr int kSpeeds[] = {100, 120, 140, 160, 90, 130};
constexpr int kAdhesions[] = {100, 90, 80, 100, 70};
constexpr int kSlowdownSpeeds[] = {60, 80, 120, 30, 100};  // 120: no markers inside
constexpr int kStationKinds[] = {2, 12, 22, 4, 7};
constexpr int kTunnelTypes[] = {11, 12, 1, 11, 2};

template <std::size_t N>
int pick(const int (&values)[N], std::int64_t i) {
  return values[static_cast<std::size_t>(i) % N];
}

// One record line: the keyword, then each value after a comma and a blank.
void add_record(std::string& out, const char* keyword, std::initializer_list<std::int64_t> values,
                const std::string& text = {}) {
  out += keyword;
  for (std::int64_t v : values) {
    out += ", ";
    out += std::to_string(v);
  }
  if (!text.empty()) {
    out += ", ";
    out += text;
  }
  out += "\r\n";
}

void add_line(std::string& out, const char* line) {
  out += line;
  out += "\r\n";
}

std::string line_file(ScenarioLayout& layout) {
  const std::int32_t length = layout.line_length;
  const std::int32_t blocks = length / kBlockLength;
  std::string out;
  add_line(out, "[generale]");
  add_record(out, "lunghezza percorso", {length});
  add_record(out, "progressiva chilometrica uno", {0, 0, 0});
  add_record(out, "progressiva chilometrica due", {0, 0, 0});
  add_record(out, "progressiva chilometrica tre", {0, 0, 0});
  add_record(out, "sfondo uno", {46000});
  add_record(out, "sfondo due", {1});
  add_record(out, "sfondo tre", {0});
  add_record(out, "ripetizione segnali 9 codici", {0, length});

  add_line(out, "[curve]");
  // A right curve and a left one in every block, the classes taken in turn.
  for (std::int32_t b = 0; b < blocks; ++b) {
    const std::int32_t base = b * kBlockLength;
    add_record(out, ("curvad" + std::to_string(1 + b % 6)).c_str(), {base + 1000, 600});
    add_record(out, ("curvas" + std::to_string(1 + (b + 3) % 6)).c_str(), {base + 3500, 800});
    layout.curves += 2;
  }

  add_line(out, "[pendenze]");
  for (std::int32_t b = 0, i = 0; b < blocks; ++b)
    for (std::int32_t at : {0, 1250, 2500, 3750})
      add_record(out, "pendenza", {b * kBlockLength + at, pick(kGradients, i++)});

  add_line(out, "[montagne]");
  layout.tunnels = std::min<std::int32_t>(kMostTunnels, length / 1000);
  const std::int32_t span = length / layout.tunnels / 50 * 50;
  for (int t = 0; t < layout.tunnels; ++t) {
    const std::int32_t inizio = t * span + span / 4 / 50 * 50;
    add_record(out, "montagna", {inizio, inizio + span / 2 / 50 * 50, pick(kTunnelTypes, t)});
  }

  add_line(out, "[cartelli]");
  for (std::int32_t b = 0; b < blocks; ++b) {
    const int v = pick(kSpeeds, b);
    add_record(out, "indicatori_vmax", {b * kBlockLength + kSpeedBoard, v, v + 10, v + 20, 0, v, v + 10, v + 20, 0});
  }
  add_line(out, "[indicazioni]");
  add_line(out, "[fine]");
  return out;
}

void add_station(std::string& out, int number, int kind, std::int32_t end_m) {
  std::int32_t platform = 400;
  std::int32_t position = end_m - platform / 2;  // centred
  if (kind == 7) {
    platform = 300;
    position = end_m - platform;
  } else if (kind == 5) {
    position = end_m - 150;
  }
  const int minutes = 3 * number;
  char name[32];
  std::snprintf(name, sizeof name, "Stazione %03d", number + 1);
  add_record(out, "stazione",
             {position, kind, platform, 0, 1, 0, 1, 1, 0, 4, 1, 1, 0, 6 + minutes / 60, minutes % 60, 0}, name);
}

std::string train_file(ScenarioLayout& layout) {
  const std::int32_t blocks = layout.line_length / kBlockLength;
  std::string out;
  add_line(out, "[generale]");
  add_record(out, "numero vetture", {7});
  add_record(out, "percentuale massa frenata", {100});
  add_record(out, "sabbia", {0});
  add_line(out, "orologio,    6              0             0 ");

  add_line(out, "[aderenze]");
  for (std::int32_t b = 0; b < blocks; ++b) add_record(out, "aderenza", {b * kBlockLength, pick(kAdhesions, b)});

  add_line(out, "[vel_limite]");
  for (std::int32_t b = 0; b < blocks; ++b) {
    add_record(out, "velocita", {b * kBlockLength, pick(kSpeeds, b)});
    add_record(out, "velocita", {b * kBlockLength + 2500, pick(kSpeeds, b + 2)});
  }

  add_line(out, "[stazioni]");
  const std::int64_t places = 3 * static_cast<std::int64_t>(blocks);
  layout.stations = static_cast<int>(std::min<std::int64_t>(kMostStations, places));
  for (int i = 0; i < layout.stations; ++i) {
    const std::int64_t place = i * places / layout.stations;
    const std::int32_t end_m = static_cast<std::int32_t>(place / 3 * kBlockLength + kStationEnds[place % 3]);
    add_station(out, i, i + 1 == layout.stations ? 5 : pick(kStationKinds, i), end_m);
  }

  add_line(out, "[rallentamenti]");
  for (std::int32_t b = 0; b < blocks; ++b) {
    // x, v, l, f_tt, f_ta (a countdown before the warning board), d_v
    add_record(out, "rallentamento",
               {b * kBlockLength + kSlowdownStart, pick(kSlowdownSpeeds, b), kSlowdownLength, 1, 1, b % 2 * 2});
    ++layout.slowdowns;
  }

  add_line(out, "[segnali]");
  for (std::int32_t b = 0; b < blocks; ++b)
    for (int j = 0; j < 10; ++j) {
      const std::int64_t sx = 1 + j % 2;
      add_record(out, "segnale", {b * kBlockLength + kFirstSignal + 500 * j, sx, 4, 1, 0, 0, sx, 2, 1, 0, 0});
      ++layout.signals;
    }
  add_line(out, "[codici]");
  add_line(out, "[fine]");
  return out;
}

}  // namespace

GeneratedScenario generate_scenario(std::int32_t line_length) {
  if (line_length < kBlockLength || line_length > kLongestLine || line_length % kBlockLength != 0)
    throw std::invalid_argument("a generated line is a multiple of " + std::to_string(kBlockLength) + " m up to " +
                                std::to_string(kLongestLine) + " m, not " + std::to_string(line_length));
  GeneratedScenario s;
  s.layout.line_length = line_length;
  s.line_file = line_file(s.layout);
  s.train_file = train_file(s.layout);
  return s;
}

}  // namespace scenario::bench
