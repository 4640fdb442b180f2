#include "tools/serve/preview.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "compiler/code_meanings.h"
#include "sources/cp1252.h"
#include "tools/compile_session.h"
#include "tools/report.h"
#include "tools/tool_names.h"

namespace scenario::tool::serve {
namespace {

using json = nlohmann::ordered_json;

double epoch_ms(std::chrono::system_clock::time_point t) {
  return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count();
}
double epoch_ms_now() { return epoch_ms(std::chrono::system_clock::now()); }
double ms_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

bool ends_with(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

Preview::Preview(PreviewSettings settings, StateBoard& board)
    : settings_(std::move(settings)), board_(board), instance_(epoch_ms_now()) {}

bool Preview::concerns(const std::string& name) const {
  if (name.empty()) return true;
  {
    std::lock_guard lock(names_mutex_);
    if (name == line_file_ || name == train_file_) return true;
  }
  // Without both names given, a new line or train file may change which
  // sources are compiled.
  if (settings_.route && settings_.train) return false;
  for (std::string_view tail : {"_linea.txt", "_linea.dat", "-.txt", ".sim"})
    if (ends_with(name, tail)) return true;
  return false;
}

CompiledScenario Preview::decoded(const CompileOutcome& outcome) {
  // Most saves are of the train file and leave the track plan as it was:
  // its decoding is then the last one's (a tenth of a rebuild for the
  // embedded line, a third for the 1000000 m one).
  const std::string plan_name = outcome.names.track_plan_file();
  const auto plan = std::find_if(outcome.binaries.begin(), outcome.binaries.end(),
                                 [&](const auto& file) { return file.first == plan_name; });
  if (plan == outcome.binaries.end() || !last_good_ || !last_good_->plan || plan->second != last_plan_bytes_) {
    CompiledScenario s = compiled_from(outcome);
    last_plan_bytes_ = plan == outcome.binaries.end() ? std::string() : plan->second;
    return s;
  }
  CompileOutcome rest;
  rest.names = outcome.names;
  for (const auto& file : outcome.binaries)
    if (file.first != plan_name) rest.binaries.push_back(file);
  CompiledScenario s = compiled_from(rest);
  s.plan = last_good_->plan;
  return s;
}

void Preview::rebuild(const std::optional<Burst>& burst) {
  const Clock::time_point started = Clock::now();
  const double read_at = epoch_ms_now();
  json state = json::object();
  std::vector<DrawingMark> marks;
  std::optional<CompiledScenario> fresh;
  double compile_ms = 0, decode_ms = 0, render_ms = 0;
  try {
    const RunNames names = resolve_names(settings_.dir, settings_.route, settings_.train);
    {
      std::lock_guard lock(names_mutex_);
      line_file_ = cp1252_to_utf8(names.line_file());
      train_file_ = cp1252_to_utf8(names.train_file());
    }
    state["route"] = cp1252_to_utf8(names.route_name);
    state["train"] = cp1252_to_utf8(names.train_name);
    const CompileOutcome outcome = compile_in_memory(settings_.dir, names, settings_.no_plan ? 0 : 1);
    compile_ms = ms_between(started, Clock::now());
    json report = outcome_json(settings_.dir, outcome, {});
    report.erase("files");
    for (std::size_t i = 0; i < outcome.recorded.size(); ++i) {
      const RecordedCode& r = outcome.recorded[i];
      json& item = report["diagnostics"][i];
      if (r.position) {
        const std::string id = "diagnostic-" + std::to_string(i);
        item["mark"] = id;
        item["at"] = position_text(*r.position);
        marks.push_back(
            {id, *r.position, "error " + std::to_string(r.code) + ": " + item["meaning"].get<std::string>()});
      } else {
        item["mark"] = nullptr;
      }
    }
    if (outcome.fatal) report["fatal_meaning"] = std::string(code_meaning(std::atoi(outcome.fatal->c_str())));
    state["report"] = std::move(report);
    state["input_error"] = nullptr;
    if (!outcome.fatal && !outcome.runtime_failure) {
      const Clock::time_point decode_start = Clock::now();
      fresh = decoded(outcome);
      decode_ms = ms_between(decode_start, Clock::now());
    }
  } catch (const std::exception& e) {
    // A source missing or half-written past decoding: the page says so and
    // the next save rebuilds.
    if (!state.contains("report")) state["report"] = nullptr;
    state["input_error"] = e.what();
  }

  const Clock::time_point render_start = Clock::now();
  try {
    if (fresh) {
      last_good_ = std::move(fresh);
      last_good_at_ = read_at;
    }
    if (last_good_) {
      auto svg = std::make_shared<const std::string>(render_svg(*last_good_, marks));
      if (!svg_ || *svg_ != *svg) {
        svg_ = std::move(svg);
        ++drawing_;
      }
    }
  } catch (const std::exception& e) {
    state["input_error"] = std::string("cannot draw the compiled scenario: ") + e.what();
  }
  render_ms = decode_ms + ms_between(render_start, Clock::now());

  state["instance"] = instance_;
  state["folder"] = path_utf8(settings_.dir);
  state["read_at"] = read_at;
  state["compile_ms"] = compile_ms;
  state["render_ms"] = render_ms;
  if (burst) {
    const double now_ms = epoch_ms_now();
    const Clock::time_point now = Clock::now();
    state["burst"] = {{"events", burst->events},
                      {"first_event_at", now_ms - ms_between(burst->first, now)},
                      {"waited_ms", ms_between(burst->first, started)}};
  } else {
    state["burst"] = nullptr;
  }
  if (drawing_ > 0)
    state["drawing"] = {{"version", drawing_}, {"current", last_good_at_ == read_at}, {"read_at", last_good_at_}};
  else
    state["drawing"] = nullptr;
  state["published_at"] = epoch_ms_now();

  PublishedState published;
  published.drawing = drawing_;
  published.svg = svg_;
  published.json = state.dump(-1, ' ', false, json::error_handler_t::replace);
  board_.publish(std::move(published));
}

}  // namespace scenario::tool::serve
