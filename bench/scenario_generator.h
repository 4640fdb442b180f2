// Valid scenarios of any size for benchmarks and tests: a line with curves,
// gradients, tunnels and speed boards all along it, the most stations the
// parameter table holds, a signal every 500 m and a slowdown with its warning
// board every 5 km. They compile with no recorded code.
#pragma once

#include <cstdint>
#include <string>

namespace scenario::bench {

// The line is laid out in blocks of this many metres, every block alike.
inline constexpr std::int32_t kBlockLength = 5000;
inline constexpr std::int32_t kLongestLine = 1000000;

// How many objects of each kind a generated scenario holds.
struct ScenarioLayout {
  std::int32_t line_length = 0;
  int curves = 0;
  int stations = 0;
  int signals = 0;
  int slowdowns = 0;
  int tunnels = 0;
};

struct GeneratedScenario {
  ScenarioLayout layout;
  std::string line_file;   // Windows-1252, CR LF, as the line file writer would write it
  std::string train_file;  // likewise for the train file
};

// `line_length` is a multiple of kBlockLength up to kLongestLine; anything
// else throws std::invalid_argument. Lines shorter than 26 blocks get fewer
// stations (three per block).
GeneratedScenario generate_scenario(std::int32_t line_length);

}  // namespace scenario::bench
