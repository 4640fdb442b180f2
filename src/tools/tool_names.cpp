#include "tools/tool_names.h"

#include <set>
#include <system_error>

#include "run/platform.h"
#include "sources/cp1252.h"

namespace scenario::tool {
namespace {

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool starts_with(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

// The one name found in `names` between `head` and one of `tails`; nullopt
// when there is none or more than one.
std::optional<std::string> single_name(const std::vector<std::string>& names, const std::string& head,
                                       std::initializer_list<const char*> tails) {
  std::set<std::string> found;
  for (const std::string& utf8 : names) {
    std::optional<std::string> name = utf8_to_cp1252(utf8);
    if (!name || !starts_with(*name, head)) continue;
    for (const char* tail : tails) {
      const std::string t = tail;
      if (name->size() > head.size() + t.size() && ends_with(*name, t))
        found.insert(name->substr(head.size(), name->size() - head.size() - t.size()));
    }
  }
  if (found.size() != 1) return std::nullopt;
  return *found.begin();
}

}  // namespace

// On Windows through the platform's own UTF-16 conversion, never the narrow
// code page.
std::filesystem::path utf8_path(const std::string& text) {
#ifdef _WIN32
  return std::filesystem::path(to_wide(text));
#else
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
#endif
}

std::string path_utf8(const std::filesystem::path& path) {
#ifdef _WIN32
  return to_utf8(path.native());
#else
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
#endif
}

std::string checked_name(const std::string& utf8, const char* what) {
  if (utf8.empty()) throw UsageError(std::string("the ") + what + " name is empty");
  if (utf8.find('/') != std::string::npos || utf8.find('\\') != std::string::npos)
    throw UsageError(std::string("the ") + what + " name '" + utf8 + "' contains a path separator");
  std::optional<std::string> bytes = utf8_to_cp1252(utf8);
  if (!bytes)
    throw UsageError(std::string("the ") + what + " name '" + utf8 + "' has a character with no Windows-1252 code");
  for (unsigned char c : *bytes)
    if (c < 0x20) throw UsageError(std::string("the ") + what + " name contains a control character");
  return *bytes;
}

std::vector<std::string> file_names_in(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    std::error_code type_ec;
    if (entry.is_regular_file(type_ec)) names.push_back(path_utf8(entry.path().filename()));
  }
  return names;
}

RunNames resolve_names_among(const std::vector<std::string>& files) {
  RunNames names{kRouteName, kTrainName};
  if (auto route = single_name(files, "", {"_linea.txt", "_linea.dat"})) names.route_name = *route;
  if (auto train = single_name(files, names.route_name + "_", {"-.txt", ".sim"})) names.train_name = *train;
  return names;
}

RunNames resolve_names(const std::filesystem::path& dir, const std::optional<std::string>& route_utf8,
                       const std::optional<std::string>& train_utf8) {
  RunNames names{kRouteName, kTrainName};
  std::optional<std::string> route = route_utf8 ? std::optional(checked_name(*route_utf8, "route")) : std::nullopt;
  std::optional<std::string> train = train_utf8 ? std::optional(checked_name(*train_utf8, "train")) : std::nullopt;
  const std::vector<std::string> files = file_names_in(dir);
  if (!route) route = single_name(files, "", {"_linea.txt", "_linea.dat"});
  if (route) names.route_name = *route;
  if (!train) train = single_name(files, names.route_name + "_", {"-.txt", ".sim"});
  if (train) names.train_name = *train;
  return names;
}

}  // namespace scenario::tool
