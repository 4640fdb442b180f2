#include "run/version.h"

namespace scenario {

const char* core_version() { return SCENARIO_VERSION; }

}  // namespace scenario
