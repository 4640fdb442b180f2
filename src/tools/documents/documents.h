// `scenario-tool documents`: the train sheet and the slowdown order of the
// scenario in a folder, made from its own sources.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tools/compile_session.h"
#include "tools/documents/layouts.h"
#include "tools/documents/model.h"

namespace scenario::tool {

struct ScenarioDocuments {
  CompileOutcome outcome;  // the compile, as `check` reports it
  DocumentModel model;
  LaidOutDocument train_sheet, slowdown_order;
};

// Compiles the sources of `names` from `sources` in memory (as `check` does)
// and makes the documents from what the compile read, whatever it recorded.
// Throws InputError when a source is missing or unreadable.
ScenarioDocuments make_documents(const Folder& sources, const std::string& where, const RunNames& names);

// The HTML file's name: route + "_" + train + "_documenti.html".
std::string documents_html_name(const RunNames& names);

}  // namespace scenario::tool
