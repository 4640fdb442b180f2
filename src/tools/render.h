// `render`: the compiled scenario as one SVG page: the plan view of the line
// from the track plan file, and under it a profile along the line (gradient,
// speed limit, tunnels, speed boards, stations, signals) on a kilometre axis.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "compiler/outputs.h"
#include "compiler/tables.h"
#include "run/file_names.h"

namespace scenario::tool {

// The three binary files of one scenario, decoded. The track plan is absent
// after a compile without one.
struct CompiledScenario {
  RunNames names;  // Windows-1252
  std::optional<DecodedTrackPlan> plan;
  ParameterTable parameters{};
  std::vector<TrackCell> grid;
};

// What the picture shows, read off the decoded files. Positions in metres.
struct Stretch {
  std::int64_t from = 0, to = 0;  // [from, to)
  int value = 0;
};
struct StationMark {
  int slot = 0;
  std::string name;  // UTF-8
  std::int64_t at = 0, start = 0, end = 0;
  int kind = 0;
  std::int32_t time_s = 0;
};
struct PointMark {
  std::int64_t at = 0;
  int cell = 0;
  const TrackCell* cell_data = nullptr;
  std::string text;  // direction boards: the board text, UTF-8
};
struct ScenarioFeatures {
  std::int64_t route_length = 0;  // parameter slot 84
  std::int64_t axis_end = 0;      // the last metre the grid's profiles cover
  std::vector<StationMark> stations;
  std::vector<PointMark> signals, speed_boards, direction_boards;
  std::vector<Stretch> speed_kmh, gradient, tunnels, slowdowns;
};
ScenarioFeatures extract_features(const CompiledScenario& scenario);

// Reads and decodes the binaries of `names` in `dir`. Throws InputError when
// the parameter or grid file is missing or unreadable, DecodeError when a
// file does not follow its layout.
CompiledScenario load_compiled(const std::filesystem::path& dir, const RunNames& names);

struct CompileOutcome;

// The binaries of an in-memory compile, decoded, without a file on disk.
// Throws InputError when the compile made no parameter or grid file (a fatal
// end, a run-time failure), DecodeError as load_compiled does.
CompiledScenario compiled_from(const CompileOutcome& outcome);

// A place on the line that something points at (a diagnostic): drawn over
// both views as one SVG group with the id `id` and the class
// "diagnostic-mark", `label` its tooltip. Positions outside the line are
// drawn at its nearer end.
struct DrawingMark {
  std::string id;
  std::int64_t at = 0;
  std::string label;  // UTF-8
};

// The whole SVG document, UTF-8. Without marks, the drawing `render` writes.
std::string render_svg(const CompiledScenario& scenario, const std::vector<DrawingMark>& marks = {});

}  // namespace scenario::tool
