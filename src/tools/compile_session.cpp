#include "tools/compile_session.h"

#include <exception>

#include "run/failures.h"
#include "run/folder.h"
#include "sources/cp1252.h"
#include "tools/tool_names.h"

namespace scenario::tool {

CompileOutcome compile_sources(const Folder& sources, const std::string& where, const RunNames& names,
                               std::int32_t full_compile, const InspectCompiler& inspect, ParseListener* listener) {
  MemoryFolder memory;
  for (const std::string& name : {names.line_file(), names.train_file()}) {
    if (!sources.exists(name)) throw InputError("no file '" + cp1252_to_utf8(name) + "' in '" + where + "'");
    std::optional<std::string> bytes = sources.read(name);
    if (!bytes) throw InputError("cannot read '" + cp1252_to_utf8(name) + "' in '" + where + "'");
    memory.write(name, *bytes);
  }

  CompileOutcome outcome;
  outcome.names = names;
  Compiler compiler(memory);
  compiler.route_name = names.route_name;
  compiler.train_name = names.train_name;
  compiler.listener = listener;
  std::int32_t full = full_compile;
  try {
    compiler.memorizza_percorso(full);
  } catch (const ErroreAbort& e) {
    outcome.fatal = e.code();
  } catch (const RunFailure& e) {
    outcome.runtime_failure = e.what();
  } catch (const std::exception& e) {
    outcome.runtime_failure = e.what();
  }
  outcome.recorded = compiler.recorded_codes;
  outcome.warnings = compiler.recorded_warnings;
  outcome.error_code = compiler.error_code;
  outcome.error_position = compiler.error_position;
  if (inspect) inspect(compiler);

  const RunNames& run = outcome.names;
  for (const std::string& name : {run.track_plan_file(), run.parameter_file(), run.grid_file()}) {
    auto it = memory.files().find(name);
    if (it != memory.files().end()) outcome.binaries.emplace_back(name, it->second);
  }
  for (const std::string& name : {run.line_file(), run.train_file()})
    if (!memory.exists(name)) outcome.sources_deleted.push_back(name);
  return outcome;
}

CompileOutcome compile_in_memory(const std::filesystem::path& dir, const RunNames& names, std::int32_t full_compile,
                                 const InspectCompiler& inspect, ParseListener* listener) {
  return compile_sources(*make_disk_folder(path_utf8(dir)), path_utf8(dir), names, full_compile, inspect, listener);
}

std::map<std::string, std::uintmax_t> write_outcome(const std::filesystem::path& dir, const CompileOutcome& outcome,
                                                    bool delete_sources) {
  auto disk = make_disk_folder(path_utf8(dir));
  std::map<std::string, std::uintmax_t> written;
  for (const auto& [name, bytes] : outcome.binaries) {
    disk->write(name, bytes);
    written[cp1252_to_utf8(name)] = bytes.size();
  }
  if (delete_sources)
    for (const std::string& name : outcome.sources_deleted) disk->remove(name);
  return written;
}

}  // namespace scenario::tool
