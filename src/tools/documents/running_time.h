// The running-time calculation behind the times a train file does not hold:
// the train runs at the speed limit in force, accelerating and braking at
// fixed rates, from rest at one stop to rest at the next.
#pragma once

#include <cstdint>
#include <vector>

namespace scenario::tool {

// A change of the speed limit: from `position` on, `speed` km/h.
struct SpeedChange {
  std::int32_t position = 0;
  std::int32_t speed = 0;
  bool operator==(const SpeedChange&) const = default;
};

struct RunningModel {
  // m/s²: the mean acceleration of a loco-hauled intercity train up to its
  // line speed, and a service braking that timetables plan with (well
  // below an emergency stop).
  double acceleration = 0.4;
  double braking = 0.5;
  // The lowest limit the model runs at: a limit of 0 km/h would stop the
  // train for ever.
  double lowest_speed_kmh = 5;
};

// The speed limits in force along the line, changes in position order. Before
// the first change the first change's limit holds.
class SpeedProfile {
 public:
  explicit SpeedProfile(std::vector<SpeedChange> changes) : changes_(std::move(changes)) {}
  bool empty() const { return changes_.empty(); }
  const std::vector<SpeedChange>& changes() const { return changes_; }
  // km/h in force at `position`.
  std::int32_t limit_at(std::int64_t position) const;

 private:
  std::vector<SpeedChange> changes_;
};

// Seconds from the start at every metre of the run from `from` to `to`
// (element i is metre from + i), starting and ending at rest: each metre at
// the highest speed the limits, the acceleration from the start and the
// braking to the end allow. The limit of a metre holds from the metre on; a
// lower limit ahead is reached by braking before it. Needs from < to and a
// profile that is not empty.
std::vector<double> running_times(const SpeedProfile& profile, std::int64_t from, std::int64_t to,
                                  const RunningModel& model = {});

}  // namespace scenario::tool
