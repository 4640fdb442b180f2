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

}  // namespace

std::string source_path(const std::filesystem::path& dir, const CompileOutcome& outcome, SourceFile file) {
  std::string name;
  if (file == SourceFile::line_file) name = outcome.names.line_file();
  if (file == SourceFile::train_file) name = outcome.names.train_file();
  if (name.empty()) return {};
  return path_utf8(dir / utf8_path(cp1252_to_utf8(name)));
}

// A code 15 of the line half is still set when the train half reaches its
// first signal or slowdown, and ends the parse there: that entry says so
// rather than blame the record.
std::vector<std::string> code_texts(const CompileOutcome& outcome) {
  std::vector<std::string> out;
  for (const RecordedCode& r : outcome.recorded) {
    std::string text(code_meaning(r.code));
    if (r.carried)
      text = "parse ended here: code " + std::to_string(r.code) +
             " of an earlier record is still set when a signal or slowdown is read";
    if (!r.detail.empty()) text += ": " + r.detail;
    out.push_back(std::move(text));
  }
  return out;
}

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
  const std::vector<std::string> meaning = code_texts(outcome);
  for (std::size_t i = 0; i < outcome.recorded.size(); ++i) {
    const RecordedCode& r = outcome.recorded[i];
    const std::string file = source_path(dir, outcome, r.file);
    if (file.empty()) {
      out += std::string(kTool) + ": ";
    } else {
      out += file + ":";
      if (r.line > 0) out += std::to_string(r.line) + ":";
      if (r.line > 0 && r.column > 0) out += std::to_string(r.column) + ":";
      out += " ";
    }
    out += "error " + std::to_string(r.code) + ": " + meaning[i];
    if (r.position) out += " (at " + position_text(*r.position) + ")";
    out += "\n";
  }
  for (const RecordedWarning& w : outcome.warnings)
    out += source_path(dir, outcome, w.file) + ":" + std::to_string(w.line) + ":" + std::to_string(w.column) +
           ": warning: " + w.message + " [" + std::string(warning_name(w.kind)) + "]\n";
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
  const std::vector<std::string> meaning = code_texts(outcome);
  for (std::size_t i = 0; i < outcome.recorded.size(); ++i) {
    const RecordedCode& r = outcome.recorded[i];
    const std::string file = source_path(dir, outcome, r.file);
    diagnostics.push_back({
        {"code", r.code},
        {"position", r.position ? json(*r.position) : json(nullptr)},
        {"file", file.empty() ? json(nullptr) : json(file)},
        {"line", r.line > 0 ? json(r.line) : json(nullptr)},
        {"column", r.line > 0 && r.column > 0 ? json(r.column) : json(nullptr)},
        {"meaning", meaning[i]},
    });
  }
  json warnings = json::array();
  for (const RecordedWarning& w : outcome.warnings)
    warnings.push_back({
        {"kind", warning_name(w.kind)},
        {"file", source_path(dir, outcome, w.file)},
        {"line", w.line},
        {"column", w.column},
        {"end_line", w.end_line},
        {"end_column", w.end_column},
        {"message", w.message},
    });
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
      {"warnings", std::move(warnings)},
      {"files", std::move(files)},
  };
}

int exit_status(const CompileOutcome& outcome, bool werror) {
  if (outcome.fatal || outcome.runtime_failure) return kExitFailure;
  if (werror && !outcome.warnings.empty()) return kExitCodesRecorded;
  return outcome.recorded.empty() ? kExitClean : kExitCodesRecorded;
}

}  // namespace scenario::tool
