#include "tools/documents/running_time.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace scenario::tool {

std::int32_t SpeedProfile::limit_at(std::int64_t position) const {
  if (changes_.empty()) return 0;
  auto after = std::upper_bound(changes_.begin(), changes_.end(), position,
                                [](std::int64_t p, const SpeedChange& c) { return p < c.position; });
  return after == changes_.begin() ? changes_.front().speed : std::prev(after)->speed;
}

std::vector<double> running_times(const SpeedProfile& profile, std::int64_t from, std::int64_t to,
                                  const RunningModel& model) {
  if (!(from < to) || profile.empty()) throw std::invalid_argument("running_times needs a run and a profile");
  const std::size_t metres = static_cast<std::size_t>(to - from);
  // v[i]: speed in m/s at metre from + i.
  std::vector<double> v(metres + 1);
  const auto& changes = profile.changes();
  auto next = std::upper_bound(changes.begin(), changes.end(), from,
                               [](std::int64_t p, const SpeedChange& c) { return p < c.position; });
  double limit = profile.limit_at(from);
  for (std::size_t i = 0; i <= metres; ++i) {
    const std::int64_t x = from + static_cast<std::int64_t>(i);
    while (next != changes.end() && next->position <= x) limit = (next++)->speed;
    v[i] = std::max(limit, model.lowest_speed_kmh) / 3.6;
  }
  // From rest, no faster than the acceleration allows...
  v[0] = 0;
  for (std::size_t i = 1; i <= metres; ++i)
    v[i] = std::min(v[i], std::sqrt(v[i - 1] * v[i - 1] + 2 * model.acceleration));
  // ...and able to brake for every lower limit ahead and to rest at the end.
  v[metres] = 0;
  for (std::size_t i = metres; i-- > 0;) v[i] = std::min(v[i], std::sqrt(v[i + 1] * v[i + 1] + 2 * model.braking));

  // Constant acceleration over each metre: its time is 2 m over the sum of
  // the speeds at its ends.
  std::vector<double> t(metres + 1);
  t[0] = 0;
  for (std::size_t i = 1; i <= metres; ++i) {
    const double sum = v[i - 1] + v[i];
    // Both ends at rest only on a run of one metre: accelerate half, brake half.
    t[i] = t[i - 1] + (sum > 0 ? 2.0 / sum : std::sqrt(1.0 / model.acceleration) + std::sqrt(1.0 / model.braking));
  }
  return t;
}

}  // namespace scenario::tool
