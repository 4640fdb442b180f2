#include "compile_input.h"

#include <cstdint>
#include <set>
#include <stdexcept>
#include <utility>

#include "compiler/compiler.h"
#include "run/failures.h"
#include "run/file_names.h"
#include "run/folder.h"

namespace scenario::fuzz {
namespace {

// Every code the compiler may record; 14 and 23 do not exist.
bool is_known_code(std::int32_t code) {
  static const std::set<std::int32_t> known = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10,  11,  12, 13,
                                               15, 16, 17, 18, 19, 20, 21, 22, 24, 25, 101, 102, 103};
  return known.count(code) != 0;
}

std::size_t plan_file_size(const TrackPlan& plan) {
  std::size_t size = 0;
  for (PlanKind kind : plan.kind) size += 2 * (kind == PlanKind::real ? 10 : kind == PlanKind::int16 ? 4 : 2);
  return size;
}

std::size_t parameter_file_size(const ParameterTable& parameters) {
  std::size_t size = 0;
  for (const ParameterRecord& r : parameters) size += 34 + r.text.size();
  return size;
}

// A code that ends the parse inside the line file: the train file is then
// neither read nor deleted.
bool line_half_ended(const Compiler& c) {
  static const std::set<std::int32_t> ending = {1, 3, 4, 5, 6, 10, 21, 102, 103};
  for (const RecordedCode& r : c.recorded_codes)
    if (r.file == SourceFile::line_file && ending.count(r.code) != 0) return true;
  return false;
}

// The folder of one input: a MemoryFolder, except that the track plan file,
// millions of bytes for a long line, is taken in but not kept, only its size:
// a copy of it cost the fuzzer a third of its rate. Nothing in a compile reads
// it back.
class InputFolder : public Folder {
 public:
  explicit InputFolder(std::string plan_name) : plan_name_(std::move(plan_name)) {}

  bool exists(const std::string& name) const override {
    return name == plan_name_ ? plan_size_.has_value() : files_.exists(name);
  }
  std::optional<std::string> read(const std::string& name) const override {
    if (name == plan_name_) throw std::logic_error("the compile read the track plan file back");
    return files_.read(name);
  }
  void remove(const std::string& name) override {
    if (name == plan_name_) plan_size_.reset();
    files_.remove(name);
  }
  void write(const std::string& name, std::string_view bytes) override {
    if (name != plan_name_) return files_.write(name, bytes);
    plan_size_ = bytes.size();
  }

  // The size of a file; nullopt when there is none. Reads no copy: the
  // fuzzer's rate depends on it.
  std::optional<std::size_t> size_of(const std::string& name) const {
    if (name == plan_name_) return plan_size_;
    auto it = files_.files().find(name);
    if (it == files_.files().end()) return std::nullopt;
    return it->second.size();
  }
  // The bytes of a file that is kept, which must exist.
  const std::string& bytes_of(const std::string& name) const { return files_.files().at(name); }
  std::string describe() const {
    std::string names;
    if (plan_size_) names += " '" + plan_name_ + "' (" + std::to_string(*plan_size_) + ")";
    for (const auto& [name, bytes] : files_.files()) names += " '" + name + "' (" + std::to_string(bytes.size()) + ")";
    return names.empty() ? " none" : names;
  }

 private:
  std::string plan_name_;
  std::optional<std::size_t> plan_size_;
  MemoryFolder files_;
};

// The line file is always read and deleted; the train file too, unless the
// parse ended in the line file.
std::string check_sources(const Compiler& c, const InputFolder& folder) {
  const RunNames run = c.names();
  if (folder.exists(run.line_file())) return "the line file was not deleted";
  if (folder.exists(run.train_file()) && !line_half_ended(c)) return "the train file was not deleted";
  return {};
}

std::size_t binary_files(const Compiler& c, const InputFolder& folder) {
  const RunNames run = c.names();
  return folder.exists(run.track_plan_file()) + folder.exists(run.parameter_file()) + folder.exists(run.grid_file());
}

// What a finished compile must have left: exactly the binary
// files of its flag, each of the size its table gives.
std::string check_compiled(const Compiler& c, const InputFolder& folder, bool full) {
  const RunNames run = c.names();
  if (!c.has_grid || c.grid.size() != static_cast<std::size_t>(c.last_cell) + 1)
    return "the grid does not run from cell 0 to last_cell";
  if (binary_files(c, folder) != (full ? 3u : 2u)) return "binary files written:" + folder.describe();
  if (folder.size_of(run.grid_file()) != c.grid.size() * 15) return "grid file missing or of the wrong size";
  // The stamp: cell 1 value_1 is 5121.
  const std::string& grid = folder.bytes_of(run.grid_file());
  if (static_cast<unsigned char>(grid[16]) != 0x01 || static_cast<unsigned char>(grid[17]) != 0x14)
    return "grid file without the 5121 stamp in cell 1";
  if (folder.size_of(run.parameter_file()) != parameter_file_size(c.parameters))
    return "parameter file missing or of the wrong size";
  if (full) {
    if (c.track_plan.size() != static_cast<std::size_t>(c.plan_length) + 1)
      return "the track plan does not run from metre 0 to plan_length";
    if (folder.size_of(run.track_plan_file()) != plan_file_size(c.track_plan))
      return "track plan file missing or of the wrong size";
  }
  return {};
}

}  // namespace

std::optional<SplitInput> split_input(std::string_view input) {
  if (input.empty()) return std::nullopt;
  SplitInput split;
  split.full_compile = (static_cast<unsigned char>(input[0]) & 1) != 0;
  std::string_view rest = input.substr(1);
  std::size_t nul = rest.find('\0');
  split.line_file = std::string(rest.substr(0, nul));
  if (nul != std::string_view::npos) split.train_file = std::string(rest.substr(nul + 1));
  return split;
}

std::string join_input(bool full_compile, std::string_view line_file, std::optional<std::string_view> train_file) {
  std::string input(1, full_compile ? '\1' : '\0');
  input += line_file;
  if (train_file) {
    input += '\0';
    input += *train_file;
  }
  return input;
}

std::string compile_input(std::string_view input) {
  std::optional<SplitInput> split = split_input(input);
  if (!split) return {};

  const RunNames run{kRouteName, kTrainName};
  InputFolder folder(run.track_plan_file());
  folder.write(run.line_file(), split->line_file);
  if (split->train_file) folder.write(run.train_file(), *split->train_file);

  Compiler compiler(folder);
  compiler.route_name = run.route_name;
  compiler.train_name = run.train_name;
  std::int32_t j = split->full_compile ? 1 : 0;
  enum class Outcome { compiled, errore, run_failure } outcome = Outcome::compiled;
  std::string abort_code;
  try {
    compiler.memorizza_percorso(j);
  } catch (const ErroreAbort& e) {
    outcome = Outcome::errore;
    abort_code = e.code();
  } catch (const RunFailure&) {
    outcome = Outcome::run_failure;
  }

  // The recorded codes: the last one is error_code, and every one exists.
  if (compiler.recorded_codes.empty() ? compiler.error_code != 0
                                      : compiler.error_code != compiler.recorded_codes.back().code)
    return "error_code " + std::to_string(compiler.error_code) + " is not the last recorded code";
  for (const RecordedCode& r : compiler.recorded_codes)
    if (!is_known_code(r.code)) return "unknown code " + std::to_string(r.code) + " recorded";
  if (std::string problem = check_sources(compiler, folder); !problem.empty()) return problem;

  switch (outcome) {
    case Outcome::compiled:
      return check_compiled(compiler, folder, split->full_compile);
    case Outcome::errore:
      if (abort_code != "1250" && abort_code != "1251") return "errore with the code '" + abort_code + "'";
      [[fallthrough]];
    case Outcome::run_failure:
      // Both stop the run before any binary file.
      if (binary_files(compiler, folder) != 0) return "binary files left after the run stopped:" + folder.describe();
      return {};
  }
  return {};
}

}  // namespace scenario::fuzz
