#include "tools/report.h"

#include <cstdlib>
#include <string_view>
#include <vector>

#include "compiler/code_meanings.h"
#include "sources/cp1252.h"
#include "tools/tool_names.h"

namespace scenario::tool {
namespace {

constexpr std::string_view kTool = "scenario-tool";

// The source a code came from, as a path the user can open; empty for none.
std::string source_path(const std::filesystem::path& dir, const CompileOutcome& outcome, SourceFile file) {
  std::string name;
  if (file == SourceFile::line_file) name = outcome.names.line_file();
  if (file == SourceFile::train_file) name = outcome.names.train_file();
  if (name.empty()) return {};
  return path_utf8(dir / utf8_path(cp1252_to_utf8(name)));
}

// The meaning of each recorded code, in order. A code 15 is still set when
// the train half reaches its first signal or slowdown, and ends the parse
// there: that second entry says so rather than blame the record.
std::vector<std::string> meanings(const CompileOutcome& outcome) {
  std::vector<std::string> out;
  bool beyond_end_seen = false;
  for (const RecordedCode& r : outcome.recorded) {
    std::string text(code_meaning(r.code));
    if (r.code == 15 && beyond_end_seen)
      text = "parse ended here: code 15 of an earlier record is still set when a signal or slowdown is read";
    if (r.code == 15) beyond_end_seen = true;
    if (!r.detail.empty()) text += ": " + r.detail;
    out.push_back(std::move(text));
  }
  return out;
}

}  // namespace

std::string position_text(std::int32_t metres) {
  const std::int64_t m = metres;
  const std::int64_t magnitude = std::llabs(m);
  std::string km = std::to_string(magnitude / 1000);
  std::string rest = std::to_string(magnitude % 1000);
  rest.insert(0, 3 - rest.size(), '0');
  return std::to_string(m) + " m, km " + (m < 0 ? "-" : "") + km + "+" + rest;
}

std::string diagnostics_text(const std::filesystem::path& dir, const CompileOutcome& outcome) {
  std::string out;
  const std::vector<std::string> meaning = meanings(outcome);
  for (std::size_t i = 0; i < outcome.recorded.size(); ++i) {
    const RecordedCode& r = outcome.recorded[i];
    const std::string file = source_path(dir, outcome, r.file);
    if (file.empty()) {
      out += std::string(kTool) + ": ";
    } else {
      out += file + ":";
      if (r.line > 0) out += std::to_string(r.line) + ":";
      out += " ";
    }
    out += "error " + std::to_string(r.code) + ": " + meaning[i];
    if (r.position) out += " (at " + position_text(*r.position) + ")";
    out += "\n";
  }
  if (outcome.fatal) {
    out += std::string(kTool) + ": fatal error " + *outcome.fatal + ": " +
           std::string(code_meaning(std::atoi(outcome.fatal->c_str()))) + "; the compile ends with \" Errore n. " +
           *outcome.fatal + "\" and writes no binary file\n";
  }
  if (outcome.runtime_failure)
    out += std::string(kTool) + ": run-time failure: " + *outcome.runtime_failure + "; no binary file written\n";
  return out;
}

nlohmann::ordered_json outcome_json(const std::filesystem::path& dir, const CompileOutcome& outcome,
                                    const std::map<std::string, std::uintmax_t>& files_written) {
  using json = nlohmann::ordered_json;
  json diagnostics = json::array();
  const std::vector<std::string> meaning = meanings(outcome);
  for (std::size_t i = 0; i < outcome.recorded.size(); ++i) {
    const RecordedCode& r = outcome.recorded[i];
    const std::string file = source_path(dir, outcome, r.file);
    diagnostics.push_back({
        {"code", r.code},
        {"position", r.position ? json(*r.position) : json(nullptr)},
        {"file", file.empty() ? json(nullptr) : json(file)},
        {"line", r.line > 0 ? json(r.line) : json(nullptr)},
        {"meaning", meaning[i]},
    });
  }
  json files = json::object();
  for (const auto& [name, size] : files_written) files[name] = size;
  return {
      {"route", cp1252_to_utf8(outcome.names.route_name)},
      {"train", cp1252_to_utf8(outcome.names.train_name)},
      {"error_code", outcome.error_code},
      {"error_position", outcome.error_position},
      {"fatal", outcome.fatal ? json(*outcome.fatal) : json(nullptr)},
      {"runtime_failure", outcome.runtime_failure ? json(*outcome.runtime_failure) : json(nullptr)},
      {"diagnostics", std::move(diagnostics)},
      {"files", std::move(files)},
  };
}

int exit_status(const CompileOutcome& outcome) {
  if (outcome.fatal || outcome.runtime_failure) return kExitFailure;
  return outcome.recorded.empty() ? kExitClean : kExitCodesRecorded;
}

}  // namespace scenario::tool
