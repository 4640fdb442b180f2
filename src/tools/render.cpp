#include "tools/render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

#include "run/folder.h"
#include "sources/cp1252.h"
#include "tools/compile_session.h"
#include "tools/report.h"
#include "tools/tool_names.h"

namespace scenario::tool {
namespace {

// Page geometry, in SVG user units (pixels at 100 %).
constexpr double kPageWidth = 1600;
constexpr double kLeft = 136;  // room for the lane titles and the axis values
constexpr double kRight = 36;
constexpr double kPlotWidth = kPageWidth - kLeft - kRight;
constexpr const char* kFont = "'Segoe UI', 'Helvetica Neue', Arial, sans-serif";

// Colours: one per kind of object, the same in both views and the legend.
constexpr const char* kInk = "#2b2b2b";
constexpr const char* kMuted = "#6f6f6f";
constexpr const char* kGridLine = "#e4e4e4";
constexpr const char* kStation = "#6a3d9a";
constexpr const char* kSignalRed = "#d62728";
constexpr const char* kSpeed = "#1f5fa8";
constexpr const char* kClimb = "#e07b39";
constexpr const char* kDescent = "#2a9d8f";
constexpr const char* kTunnel = "#5b5b5b";
constexpr const char* kBoard = "#f2b01e";
constexpr const char* kDirection = "#2a7f3f";
constexpr const char* kStart = "#2a9d4f";
constexpr const char* kEnd = "#c0392b";

std::string num(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", v);
  std::string s = buffer;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s == "-0" ? "0" : s;
}

std::string escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        // Control characters are not allowed in XML 1.0.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
    }
  }
  return out;
}

// An estimate of a label's width in a sans-serif face: what the placement
// of labels needs, without measuring fonts.
double text_width(std::string_view utf8, double size) {
  std::size_t chars = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
  return static_cast<double>(chars) * size * 0.56;
}

std::string km_label(std::int64_t metres) {
  const std::string full = position_text(static_cast<std::int32_t>(metres));
  return "km " + full.substr(full.find("km ") + 3);
}

std::string clock_text(std::int32_t seconds) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d", (seconds / 3600) % 24, (seconds / 60) % 60);
  return buffer;
}

// A speed board value: the two speeds of one category as (left / 5) x 100 +
// (right / 5), as the compiler packs them.
int board_left(int value) { return (value / 100) * 5; }
int board_right(int value) { return (value % 100) * 5; }

class Svg {
 public:
  void raw(const std::string& s) { out_ += s; }
  void line(double x1, double y1, double x2, double y2, const std::string& style) {
    out_ += "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" + num(y2) + "\" " +
            style + "/>\n";
  }
  void rect(double x, double y, double w, double h, const std::string& style) {
    out_ += "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(std::max(w, 0.0)) + "\" height=\"" +
            num(std::max(h, 0.0)) + "\" " + style + "/>\n";
  }
  void circle(double x, double y, double r, const std::string& style) {
    out_ += "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\" " + style + "/>\n";
  }
  // `content` is escaped here; `style` is trusted.
  void text(double x, double y, std::string_view content, const std::string& style) {
    out_ += "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" " + style + ">" + escape(content) + "</text>\n";
  }
  void open_group(const std::string& tooltip, const std::string& attributes = {}) {
    out_ += "<g" + (attributes.empty() ? std::string() : " " + attributes) + ">";
    if (!tooltip.empty()) out_ += "<title>" + escape(tooltip) + "</title>";
    out_ += "\n";
  }
  void close_group() { out_ += "</g>\n"; }
  std::string take() { return std::move(out_); }

 private:
  std::string out_;
};

std::string fill(const char* colour, double opacity = 1.0) {
  std::string s = "fill=\"" + std::string(colour) + "\"";
  if (opacity < 1.0) s += " fill-opacity=\"" + num(opacity * 100 / 100) + "\"";
  return s;
}

std::string font(double size, const char* colour = kInk, const char* anchor = "start", bool bold = false) {
  std::string s = "font-size=\"" + num(size) + "\" fill=\"" + colour + "\"";
  if (std::string_view(anchor) != "start") s += " text-anchor=\"" + std::string(anchor) + "\"";
  if (bold) s += " font-weight=\"600\"";
  return s;
}

// Labels along one axis, kept apart: each goes to the first row where it fits
// centred on its anchor, or, when none has room, just after the least full
// row. Anchors must come in ascending order.
struct PlacedLabel {
  double left = 0;
  int row = 0;
};
std::vector<PlacedLabel> place_labels(const std::vector<double>& anchors, const std::vector<double>& widths, int rows,
                                      double lo, double hi, double gap) {
  std::vector<double> row_end(static_cast<std::size_t>(rows), -1e18);
  std::vector<PlacedLabel> placed;
  for (std::size_t i = 0; i < anchors.size(); ++i) {
    const double w = widths[i];
    const double wanted = std::clamp(anchors[i] - w / 2, lo, std::max(lo, hi - w));
    PlacedLabel p;
    bool done = false;
    for (int r = 0; r < rows && !done; ++r)
      if (wanted >= row_end[static_cast<std::size_t>(r)] + gap) {
        p = {wanted, r};
        done = true;
      }
    if (!done) {
      const auto least = std::min_element(row_end.begin(), row_end.end());
      p = {std::min(*least + gap, std::max(lo, hi - w)), static_cast<int>(least - row_end.begin())};
    }
    row_end[static_cast<std::size_t>(p.row)] = p.left + w;
    placed.push_back(p);
  }
  return placed;
}

// Runs of equal value over cells [first, last]; cell c covers [c x 50,
// (c + 1) x 50), the cursor rule of the profiles.
template <typename Value>
std::vector<Stretch> cell_runs(const std::vector<TrackCell>& grid, std::int64_t first, std::int64_t last, Value value,
                               bool skip_zero) {
  std::vector<Stretch> runs;
  for (std::int64_t c = first; c <= last; ++c) {
    const int v = value(grid[static_cast<std::size_t>(c)]);
    if (!runs.empty() && runs.back().value == v && runs.back().to == c * 50) {
      runs.back().to = (c + 1) * 50;
    } else if (!(skip_zero && v == 0)) {
      runs.push_back({c * 50, (c + 1) * 50, v});
    }
  }
  if (skip_zero) std::erase_if(runs, [](const Stretch& r) { return r.value == 0; });
  return runs;
}

// Where a metre of the line lands on the page: the plan turned so that the
// line runs from left to right, scaled to the page without distortion.
struct PlanFrame {
  double x0 = 0, y0 = 0, cos_a = 1, sin_a = 0, u_min = 0, v_max = 0, scale = 1, left = 0, top = 0;
  double width = 0, height = 0;
  std::pair<double, double> to_page(double x, double y) const {
    const double dx = x - x0, dy = y - y0;
    const double u = dx * cos_a + dy * sin_a;
    const double v = -dx * sin_a + dy * cos_a;  // left of the line's direction is up on the page
    return {left + (u - u_min) * scale, top + (v_max - v) * scale};
  }
};

struct PlanPoint {
  std::int64_t metre;
  double x, y;
};

std::vector<PlanPoint> plan_points(const DecodedTrackPlan& plan) {
  std::vector<PlanPoint> points;
  const std::size_t n = std::min(plan.x.size(), plan.y.size());
  for (std::size_t m = 0; m < n; ++m)
    if (plan.x[m].kind != PlanKind::empty && plan.y[m].kind != PlanKind::empty)
      points.push_back({static_cast<std::int64_t>(m), plan.x[m].value, plan.y[m].value});
  return points;
}

// The computed point nearest to metre `m` (the plan has one per metre).
const PlanPoint& point_at(const std::vector<PlanPoint>& points, std::int64_t m) {
  auto it = std::lower_bound(points.begin(), points.end(), m,
                             [](const PlanPoint& p, std::int64_t metre) { return p.metre < metre; });
  if (it == points.end()) return points.back();
  return *it;
}

struct Page {
  Svg svg;
  double y = 0;  // the next free line on the page
  // Where the views put a metre of the line, for the marks drawn over them.
  std::vector<PlanPoint> plan_points;
  PlanFrame plan_frame;
  double profile_top = 0, profile_bottom = 0, axis_end = 1000;
};

void draw_header(Page& page, const CompiledScenario& s, const ScenarioFeatures& f) {
  const std::string title = cp1252_to_utf8(s.names.route_name) + " \u2014 " + cp1252_to_utf8(s.names.train_name);
  page.svg.text(28, 40, title, font(24, kInk, "start", true));
  std::string summary = "Line of " + num(static_cast<double>(f.route_length) / 1000.0) + " km \u00b7 " +
                        std::to_string(f.stations.size()) + " stations \u00b7 " + std::to_string(f.signals.size()) +
                        " signals \u00b7 " + std::to_string(f.tunnels.size()) + " tunnels \u00b7 " +
                        std::to_string(f.speed_boards.size()) + " speed boards";
  if (!f.direction_boards.empty())
    summary += " \u00b7 " + std::to_string(f.direction_boards.size()) + " direction boards";
  if (!f.slowdowns.empty()) summary += " \u00b7 " + std::to_string(f.slowdowns.size()) + " slowdowns";
  page.svg.text(28, 64, summary, font(13, kMuted));
  page.y = 84;
}

void panel_title(Page& page, const std::string& title, const std::string& note) {
  page.svg.line(28, page.y, kPageWidth - 28, page.y, "stroke=\"#cfcfcf\" stroke-width=\"1\"");
  page.svg.text(28, page.y + 22, title, font(15, kInk, "start", true));
  if (!note.empty()) page.svg.text(28 + text_width(title, 15) + 14, page.y + 22, note, font(11.5, kMuted));
  page.y += 34;
}

void draw_plan(Page& page, const CompiledScenario& s, const ScenarioFeatures& f) {
  std::vector<PlanPoint> points = s.plan ? plan_points(*s.plan) : std::vector<PlanPoint>{};
  if (points.size() < 2) {
    panel_title(page, "Plan view", "");
    page.svg.text(kLeft, page.y + 18, "No track plan file: this scenario was compiled without a plan (--no-plan).",
                  font(13, kMuted));
    page.y += 40;
    return;
  }
  const PlanPoint& first = points.front();
  const PlanPoint& end = point_at(points, std::max<std::int64_t>(f.route_length, 1));
  const PlanPoint& chord_end = end.metre > first.metre ? end : points.back();

  PlanFrame frame;
  frame.x0 = first.x;
  frame.y0 = first.y;
  const double angle = std::atan2(chord_end.y - first.y, chord_end.x - first.x);
  frame.cos_a = std::cos(angle);
  frame.sin_a = std::sin(angle);
  double u_min = 1e300, u_max = -1e300, v_min = 1e300, v_max = -1e300;
  for (const PlanPoint& p : points) {
    const double dx = p.x - frame.x0, dy = p.y - frame.y0;
    const double u = dx * frame.cos_a + dy * frame.sin_a, v = -dx * frame.sin_a + dy * frame.cos_a;
    u_min = std::min(u_min, u), u_max = std::max(u_max, u), v_min = std::min(v_min, v), v_max = std::max(v_max, v);
  }
  const double du = std::max(u_max - u_min, 1.0), dv = std::max(v_max - v_min, 1.0);
  constexpr double kMaxPlanHeight = 380;
  frame.scale = std::min((kPlotWidth - 40) / du, kMaxPlanHeight / dv);
  frame.u_min = u_min;
  frame.v_max = v_max;
  frame.width = du * frame.scale;
  frame.height = std::max(dv * frame.scale, 2.0);

  panel_title(page, "Plan view",
              "turned so that the line runs left to right \u00b7 1 km = " + num(frame.scale * 1000) +
                  " px \u00b7 scale bar and +y arrow at the right");

  constexpr int kRowsEachSide = 3;
  constexpr double kRowHeight = 17;
  const double labels_above = kRowsEachSide * kRowHeight + 8;
  frame.left = kLeft + 20 + (kPlotWidth - 40 - frame.width) / 2;
  frame.top = page.y + labels_above;
  const double drawing_bottom = frame.top + frame.height;

  // The line itself: solid to the end of the route, dashed beyond it.
  const std::size_t step = std::max<std::size_t>(1, points.size() / 4000);
  auto path = [&](std::int64_t from, std::int64_t to) {
    std::string d;
    bool started = false;
    for (std::size_t i = 0; i < points.size(); i += step) {
      const PlanPoint& p = points[i];
      if (p.metre < from || p.metre > to) continue;
      auto [x, y] = frame.to_page(p.x, p.y);
      d += (started ? " L" : "M") + num(x) + " " + num(y);
      started = true;
    }
    const PlanPoint& last = point_at(points, to);
    if (started && last.metre <= to) {
      auto [x, y] = frame.to_page(last.x, last.y);
      d += " L" + num(x) + " " + num(y);
    }
    return d;
  };
  page.svg.open_group("The line, metre 0 to " + km_label(end.metre));
  page.svg.raw("<path d=\"" + path(0, end.metre) + "\" fill=\"none\" stroke=\"" + kInk +
               "\" stroke-width=\"2.6\" stroke-linejoin=\"round\" stroke-linecap=\"round\"/>");
  page.svg.close_group();
  if (points.back().metre > end.metre) {
    page.svg.open_group("Beyond the end of the line, to " + km_label(points.back().metre));
    page.svg.raw("<path d=\"" + path(end.metre, points.back().metre) +
                 "\" fill=\"none\" stroke=\"#9a9a9a\" stroke-width=\"2\" stroke-dasharray=\"4 3\"/>");
    page.svg.close_group();
  }

  // Kilometre marks along the line, every 10 km.
  for (std::int64_t m = 10000; m < end.metre; m += 10000) {
    const PlanPoint& p = point_at(points, m);
    auto [x, y] = frame.to_page(p.x, p.y);
    page.svg.circle(x, y, 2.2, "fill=\"#ffffff\" stroke=\"" + std::string(kMuted) + "\" stroke-width=\"1\"");
    page.svg.text(x, y + 14, std::to_string(m / 1000), font(9.5, kMuted, "middle"));
  }

  // Signals: red dots on the line.
  for (const PointMark& sig : f.signals) {
    const PlanPoint& p = point_at(points, sig.at);
    auto [x, y] = frame.to_page(p.x, p.y);
    page.svg.open_group("Signal, " + km_label(sig.at));
    page.svg.circle(x, y, 3, "fill=\"" + std::string(kSignalRed) + "\" stroke=\"#ffffff\" stroke-width=\"0.8\"");
    page.svg.close_group();
  }

  // Start, end and stations, labelled in rows above and below the line.
  struct Labelled {
    double x, y;
    std::string text, tooltip;
    const char* colour;
    bool station;
    bool placeholder;
  };
  std::vector<Labelled> labelled;
  {
    auto [x, y] = frame.to_page(first.x, first.y);
    labelled.push_back({x, y, "Start", "Start of the line, km 0+000", kStart, false, false});
  }
  {
    auto [x, y] = frame.to_page(end.x, end.y);
    labelled.push_back(
        {x, y, "End " + km_label(end.metre), "End of the line, " + km_label(end.metre), kEnd, false, false});
  }
  for (const StationMark& st : f.stations) {
    const PlanPoint& p = point_at(points, std::clamp<std::int64_t>(st.at, 0, points.back().metre));
    auto [x, y] = frame.to_page(p.x, p.y);
    labelled.push_back({x, y, st.name, st.name + ", " + km_label(st.at), kStation, true, st.kind >= 25});
  }
  std::stable_sort(labelled.begin(), labelled.end(), [](const Labelled& a, const Labelled& b) { return a.x < b.x; });
  std::vector<double> anchors, widths;
  for (const Labelled& l : labelled) {
    anchors.push_back(l.x);
    widths.push_back(text_width(l.text, 11.5) + 4);
  }
  const auto placed = place_labels(anchors, widths, kRowsEachSide * 2, 24, kPageWidth - 24, 8);
  for (std::size_t i = 0; i < labelled.size(); ++i) {
    const Labelled& l = labelled[i];
    const bool above = placed[i].row % 2 == 0;
    const int level = placed[i].row / 2;
    const double label_x = placed[i].left + widths[i] / 2;
    const double baseline = above ? frame.top - 8 - level * kRowHeight : drawing_bottom + 8 + 11 + level * kRowHeight;
    const double leader_end = above ? baseline + 3 : baseline - 11;
    page.svg.open_group(l.tooltip);
    page.svg.line(l.x, l.y, label_x, leader_end,
                  "stroke=\"" + std::string(l.colour) + "\" stroke-opacity=\"0.45\" stroke-width=\"0.8\"");
    if (l.station) {
      page.svg.circle(l.x, l.y, 4.2,
                      std::string("fill=\"") + (l.placeholder ? "#ffffff" : kStation) + "\" stroke=\"" + kStation +
                          "\" stroke-width=\"1.4\"");
    } else {
      page.svg.circle(l.x, l.y, 6, "fill=\"" + std::string(l.colour) + "\" stroke=\"#ffffff\" stroke-width=\"1.5\"");
    }
    std::string style = font(11.5, l.colour, "middle", !l.station);
    if (l.placeholder) style += " font-style=\"italic\" fill-opacity=\"0.7\"";
    page.svg.text(label_x, baseline, l.text, style);
    page.svg.close_group();
  }

  // Scale bar and the direction of +y, at the right under the drawing.
  const double bar_km = frame.scale * 10000 < 200 ? 10 : (frame.scale * 5000 < 200 ? 5 : 1);
  const double bar = frame.scale * bar_km * 1000;
  const double by = drawing_bottom + labels_above + 12;
  const double bx = kPageWidth - 60 - bar;
  page.svg.rect(bx, by - 3, bar, 3, fill(kInk));
  page.svg.text(bx + bar / 2, by - 7, num(bar_km) + " km", font(10, kInk, "middle"));
  const double ax = bx - 52, ay = by - 4;
  const double nx = frame.sin_a, ny = -frame.cos_a;  // +y on the page: (sin a, -cos a)
  page.svg.line(ax - nx * 12, ay - ny * 12, ax + nx * 12, ay + ny * 12,
                "stroke=\"" + std::string(kInk) + "\" stroke-width=\"1.4\" marker-end=\"url(#arrow)\"");
  page.svg.text(ax - 22, ay + 4, "+y", font(10, kInk, "end"));
  page.y = by + 16;
  page.plan_frame = frame;
  page.plan_points = std::move(points);
}

// The profile along the line, lane by lane, on one kilometre axis.
void draw_profile(Page& page, const ScenarioFeatures& f) {
  panel_title(page, "Profile along the line",
              "gradient, speed limit, tunnels, speed boards, stations and signals by kilometre");
  Svg& svg = page.svg;
  const double axis_end = static_cast<double>(std::max<std::int64_t>(f.axis_end, 1000));
  auto X = [&](double metres) { return kLeft + metres / axis_end * kPlotWidth; };

  struct Lane {
    const char* title;
    const char* unit;
    double top, height;
  };
  auto lane = [&](const char* title, const char* unit, double height) {
    Lane l{title, unit, page.y, height};
    page.y += height + 8;
    return l;
  };
  constexpr int kStationRows = 4;
  const Lane stations = lane("Stations", "", kStationRows * 15.0 + 16);
  const Lane signals = lane("Signals", "", 24);
  const Lane boards = lane("Speed boards", "km/h, category A", 38);
  const Lane speed = lane("Speed limit", "km/h", 150);
  const Lane gradient = lane("Gradient", "\u2030", 112);
  const Lane tunnels = lane("Tunnels", "", 20);
  const double axis_top = page.y;
  const double body_top = signals.top - 4, body_bottom = tunnels.top + tunnels.height;
  page.profile_top = stations.top;
  page.profile_bottom = axis_top;
  page.axis_end = axis_end;

  // Behind everything: the stretch past the end of the line, kilometre grid
  // lines, tunnel bands.
  if (f.route_length > 0 && f.route_length < f.axis_end) {
    svg.rect(X(static_cast<double>(f.route_length)), stations.top, X(axis_end) - X(static_cast<double>(f.route_length)),
             body_bottom - stations.top, "fill=\"#f3f3f3\"");
  }
  double major_km = 1;
  for (double candidate : {1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 100.0, 200.0})
    if (candidate * 1000 / axis_end * kPlotWidth >= 70) {
      major_km = candidate;
      break;
    }
  const double minor_km = major_km >= 10 && static_cast<int>(major_km) % 10 == 0 ? major_km / 5
                          : static_cast<int>(major_km) % 5 == 0                  ? major_km / 5
                                                                                 : major_km / 2;
  for (double km = 0; km * 1000 <= axis_end + 0.5; km += major_km)
    svg.line(X(km * 1000), body_top, X(km * 1000), axis_top, "stroke=\"" + std::string(kGridLine) + "\"");
  for (const Stretch& t : f.tunnels)
    svg.rect(X(static_cast<double>(t.from)), body_top, X(static_cast<double>(t.to)) - X(static_cast<double>(t.from)),
             body_bottom - body_top, "fill=\"" + std::string(kTunnel) + "\" fill-opacity=\"0.09\"");
  for (const StationMark& st : f.stations)
    svg.line(X(static_cast<double>(st.at)), stations.top + stations.height - 6, X(static_cast<double>(st.at)), axis_top,
             "stroke=\"" + std::string(kStation) + "\" stroke-opacity=\"0.28\" stroke-dasharray=\"2 3\"");

  // Lane titles.
  for (const Lane* l : {&stations, &signals, &boards, &speed, &gradient, &tunnels}) {
    svg.text(kLeft - 34, l->top + std::min(l->height / 2, 24.0) + 4, l->title, font(12, kInk, "end", true));
    if (*l->unit) svg.text(kLeft - 34, l->top + std::min(l->height / 2, 24.0) + 18, l->unit, font(10, kMuted, "end"));
  }

  // The end of the line.
  if (f.route_length > 0 && f.route_length <= f.axis_end) {
    const double ex = X(static_cast<double>(f.route_length));
    svg.open_group("End of the line, " + km_label(f.route_length));
    svg.line(ex, body_top, ex, axis_top,
             "stroke=\"" + std::string(kEnd) + "\" stroke-width=\"1.2\" stroke-dasharray=\"5 3\"");
    svg.text(ex + 4, body_bottom - 4, "end of line", font(10, kEnd));
    svg.close_group();
  }

  // Stations: area bars, and names in rows above them.
  {
    const double bar_y = stations.top + stations.height - 10;
    std::vector<double> anchors, widths;
    std::vector<std::string> labels;
    for (const StationMark& st : f.stations) {
      std::string label = st.name;
      if (st.time_s > 0) label += "  " + clock_text(st.time_s);  // the time follows the name
      anchors.push_back(X(static_cast<double>(st.at)));
      widths.push_back(text_width(label, 11) + 4);
      labels.push_back(label);
    }
    const auto placed = place_labels(anchors, widths, kStationRows, kLeft - 10, kPageWidth - 4, 6);
    for (std::size_t i = 0; i < f.stations.size(); ++i) {
      const StationMark& st = f.stations[i];
      const bool placeholder = st.kind >= 25;
      std::string tooltip = st.name + ", " + km_label(st.at) + " (area " + km_label(st.start) + " to " +
                            km_label(st.end) + ", kind " + std::to_string(st.kind) + ")";
      if (st.time_s > 0) tooltip += ", " + clock_text(st.time_s);
      if (placeholder) tooltip += ", not marked on the grid";
      svg.open_group(tooltip);
      const double x0 = X(static_cast<double>(st.start)), x1 = X(static_cast<double>(st.end));
      svg.rect(x0, bar_y - 2.5, std::max(x1 - x0, 2.0), 5,
               std::string("fill=\"") + kStation + "\" fill-opacity=\"" + (placeholder ? "0.3" : "0.85") + "\"");
      const double label_x = placed[i].left + widths[i] / 2;
      const double baseline = bar_y - 10 - placed[i].row * 15.0;
      svg.line(anchors[i], bar_y - 3, label_x, baseline + 3,
               "stroke=\"" + std::string(kStation) + "\" stroke-opacity=\"0.5\" stroke-width=\"0.8\"");
      std::string style = font(11, kStation, "middle");
      if (placeholder) style += " font-style=\"italic\" fill-opacity=\"0.7\"";
      if (st.time_s > 0) {
        svg.raw("<text x=\"" + num(label_x) + "\" y=\"" + num(baseline) + "\" " + style + ">" + escape(st.name) +
                "<tspan dx=\"5\" fill=\"" + kMuted + "\" font-size=\"10\">" + clock_text(st.time_s) +
                "</tspan></text>\n");
      } else {
        svg.text(label_x, baseline, st.name, style);
      }
      svg.close_group();
    }
  }

  // Signals: a mast and a red head; direction boards: a green plate.
  for (const PointMark& sig : f.signals) {
    const double x = X(static_cast<double>(sig.at));
    svg.open_group("Signal, " + km_label(sig.at));
    svg.line(x, signals.top + signals.height - 2, x, signals.top + 8,
             "stroke=\"" + std::string(kInk) + "\" stroke-width=\"1.2\"");
    svg.circle(x, signals.top + 7, 3.6,
               "fill=\"" + std::string(kSignalRed) + "\" stroke=\"" + kInk + "\" stroke-width=\"0.6\"");
    svg.close_group();
  }
  for (const PointMark& b : f.direction_boards) {
    const double x = X(static_cast<double>(b.at));
    svg.open_group("Direction board, " + km_label(b.at) + ": " + b.text);
    svg.rect(x - 4, signals.top + signals.height - 9, 8, 7, "fill=\"" + std::string(kDirection) + "\"");
    svg.close_group();
  }

  // Speed boards: a plate with the category A speed; boards with stripes
  // (announcing a lower speed) as small yellow diamonds.
  {
    std::vector<const PointMark*> plates;
    for (const PointMark& b : f.speed_boards) {
      const TrackCell& c = *b.cell_data;
      const int stripes_left = c.value_4 / 10;
      const std::string tooltip =
          "Speed board, " + km_label(b.at) + ": A " + std::to_string(board_left(c.value_1)) + ", B " +
          std::to_string(board_left(c.value_2)) + ", C " + std::to_string(board_left(c.value_3)) +
          " km/h (right side " + std::to_string(board_right(c.value_1)) + "/" + std::to_string(board_right(c.value_2)) +
          "/" + std::to_string(board_right(c.value_3)) + ")" +
          (stripes_left > 0 ? ", " + std::to_string(stripes_left) + " stripes" : "");
      const double x = X(static_cast<double>(b.at));
      if (stripes_left > 0) {
        const double y = boards.top + boards.height - 6;
        svg.open_group(tooltip);
        svg.raw("<path d=\"M" + num(x) + " " + num(y - 5) + " L" + num(x + 4) + " " + num(y) + " L" + num(x) + " " +
                num(y + 5) + " L" + num(x - 4) + " " + num(y) + " Z\" fill=\"" + kBoard + "\" stroke=\"" + kInk +
                "\" stroke-width=\"0.6\"/>\n");
        svg.close_group();
      } else {
        plates.push_back(&b);
      }
    }
    std::vector<double> anchors, widths;
    for (const PointMark* b : plates) {
      anchors.push_back(X(static_cast<double>(b->at)));
      widths.push_back(text_width(std::to_string(board_left(b->cell_data->value_1)), 10.5) + 8);
    }
    const auto placed = place_labels(anchors, widths, 2, 2, kPageWidth - 2, 2);
    for (std::size_t i = 0; i < plates.size(); ++i) {
      const TrackCell& c = *plates[i]->cell_data;
      const double y = boards.top + 2 + (1 - placed[i].row) * 17.0;
      svg.open_group("Speed board, " + km_label(plates[i]->at) + ": A " + std::to_string(board_left(c.value_1)) +
                     ", B " + std::to_string(board_left(c.value_2)) + ", C " + std::to_string(board_left(c.value_3)) +
                     " km/h");
      svg.line(anchors[i], y + 14, anchors[i], boards.top + boards.height,
               "stroke=\"" + std::string(kInk) + "\" stroke-width=\"0.8\"");
      svg.rect(placed[i].left, y, widths[i], 14,
               "rx=\"2\" fill=\"#ffffff\" stroke=\"" + std::string(kInk) + "\" stroke-width=\"1\"");
      svg.text(placed[i].left + widths[i] / 2, y + 10.5, std::to_string(board_left(c.value_1)),
               font(10.5, kInk, "middle", true));
      svg.close_group();
    }
  }

  // Speed limit: a step line over a light fill, the value on each long step.
  {
    int top_speed = 20;
    for (const Stretch& r : f.speed_kmh) top_speed = std::max(top_speed, r.value);
    for (const Stretch& r : f.slowdowns) top_speed = std::max(top_speed, r.value);
    const int scale_max = (top_speed + 19) / 20 * 20;
    const double base = speed.top + speed.height;
    auto Y = [&](double kmh) { return base - kmh / scale_max * (speed.height - 14); };
    for (int v = 0; v <= scale_max; v += scale_max > 120 ? 40 : 20) {
      svg.line(kLeft, Y(v), kLeft + kPlotWidth, Y(v), "stroke=\"" + std::string(kGridLine) + "\"");
      svg.text(kLeft - 4, Y(v) + 3.5, std::to_string(v), font(9.5, kMuted, "end"));
    }
    std::string d, area;
    for (const Stretch& r : f.speed_kmh) {
      const double x0 = X(static_cast<double>(r.from)), x1 = X(static_cast<double>(r.to)), y = Y(r.value);
      d += (d.empty() ? "M" : " L") + num(x0) + " " + num(y) + " L" + num(x1) + " " + num(y);
    }
    if (!f.speed_kmh.empty()) {
      area = d + " L" + num(X(static_cast<double>(f.speed_kmh.back().to))) + " " + num(base) + " L" +
             num(X(static_cast<double>(f.speed_kmh.front().from))) + " " + num(base) + " Z";
      svg.raw("<path d=\"" + area + "\" fill=\"" + kSpeed + "\" fill-opacity=\"0.10\"/>\n");
      svg.raw("<path d=\"" + d + "\" fill=\"none\" stroke=\"" + kSpeed + "\" stroke-width=\"2\"/>\n");
    }
    for (const Stretch& r : f.speed_kmh) {
      const double x0 = X(static_cast<double>(r.from)), x1 = X(static_cast<double>(r.to));
      svg.open_group(std::to_string(r.value) + " km/h from " + km_label(r.from) + " to " + km_label(r.to));
      svg.rect(x0, Y(r.value) - 4, x1 - x0, base - Y(r.value) + 4, "fill=\"transparent\"");
      if (x1 - x0 >= 24)
        svg.text((x0 + x1) / 2, Y(r.value) - 5, std::to_string(r.value), font(10, kSpeed, "middle", true));
      svg.close_group();
    }
    for (const Stretch& r : f.slowdowns) {
      const double x0 = X(static_cast<double>(r.from)), x1 = X(static_cast<double>(r.to));
      svg.open_group("Slowdown to " + std::to_string(r.value) + " km/h, " + km_label(r.from) + " to " + km_label(r.to));
      svg.rect(x0, Y(r.value), std::max(x1 - x0, 2.0), base - Y(r.value),
               "fill=\"" + std::string(kSignalRed) + "\" fill-opacity=\"0.25\" stroke=\"" + kSignalRed + "\"");
      svg.text((x0 + x1) / 2, Y(r.value) - 4, std::to_string(r.value), font(10, kSignalRed, "middle", true));
      svg.close_group();
    }
  }

  // Gradient: climbs above the zero line, descents below, per mille.
  {
    int steepest = 5;
    for (const Stretch& r : f.gradient) steepest = std::max(steepest, std::abs(r.value));
    const int scale_max = (steepest + 4) / 5 * 5;
    const double zero = gradient.top + gradient.height / 2;
    auto Y = [&](double g) { return zero - g / scale_max * (gradient.height / 2 - 12); };
    for (int g : {-scale_max, 0, scale_max}) {
      svg.line(kLeft, Y(g), kLeft + kPlotWidth, Y(g), "stroke=\"" + std::string(g == 0 ? "#b5b5b5" : kGridLine) + "\"");
      svg.text(kLeft - 4, Y(g) + 3.5, (g > 0 ? "+" : "") + std::to_string(g), font(9.5, kMuted, "end"));
    }
    for (const Stretch& r : f.gradient) {
      const double x0 = X(static_cast<double>(r.from)), x1 = X(static_cast<double>(r.to));
      const char* colour = r.value >= 0 ? kClimb : kDescent;
      std::string label = (r.value > 0   ? "+"
                           : r.value < 0 ? "\u2212"
                                         : "") +
                          std::to_string(std::abs(r.value)) + " \u2030";
      svg.open_group(label + " from " + km_label(r.from) + " to " + km_label(r.to));
      svg.rect(x0, std::min(Y(r.value), zero), x1 - x0, std::abs(Y(r.value) - zero),
               "fill=\"" + std::string(colour) + "\" fill-opacity=\"0.55\"");
      if (r.value != 0)
        svg.line(x0, Y(r.value), x1, Y(r.value), "stroke=\"" + std::string(colour) + "\" stroke-width=\"1.6\"");
      if (x1 - x0 >= 34) {
        const double ly = r.value >= 0 ? Y(r.value) - 4 : Y(r.value) + 12;
        svg.text((x0 + x1) / 2, ly, label, font(10, r.value == 0 ? kMuted : colour, "middle", r.value != 0));
      }
      svg.close_group();
    }
  }

  // Tunnels: dark bars, with the length where there is room.
  for (const Stretch& t : f.tunnels) {
    const double x0 = X(static_cast<double>(t.from)), x1 = X(static_cast<double>(t.to));
    const std::string length = num(static_cast<double>(t.to - t.from) / 1000.0) + " km";
    svg.open_group("Tunnel, " + km_label(t.from) + " to " + km_label(t.to) + " (" + length + ", type " +
                   std::to_string(t.value) + ")");
    svg.rect(x0, tunnels.top + 3, std::max(x1 - x0, 1.5), tunnels.height - 6,
             "rx=\"3\" fill=\"" + std::string(kTunnel) + "\"");
    if (x1 - x0 >= text_width(length, 9.5) + 6)
      svg.text((x0 + x1) / 2, tunnels.top + tunnels.height / 2 + 3.5, length, font(9.5, "#ffffff", "middle"));
    svg.close_group();
  }

  // The kilometre axis.
  svg.line(kLeft, axis_top, kLeft + kPlotWidth, axis_top, "stroke=\"" + std::string(kInk) + "\"");
  for (double km = 0; km * 1000 <= axis_end + 0.5; km += minor_km)
    svg.line(X(km * 1000), axis_top, X(km * 1000), axis_top + 4, "stroke=\"" + std::string(kInk) + "\"");
  for (double km = 0; km * 1000 <= axis_end + 0.5; km += major_km) {
    svg.line(X(km * 1000), axis_top, X(km * 1000), axis_top + 8, "stroke=\"" + std::string(kInk) + "\"");
    svg.text(X(km * 1000), axis_top + 21, num(km), font(11, kInk, "middle"));
  }
  svg.text(kLeft - 34, axis_top + 21, "km", font(12, kInk, "end", true));
  page.y = axis_top + 34;
}

// Over both views, last so that nothing hides them: a ring on the plan and a
// band across the profile's lanes, one group per mark.
void draw_marks(Page& page, const std::vector<DrawingMark>& marks) {
  for (const DrawingMark& mark : marks) {
    page.svg.open_group(mark.label, "id=\"" + escape(mark.id) + "\" class=\"diagnostic-mark\"");
    if (!page.plan_points.empty()) {
      const PlanPoint& p =
          point_at(page.plan_points, std::clamp<std::int64_t>(mark.at, 0, page.plan_points.back().metre));
      auto [x, y] = page.plan_frame.to_page(p.x, p.y);
      page.svg.circle(x, y, 9, "fill=\"none\" stroke=\"" + std::string(kSignalRed) + "\" stroke-width=\"2.5\"");
    }
    const double at = std::clamp(static_cast<double>(mark.at), 0.0, page.axis_end);
    const double x = kLeft + at / page.axis_end * kPlotWidth;
    page.svg.rect(
        x - 3, page.profile_top, 6, page.profile_bottom - page.profile_top,
        fill(kSignalRed, 0.18) + " stroke=\"" + kSignalRed + "\" stroke-width=\"1\" stroke-dasharray=\"4 2\"");
    page.svg.close_group();
  }
}

void draw_legend(Page& page) {
  Svg& svg = page.svg;
  double x = kLeft;
  const double y = page.y + 8;
  auto item = [&](const std::string& label, auto&& swatch) {
    swatch(x, y);
    svg.text(x + 20, y + 4, label, font(11, kInk));
    x += 20 + text_width(label, 11) + 26;
  };
  item("station", [&](double sx, double sy) { svg.circle(sx + 6, sy, 4.2, "fill=\"" + std::string(kStation) + "\""); });
  item("signal", [&](double sx, double sy) {
    svg.circle(sx + 6, sy, 3.6,
               "fill=\"" + std::string(kSignalRed) + "\" stroke=\"" + kInk + "\" stroke-width=\"0.6\"");
  });
  item("speed board", [&](double sx, double sy) {
    svg.rect(sx, sy - 6, 14, 12, "rx=\"2\" fill=\"#ffffff\" stroke=\"" + std::string(kInk) + "\"");
  });
  item("announcing board", [&](double sx, double sy) {
    svg.raw("<path d=\"M" + num(sx + 6) + " " + num(sy - 5) + " L" + num(sx + 10) + " " + num(sy) + " L" + num(sx + 6) +
            " " + num(sy + 5) + " L" + num(sx + 2) + " " + num(sy) + " Z\" fill=\"" + kBoard + "\" stroke=\"" + kInk +
            "\" stroke-width=\"0.6\"/>\n");
  });
  item("direction board",
       [&](double sx, double sy) { svg.rect(sx + 2, sy - 4, 8, 7, "fill=\"" + std::string(kDirection) + "\""); });
  item("speed limit", [&](double sx, double sy) {
    svg.line(sx, sy, sx + 14, sy, "stroke=\"" + std::string(kSpeed) + "\" stroke-width=\"2\"");
  });
  item("climb", [&](double sx, double sy) {
    svg.rect(sx, sy - 5, 14, 10, "fill=\"" + std::string(kClimb) + "\" fill-opacity=\"0.55\"");
  });
  item("descent", [&](double sx, double sy) {
    svg.rect(sx, sy - 5, 14, 10, "fill=\"" + std::string(kDescent) + "\" fill-opacity=\"0.55\"");
  });
  item("tunnel",
       [&](double sx, double sy) { svg.rect(sx, sy - 5, 14, 10, "rx=\"3\" fill=\"" + std::string(kTunnel) + "\""); });
  item("beyond the end of the line",
       [&](double sx, double sy) { svg.rect(sx, sy - 6, 14, 12, "fill=\"#f3f3f3\" stroke=\"#d0d0d0\""); });
  page.y = y + 22;
}

}  // namespace

ScenarioFeatures extract_features(const CompiledScenario& s) {
  ScenarioFeatures f;
  f.route_length = s.parameters[kTrainSlot].end_m;
  const auto last_cell = static_cast<std::int64_t>(s.grid.size()) - 1;
  // The profiles run to three cells before the grid's end.
  const std::int64_t profile_last = std::max<std::int64_t>(last_cell - 3, -1);
  f.axis_end = std::max<std::int64_t>((profile_last + 1) * 50, f.route_length);

  std::set<int> board_slots;
  for (std::int64_t c = 0; c <= last_cell; ++c) {
    const TrackCell& t = s.grid[static_cast<std::size_t>(c)];
    const std::int64_t at = (c - 1) * 50;
    PointMark mark{at, static_cast<int>(c), &t, {}};
    if (t.cell_type == kSignal) f.signals.push_back(mark);
    if (t.cell_type == kSpeedBoard) f.speed_boards.push_back(mark);
    if (t.cell_type == kIndicatorBoard) {
      if (t.value_1 >= 1 && t.value_1 < kParameterSlots) {
        board_slots.insert(t.value_1);
        mark.text = cp1252_to_utf8(s.parameters[static_cast<std::size_t>(t.value_1)].text);
      }
      f.direction_boards.push_back(mark);
    }
    if (t.cell_type == kSlowdownStart) {
      std::int64_t e = c + 1;
      while (e <= last_cell && s.grid[static_cast<std::size_t>(e)].cell_type != kSlowdownEnd) ++e;
      f.slowdowns.push_back({at, e <= last_cell ? (e - 1) * 50 : at + 50, t.value_1});
    }
  }
  // Stations fill the slots from 1 upwards; direction boards come down from 80.
  for (int slot = 1; slot < kFirstBoardSlot + 1; ++slot) {
    const ParameterRecord& r = s.parameters[static_cast<std::size_t>(slot)];
    if (r == ParameterRecord{} || board_slots.count(slot)) break;
    f.stations.push_back({slot, cp1252_to_utf8(r.text), r.at_m, r.start_m, r.end_m, r.kind, r.time_s});
  }
  if (profile_last >= 0) {
    f.speed_kmh = cell_runs(
        s.grid, 0, profile_last, [](const TrackCell& t) { return t.speed_step * 5; }, false);
    f.gradient = cell_runs(
        s.grid, 0, profile_last, [](const TrackCell& t) { return t.gradient_code - 100; }, false);
    // Gradient code 0 is a cell no gradient reached, not -100 per mille.
    std::erase_if(f.gradient, [](const Stretch& r) { return r.value == -100; });
  }
  f.tunnels = cell_runs(
      s.grid, 0, last_cell, [](const TrackCell& t) { return static_cast<int>(t.tunnel_type); }, true);
  return f;
}

CompiledScenario load_compiled(const std::filesystem::path& dir, const RunNames& names) {
  auto disk = make_disk_folder(path_utf8(dir));
  auto read = [&](const std::string& name) -> std::string {
    std::optional<std::string> bytes = disk->exists(name) ? disk->read(name) : std::nullopt;
    if (!bytes)
      throw InputError("no readable '" + cp1252_to_utf8(name) + "' in '" + path_utf8(dir) +
                       "': compile the scenario first (scenario-tool compile)");
    return *bytes;
  };
  CompiledScenario s;
  s.names = names;
  s.parameters = decode_parameter_file(read(names.parameter_file()));
  s.grid = decode_grid_file(read(names.grid_file()));
  if (disk->exists(names.track_plan_file())) s.plan = decode_track_plan_file(read(names.track_plan_file()));
  return s;
}

CompiledScenario compiled_from(const CompileOutcome& outcome) {
  auto find = [&](const std::string& name) -> const std::string* {
    for (const auto& [file, bytes] : outcome.binaries)
      if (file == name) return &bytes;
    return nullptr;
  };
  const RunNames& names = outcome.names;
  const std::string* parameters = find(names.parameter_file());
  const std::string* grid = find(names.grid_file());
  if (!parameters || !grid)
    throw InputError("the compile made no '" +
                     cp1252_to_utf8(!parameters ? names.parameter_file() : names.grid_file()) + "'");
  CompiledScenario s;
  s.names = names;
  s.parameters = decode_parameter_file(*parameters);
  s.grid = decode_grid_file(*grid);
  if (const std::string* plan = find(names.track_plan_file())) s.plan = decode_track_plan_file(*plan);
  return s;
}

std::string render_svg(const CompiledScenario& scenario, const std::vector<DrawingMark>& marks) {
  const ScenarioFeatures f = extract_features(scenario);
  Page page;
  draw_header(page, scenario, f);
  draw_plan(page, scenario, f);
  draw_profile(page, f);
  draw_marks(page, marks);
  draw_legend(page);
  const double height = page.y + 12;

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(kPageWidth) + "\" height=\"" + num(height) +
         "\" viewBox=\"0 0 " + num(kPageWidth) + " " + num(height) + "\" font-family=\"" + kFont + "\">\n";
  out += "<title>" +
         escape(cp1252_to_utf8(scenario.names.route_name) + " \u2014 " + cp1252_to_utf8(scenario.names.train_name)) +
         "</title>\n";
  out +=
      "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"8\" refY=\"5\" markerWidth=\"7\" markerHeight=\"7\" "
      "orient=\"auto\"><path d=\"M0 0 L10 5 L0 10 Z\" fill=\"" +
      std::string(kInk) + "\"/></marker></defs>\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  out += page.svg.take();
  out += "</svg>\n";
  return out;
}

}  // namespace scenario::tool
