// The scenario tables the compiler fills between reading the sources and
// writing the binary files: the parameter records, the track grid cells and
// the per-metre track plan.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "run/large_memory.h"

namespace scenario {

// A generic record of the 87-slot parameter table; what each member means
// depends on the slot (stations from slot 1 up, direction boards from slot 80
// down, fixed records in slots 81 to 86).
struct ParameterRecord {
  std::uint8_t kind = 0;
  std::int32_t start_m = 0;
  std::int32_t end_m = 0;
  std::int32_t at_m = 0;
  std::uint8_t opt_a = 0;
  std::string text;
  std::int16_t num_a = 0;
  std::int16_t num_b = 0;
  std::int16_t num_c = 0;
  std::int16_t num_d = 0;
  std::int16_t num_e = 0;
  std::uint8_t opt_b = 0;
  std::uint8_t opt_c = 0;
  std::uint8_t opt_d = 0;
  std::uint8_t opt_e = 0;
  std::int32_t time_s = 0;

  bool operator==(const ParameterRecord&) const = default;
};

inline constexpr int kParameterSlots = 87;
inline constexpr int kFirstBoardSlot = 80;
inline constexpr int kProgressiveTre = 81;
inline constexpr int kProgressiveDue = 82;
inline constexpr int kProgressiveUno = 83;
inline constexpr int kTrainSlot = 84;
inline constexpr int kRouteSlot = 85;
inline constexpr int kSettingsSlot = 86;

using ParameterTable = std::array<ParameterRecord, kParameterSlots>;

// One cell of the track grid: 50 m of line. `cell_type` and the four values
// hold at most one point object; the six single bytes are independent.
struct TrackCell {
  std::uint8_t cell_type = 0;
  std::int16_t value_1 = 0;
  std::int16_t value_2 = 0;
  std::int16_t value_3 = 0;
  std::int16_t value_4 = 0;
  std::uint8_t signal_time = 0;
  std::uint8_t approach_code = 0;
  std::uint8_t tunnel_type = 0;
  std::uint8_t speed_step = 0;
  std::uint8_t gradient_code = 0;
  std::uint8_t adhesion = 0;

  bool operator==(const TrackCell&) const = default;
};

// Cell type codes.
enum CellType : std::uint8_t {
  kNoObject = 0,
  kSignal = 1,
  kSlowdownEnd = 2,
  kSlowdownStart = 3,
  kSlowdownWarning = 4,
  kWarningCountdown = 5,
  kSpeedBoard = 6,
  kStopMark = 10,
  kTunnelMark = 11,
  kAbbattimento = 12,
  kAbbattimentoNoValue = 13,
  kIndicatorBoard = 14,
};

// A placement needs a free cell: nothing there, or only a tunnel mark.
inline bool is_free(const TrackCell& cell) { return cell.cell_type == kNoObject || cell.cell_type == kTunnelMark; }

// Kind of a track plan element, as the plan file tags it.
enum class PlanKind : std::uint8_t { empty = 0, int16 = 2, real = 5 };

// x and y of every metre 0 to plan_length. Both coordinates of a metre are
// always written together, so one kind per metre is enough. The columns grow
// with the line, hence their memory (see run/large_memory.h).
struct TrackPlan {
  LargeVector<double> x;
  LargeVector<double> y;
  LargeVector<PlanKind> kind;

  std::size_t size() const { return kind.size(); }
  void reset(std::size_t metres) {
    x.assign(metres, 0.0);
    y.assign(metres, 0.0);
    kind.assign(metres, PlanKind::empty);
  }

  // Metres 0 and 1: the line starts at the origin heading along +y.
  void start();
  // Metres `from` (at least 2) to `to`, each from the two before it: straight
  // on when k is 0, otherwise turned by k radians per metre. Nothing when
  // `from` is past `to`; `to` must lie inside the plan.
  void extend(std::int64_t from, std::int64_t to, double k);
};

}  // namespace scenario
