// The compile's stages, on the embedded scenario (argument 0) and on
// generated lines of 155000, 500000 and 1000000 m: the parse (both halves,
// with and without the track plan), the track plan alone, the grid pass,
// building the three files' bytes, and the whole compile. Ends with the linearity ratio of the whole
// compile: the longest line's time over the 155000 m line's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bench/scenario_generator.h"
#include "compiler/compiler.h"
#include "compiler/outputs.h"
#include "run/file_names.h"
#include "run/folder.h"
#include "sources/line_data.h"
#include "sources/text_file.h"
#include "sources/train_data.h"

namespace scenario::bench {
namespace {

struct Sources {
  std::string line_file;
  std::string train_file;
};

// Argument 0 is the embedded scenario; any other is a generated line length.
const Sources& sources_for(std::int64_t length) {
  static std::map<std::int64_t, Sources> cache;
  auto it = cache.find(length);
  if (it != cache.end()) return it->second;
  Sources s;
  if (length == 0) {
    s = {render_lines(line_file_entries()), render_lines(train_file_entries())};
  } else {
    GeneratedScenario g = generate_scenario(static_cast<std::int32_t>(length));
    s = {std::move(g.line_file), std::move(g.train_file)};
  }
  return cache.emplace(length, std::move(s)).first->second;
}

// The two sources, read as often as asked and never deleted; written files
// are counted and dropped, so that a benchmark times the compile, not a copy.
class SourcesFolder : public Folder {
 public:
  explicit SourcesFolder(const Sources& sources) : sources_(sources) {}
  bool exists(const std::string& name) const override { return find(name) != nullptr; }
  std::optional<std::string> read(const std::string& name) const override {
    const std::string* bytes = find(name);
    if (!bytes) return std::nullopt;
    return *bytes;
  }
  void remove(const std::string&) override {}
  void write(const std::string&, std::string_view bytes) override { written += bytes.size(); }

  std::size_t written = 0;

 private:
  const std::string* find(const std::string& name) const {
    if (name == names_.line_file()) return &sources_.line_file;
    if (name == names_.train_file()) return &sources_.train_file;
    return nullptr;
  }
  const Sources& sources_;
  RunNames names_{kRouteName, kTrainName};
};

void label(benchmark::State& state) {
  state.SetLabel(state.range(0) == 0 ? "embedded 155000 m" : std::to_string(state.range(0)) + " m");
}

// Stops the run when a scenario does not compile cleanly: its figures would
// time an early end, not the work.
void require_clean(benchmark::State& state, const Compiler& c) {
  if (!c.recorded_codes.empty())
    state.SkipWithError(("code " + std::to_string(c.recorded_codes.front().code) + " recorded").c_str());
}

void BM_Parse(benchmark::State& state, std::int32_t full) {
  const Sources& s = sources_for(state.range(0));
  SourcesFolder folder(s);
  for (auto _ : state) {
    Compiler c(folder);
    c.full_compile = full;
    c.memorizza_dati();
    benchmark::DoNotOptimize(c.grid.data());
    if (!c.recorded_codes.empty()) require_clean(state, c);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(s.line_file.size() + s.train_file.size()));
  label(state);
}

// The curve records of a line file ("curvad4, 3800, 200"), as the plan
// extends them: start, end and change of heading per metre.
struct PlanCurve {
  std::int64_t start, end;
  double k;
};

std::vector<PlanCurve> curves_of(const std::string& line_file) {
  static constexpr double kSteps[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  std::vector<PlanCurve> curves;
  std::size_t at = 0;
  while ((at = line_file.find("\ncurva", at)) != std::string::npos) {
    ++at;
    const std::size_t comma = line_file.find(',', at);
    const std::string keyword = line_file.substr(at, comma - at);
    long start = 0, length = 0;
    if (std::sscanf(line_file.c_str() + comma + 1, "%ld , %ld", &start, &length) != 2) continue;
    double k = 0;
    for (char digit = '6'; digit >= '1'; --digit)
      if (keyword.find(digit) != std::string::npos) k = kSteps[digit - '1'];
    if (keyword.find('s') != std::string::npos) k = -k;
    curves.push_back({start, start + length, k});
  }
  return curves;
}

// The plan as the line half builds it: made, then extended curve by curve and
// completed to its end.
void BM_TrackPlan(benchmark::State& state) {
  const Sources& s = sources_for(state.range(0));
  const std::vector<PlanCurve> curves = curves_of(s.line_file);
  const std::int64_t plan_length = (state.range(0) == 0 ? 155000 : state.range(0)) + 7000;
  for (auto _ : state) {
    TrackPlan plan;
    plan.reset(static_cast<std::size_t>(plan_length) + 1);
    plan.start();
    std::int64_t cursor = 2;
    for (const PlanCurve& c : curves) {
      plan.extend(cursor, c.start, 0.0);
      cursor = std::max(cursor, c.start + 1);
      plan.extend(cursor, c.end, c.k);
      cursor = std::max(cursor, c.end + 1);
    }
    plan.extend(cursor, plan_length - 2, 0.0);
    benchmark::DoNotOptimize(plan.x.data());
  }
  label(state);
}

// A compiler that has parsed the scenario, ready for the later stages.
struct Parsed {
  explicit Parsed(std::int64_t length) : folder(sources_for(length)) {
    compiler.full_compile = 1;
    compiler.memorizza_dati();
  }
  SourcesFolder folder;
  Compiler compiler{folder};
};

void BM_GridPass(benchmark::State& state) {
  Parsed p(state.range(0));
  require_clean(state, p.compiler);
  const std::vector<TrackCell> parsed_grid = p.compiler.grid;
  for (auto _ : state) {
    p.compiler.grid = parsed_grid;  // not timed: the pass changes the grid
    auto start = std::chrono::steady_clock::now();
    p.compiler.grid_pass();
    auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  p.compiler.recorded_codes.clear();
  label(state);
}

// A grid crowded with slowdown starts (every other cell, speed 60) and one
// end near its last cell, so that every start walks towards that end: the
// pass must stay linear in the cells even so.
void BM_GridPassCrowded(benchmark::State& state) {
  MemoryFolder folder;
  Compiler c(folder);
  c.last_cell = static_cast<std::int32_t>((state.range(0) + 7000) / 50);
  c.has_grid = true;
  std::vector<TrackCell> crowded(static_cast<std::size_t>(c.last_cell) + 1);
  for (std::size_t i = 2; i + 10 < crowded.size(); i += 2) {
    crowded[i].cell_type = kSlowdownStart;
    crowded[i].value_1 = 60;
  }
  crowded[crowded.size() - 5].cell_type = kSlowdownEnd;
  for (auto _ : state) {
    c.grid = crowded;
    c.recorded_codes.clear();
    auto start = std::chrono::steady_clock::now();
    c.grid_pass();
    auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  state.SetLabel(std::to_string(c.last_cell + 1) + " cells");
}

void BM_FileBytes(benchmark::State& state) {
  Parsed p(state.range(0));
  require_clean(state, p.compiler);
  p.compiler.grid_pass();
  std::size_t bytes = 0;
  for (auto _ : state) {
    LargeBuffer plan = track_plan_file_buffer(p.compiler.track_plan);  // as the compile writes it
    auto parameters = parameter_file_bytes(p.compiler.parameters);
    auto grid = grid_file_bytes(p.compiler.grid);
    bytes = plan.size() + parameters.size() + grid.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  label(state);
}

void BM_Compile(benchmark::State& state) {
  SourcesFolder folder(sources_for(state.range(0)));
  for (auto _ : state) {
    Compiler c(folder);
    std::int32_t full = 1;
    c.memorizza_percorso(full);
    if (!c.recorded_codes.empty()) require_clean(state, c);
  }
  label(state);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(0)->Arg(155000)->Arg(500000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_CAPTURE(BM_Parse, no_plan, 0)->Apply(sizes);
BENCHMARK_CAPTURE(BM_Parse, with_plan, 1)->Apply(sizes);
BENCHMARK(BM_TrackPlan)->Apply(sizes);
BENCHMARK(BM_GridPass)->Apply(sizes)->UseManualTime();
BENCHMARK(BM_GridPassCrowded)->Arg(155000)->Arg(1000000)->Unit(benchmark::kMicrosecond)->UseManualTime();
BENCHMARK(BM_FileBytes)->Apply(sizes);
BENCHMARK(BM_Compile)->Apply(sizes)->Repetitions(5)->ReportAggregatesOnly(true);

// Prints the usual table, then the linearity ratio from the medians of the
// whole compile.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        medians_[r.run_name.function_name + "/" + r.run_name.args] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto shortest = medians_.find("BM_Compile/155000");
    auto longest = medians_.find("BM_Compile/1000000");
    if (shortest == medians_.end() || longest == medians_.end()) return;
    std::printf(
        "\nlinearity, medians of the whole compile: 1000000 m / 155000 m = %.2f in real time, %.2f in CPU time\n"
        "(target <= 8; the lengths alone give 6.45)\n",
        longest->second.first / shortest->second.first, longest->second.second / shortest->second.second);
  }

 private:
  std::map<std::string, std::pair<double, double>> medians_;  // real and CPU time
};

}  // namespace
}  // namespace scenario::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  scenario::bench::RatioReporter reporter;  // tabular, without colours: the figures go into notes
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
