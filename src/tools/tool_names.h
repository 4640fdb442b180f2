// The route and train names of the author's tool: checked as the user gave
// them, or found from the files in the scenario folder.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "run/file_names.h"

namespace scenario::tool {

// A bad argument: one clear line for the user, exit status 64.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A UTF-8 path given on the command line, as a path of the platform.
std::filesystem::path utf8_path(const std::string& text);
// A path as UTF-8 text, for messages and JSON.
std::string path_utf8(const std::filesystem::path& path);

// A name given as UTF-8, as the Windows-1252 bytes that form file names.
// Throws UsageError for an empty name, a path separator or a character that
// has no Windows-1252 code. `what` is "route" or "train".
std::string checked_name(const std::string& utf8, const char* what);

// The names of the scenario in `dir` (Windows-1252). A name the user gave
// wins. Otherwise, when the folder holds exactly one line (route + "_linea.txt"
// or "_linea.dat") the route is taken from it, and when it holds exactly one
// train file or parameter file of that route (route + "_" + train + "-.txt" or
// ".sim") the train is taken from it; else the embedded scenario's names.
RunNames resolve_names(const std::filesystem::path& dir, const std::optional<std::string>& route_utf8,
                       const std::optional<std::string>& train_utf8);
// The same rule over a list of UTF-8 file names (those of a folder, with the
// editor's open documents added), no name given.
RunNames resolve_names_among(const std::vector<std::string>& files);

// The UTF-8 names of the files in `dir` (no sub-folders).
std::vector<std::string> file_names_in(const std::filesystem::path& dir);

}  // namespace scenario::tool
