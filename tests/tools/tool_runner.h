// The author's tool run in-process, as its executable runs it: the same
// argument parsing and exit statuses, with both outputs captured.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tools/cli.h"

namespace scenario::tool::testing {

struct Result {
  int status = -1;
  std::string out, err;
};

// `args` without the program's name.
inline Result tool(std::vector<std::string> args) {
  args.insert(args.begin(), "scenario-tool");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::ostringstream out, err;
  Result r;
  r.status = tool_main(static_cast<int>(argv.size()), argv.data(), out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

}  // namespace scenario::tool::testing
