// The driver documents as one print-ready HTML page: A4, monospace, each
// sheet and each form on a printed page of its own.
#pragma once

#include <string>
#include <vector>

#include "tools/documents/layouts.h"

namespace scenario::tool {

// UTF-8 HTML of the documents' pages, in order; `title` is Windows-1252.
std::string documents_html(const std::string& title, const std::vector<const LaidOutDocument*>& documents);

}  // namespace scenario::tool
