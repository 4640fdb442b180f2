#include "tools/dump.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "compiler/outputs.h"
#include "compiler/tables.h"
#include "sources/cp1252.h"
#include "tools/report.h"
#include "tools/tool_names.h"

namespace scenario::tool {
namespace {

using json = nlohmann::ordered_json;

bool ends_with(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const char* plan_kind_name(PlanKind kind) {
  switch (kind) {
    case PlanKind::int16:
      return "int16";
    case PlanKind::real:
      return "double";
    default:
      return "empty";
  }
}

// The shortest text that reads back as the same double.
std::string number_text(double value) {
  std::array<char, 32> buffer{};
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

json element_value(const PlanElement& e) {
  if (e.kind == PlanKind::empty) return nullptr;
  if (e.kind == PlanKind::int16) return static_cast<int>(e.value);
  return e.value;
}

std::string element_text(const PlanElement& e) {
  return e.kind == PlanKind::empty ? std::string("-") : number_text(e.value);
}

bool is_cleared(const ParameterRecord& r) { return r == ParameterRecord{}; }

// "km 56+300" of a position in metres.
std::string km_text(std::int64_t metres) {
  const std::string full = position_text(static_cast<std::int32_t>(metres));
  return full.substr(full.find("km ") + 3);
}

std::string pad(std::string text, std::size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string pad_right(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

}  // namespace

BinaryKind binary_kind_of(const std::string& file_name) {
  if (ends_with(file_name, "_linea.dat")) return BinaryKind::track_plan;
  if (ends_with(file_name, ".sim")) return BinaryKind::parameters;
  if (ends_with(file_name, ".dat")) return BinaryKind::grid;
  throw UsageError("cannot tell which binary file '" + file_name +
                   "' is: expected a track plan (..._linea.dat), a parameter file (.sim) or a grid file (.dat)");
}

std::string cell_type_name(int type) {
  switch (type) {
    case kNoObject:
      return "";
    case kSignal:
      return "signal";
    case kSlowdownEnd:
      return "slowdown end";
    case kSlowdownStart:
      return "slowdown start";
    case kSlowdownWarning:
      return "slowdown warning";
    case kWarningCountdown:
      return "warning countdown";
    case kSpeedBoard:
      return "speed board";
    case kStopMark:
      return "station stop";
    case kTunnelMark:
      return "tunnel mark";
    case kAbbattimento:
      return "abbattimento";
    case kAbbattimentoNoValue:
      return "abbattimento, no value";
    case kIndicatorBoard:
      return "direction board";
    default:
      return "type " + std::to_string(type);
  }
}

json dump_json(BinaryKind kind, std::string_view bytes) {
  switch (kind) {
    case BinaryKind::track_plan: {
      const DecodedTrackPlan plan = decode_track_plan_file(bytes);
      json metres = json::array();
      for (std::size_t m = 0; m < plan.x.size(); ++m)
        metres.push_back({{"metre", m},
                          {"x_kind", plan_kind_name(plan.x[m].kind)},
                          {"x", element_value(plan.x[m])},
                          {"y_kind", plan_kind_name(plan.y[m].kind)},
                          {"y", element_value(plan.y[m])}});
      return {{"file", "track plan"}, {"metres", std::move(metres)}};
    }
    case BinaryKind::parameters: {
      const ParameterTable table = decode_parameter_file(bytes);
      json slots = json::array();
      for (std::size_t slot = 0; slot < table.size(); ++slot) {
        const ParameterRecord& r = table[slot];
        slots.push_back({{"slot", slot},
                         {"kind", r.kind},
                         {"start_m", r.start_m},
                         {"end_m", r.end_m},
                         {"at_m", r.at_m},
                         {"opt_a", r.opt_a},
                         {"text", cp1252_to_utf8(r.text)},
                         {"num_a", r.num_a},
                         {"num_b", r.num_b},
                         {"num_c", r.num_c},
                         {"num_d", r.num_d},
                         {"num_e", r.num_e},
                         {"opt_b", r.opt_b},
                         {"opt_c", r.opt_c},
                         {"opt_d", r.opt_d},
                         {"opt_e", r.opt_e},
                         {"time_s", r.time_s}});
      }
      return {{"file", "parameters"}, {"slots", std::move(slots)}};
    }
    case BinaryKind::grid: {
      const std::vector<TrackCell> grid = decode_grid_file(bytes);
      json cells = json::array();
      for (std::size_t c = 0; c < grid.size(); ++c) {
        const TrackCell& t = grid[c];
        cells.push_back({{"cell", c},
                         {"position", (static_cast<std::int64_t>(c) - 1) * 50},
                         {"cell_type", t.cell_type},
                         {"object", cell_type_name(t.cell_type)},
                         {"value_1", t.value_1},
                         {"value_2", t.value_2},
                         {"value_3", t.value_3},
                         {"value_4", t.value_4},
                         {"signal_time", t.signal_time},
                         {"approach_code", t.approach_code},
                         {"tunnel_type", t.tunnel_type},
                         {"speed_step", t.speed_step},
                         {"gradient_code", t.gradient_code},
                         {"adhesion", t.adhesion}});
      }
      return {{"file", "grid"}, {"cells", std::move(cells)}};
    }
  }
  return nullptr;
}

void dump_table(BinaryKind kind, std::string_view bytes, std::ostream& out) {
  switch (kind) {
    case BinaryKind::track_plan: {
      const DecodedTrackPlan plan = decode_track_plan_file(bytes);
      out << pad("metre", 7) << "  " << pad_right("x kind", 7) << pad("x", 24) << "  " << pad_right("y kind", 7)
          << pad("y", 24) << "\n";
      for (std::size_t m = 0; m < plan.x.size(); ++m)
        out << pad(std::to_string(m), 7) << "  " << pad_right(plan_kind_name(plan.x[m].kind), 7)
            << pad(element_text(plan.x[m]), 24) << "  " << pad_right(plan_kind_name(plan.y[m].kind), 7)
            << pad(element_text(plan.y[m]), 24) << "\n";
      return;
    }
    case BinaryKind::parameters: {
      const ParameterTable table = decode_parameter_file(bytes);
      out << "slot kind  start_m    end_m     at_m opt_a  num_a  num_b  num_c  num_d  num_e opt_b opt_c opt_d opt_e"
             "   time_s  text\n";
      int cleared = 0;
      for (std::size_t slot = 0; slot < table.size(); ++slot) {
        const ParameterRecord& r = table[slot];
        if (is_cleared(r)) {
          ++cleared;
          continue;
        }
        out << pad(std::to_string(slot), 4) << pad(std::to_string(r.kind), 5) << pad(std::to_string(r.start_m), 9)
            << pad(std::to_string(r.end_m), 9) << pad(std::to_string(r.at_m), 9) << pad(std::to_string(r.opt_a), 6)
            << pad(std::to_string(r.num_a), 7) << pad(std::to_string(r.num_b), 7) << pad(std::to_string(r.num_c), 7)
            << pad(std::to_string(r.num_d), 7) << pad(std::to_string(r.num_e), 7) << pad(std::to_string(r.opt_b), 6)
            << pad(std::to_string(r.opt_c), 6) << pad(std::to_string(r.opt_d), 6) << pad(std::to_string(r.opt_e), 6)
            << pad(std::to_string(r.time_s), 9) << "  \"" << cp1252_to_utf8(r.text) << "\"\n";
      }
      out << "(" << cleared << " cleared slots not shown)\n";
      return;
    }
    case BinaryKind::grid: {
      const std::vector<TrackCell> grid = decode_grid_file(bytes);
      out << " cell  position         km  type object                  value_1 value_2 value_3 value_4 time appr"
             " tunnel speed grad adh\n";
      for (std::size_t c = 0; c < grid.size(); ++c) {
        const TrackCell& t = grid[c];
        const std::int64_t position = (static_cast<std::int64_t>(c) - 1) * 50;
        out << pad(std::to_string(c), 5) << pad(std::to_string(position), 10) << pad(km_text(position), 11)
            << pad(std::to_string(t.cell_type), 6) << " " << pad_right(cell_type_name(t.cell_type), 23)
            << pad(std::to_string(t.value_1), 8) << pad(std::to_string(t.value_2), 8)
            << pad(std::to_string(t.value_3), 8) << pad(std::to_string(t.value_4), 8)
            << pad(std::to_string(t.signal_time), 5) << pad(std::to_string(t.approach_code), 5)
            << pad(std::to_string(t.tunnel_type), 7) << pad(std::to_string(t.speed_step), 6)
            << pad(std::to_string(t.gradient_code), 5) << pad(std::to_string(t.adhesion), 4) << "\n";
      }
      return;
    }
  }
}

}  // namespace scenario::tool
