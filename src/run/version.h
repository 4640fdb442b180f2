// The version of the core library (the run, the sources and the compiler),
// set in one place: the project's version in the top CMakeLists.txt.
#pragma once

namespace scenario {

const char* core_version();

}  // namespace scenario
