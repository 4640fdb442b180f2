// One compile of a scenario folder for the author's tool: the sources are
// read from the folder into memory and compiled there by the very same
// Compiler the one-shot program runs; what the compile wrote is then copied
// back into the folder, or not at all for a check.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "compiler/compiler.h"
#include "run/file_names.h"

namespace scenario::tool {

struct CompileOutcome {
  RunNames names;                      // Windows-1252
  std::vector<RecordedCode> recorded;  // every code, in order
  std::vector<RecordedWarning> warnings;  // what the parse skipped without a code, in reading order
  std::int32_t error_code = 0;         // the compile's own, the last one
  std::int32_t error_position = 0;
  std::optional<std::string> fatal;                           // "1250" or "1251": no binary file
  std::optional<std::string> runtime_failure;                 // the reason: no binary file
  std::vector<std::pair<std::string, std::string>> binaries;  // name, bytes: what the compile wrote, in its order
  std::vector<std::string> sources_deleted;                   // sources the compile deleted
};

// A source that cannot be found or read in the folder: exit status 2.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Called once the compile has ended, before the compiler goes: the tables,
// grid and plan as the compile left them (after a fatal end too).
using InspectCompiler = std::function<void(const Compiler&)>;

// Compiles the line file and train file of `names`, read from `sources` (the
// disk, or an overlay of an editor's open documents), in memory; `where`
// names the folder in messages. `full_compile` 0 reads no curve and makes no
// track plan file. `sources` is never written. Throws InputError when a
// source is missing or unreadable. `listener`, when given, is told of the
// records the parse takes.
CompileOutcome compile_sources(const Folder& sources, const std::string& where, const RunNames& names,
                               std::int32_t full_compile, const InspectCompiler& inspect = {},
                               ParseListener* listener = nullptr);

// The same for the sources in the folder `dir` on disk.
CompileOutcome compile_in_memory(const std::filesystem::path& dir, const RunNames& names, std::int32_t full_compile,
                                 const InspectCompiler& inspect = {}, ParseListener* listener = nullptr);

// Writes the binaries of `outcome` into `dir`, and deletes the sources the
// compile deleted when `delete_sources` is set. Returns name (UTF-8) -> size
// of every file written. Throws RunFailure when a file cannot be written.
std::map<std::string, std::uintmax_t> write_outcome(const std::filesystem::path& dir, const CompileOutcome& outcome,
                                                    bool delete_sources);

}  // namespace scenario::tool
