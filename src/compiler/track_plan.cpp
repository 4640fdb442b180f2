// The arithmetic of the track plan, metre by metre.
#include "compiler/tables.h"

namespace scenario {

void TrackPlan::start() {
  kind[0] = kind[1] = PlanKind::int16;
  x[0] = y[0] = x[1] = 0.0;
  y[1] = 1.0;
}

void TrackPlan::extend(std::int64_t from, std::int64_t to, double k) {
  if (from > to) return;
  const auto last = static_cast<std::size_t>(to);
  auto m = static_cast<std::size_t>(from);
  // The two previous elements ride along in registers; each step is the same
  // double arithmetic as reading them back.
  double x2 = x[m - 2], x1 = x[m - 1], y2 = y[m - 2], y1 = y[m - 1];
  if (k == 0.0) {
    for (; m <= last; ++m) {
      const double nx = x1 + (x1 - x2), ny = y1 + (y1 - y2);
      x[m] = nx;
      y[m] = ny;
      kind[m] = PlanKind::real;
      x2 = x1, x1 = nx, y2 = y1, y1 = ny;
    }
  } else {
    for (; m <= last; ++m) {
      const double dx = x1 - x2, dy = y1 - y2;
      // The bracket first, then its sum with the previous element.
      const double nx = x1 + (dy * k + dx), ny = y1 + (dy - dx * k);
      x[m] = nx;
      y[m] = ny;
      kind[m] = PlanKind::real;
      x2 = x1, x1 = nx, y2 = y1, y1 = ny;
    }
  }
}

}  // namespace scenario
