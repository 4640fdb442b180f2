// The preview's page, embedded in the program: no network, no CDN. The script
// follows /events, fetches /drawing.svg when its version changes and swaps it
// in place, so that zoom, scroll and an open detail stay as they were.
#pragma once

#include <string_view>

namespace scenario::tool::serve {

std::string_view page_html();
std::string_view page_script();
std::string_view page_style();

}  // namespace scenario::tool::serve
