// The command line of `scenario-tool`: sources, compile, check, dump and
// render. The executable's main only forwards to tool_main, so that tests
// drive the very same parsing and exit statuses in-process.
#pragma once

#include <ostream>

namespace scenario::tool {

// Arguments are UTF-8. Returns the exit status: 0 clean, 1 codes recorded,
// 2 fatal end, run-time failure or unreadable input, 64 usage error.
int tool_main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace scenario::tool
