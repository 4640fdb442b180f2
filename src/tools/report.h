// What the author's tool says about a compile: one diagnostic line per
// recorded code in the form editors parse, or one JSON object, and the exit
// status that goes with it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "tools/compile_session.h"

namespace scenario::tool {

inline constexpr int kExitClean = 0;
inline constexpr int kExitCodesRecorded = 1;
inline constexpr int kExitFailure = 2;
inline constexpr int kExitUsage = 64;

// "56300 m, km 56+300".
std::string position_text(std::int32_t metres);

// The lines for standard error: "FILE:LINE:COL: error CODE: meaning (at P m,
// km K+MMM)" for the parser's codes, "scenario-tool: error CODE: ..." for the
// grid pass's, then "FILE:LINE:COL: warning: ..." for each warning, then the
// fatal end or the run-time failure, if any. Empty when the compile recorded
// nothing.
std::string diagnostics_text(const std::filesystem::path& dir, const CompileOutcome& outcome);

// error_code, error_position, fatal, runtime_failure, diagnostics, warnings,
// files.
nlohmann::ordered_json outcome_json(const std::filesystem::path& dir, const CompileOutcome& outcome,
                                    const std::map<std::string, std::uintmax_t>& files_written);

// 2 for a fatal end or a run-time failure, 1 when a code was recorded (or,
// with `werror`, a warning), else 0.
int exit_status(const CompileOutcome& outcome, bool werror = false);

// The path of a source of the outcome inside `dir`, as UTF-8; empty for none.
std::string source_path(const std::filesystem::path& dir, const CompileOutcome& outcome, SourceFile file);

// The meaning of each recorded code of `outcome`, in order, as check prints it.
std::vector<std::string> code_texts(const CompileOutcome& outcome);

}  // namespace scenario::tool
