#include "tools/documents/documents.h"

namespace scenario::tool {

ScenarioDocuments make_documents(const Folder& sources, const std::string& where, const RunNames& names) {
  ScenarioDocuments d;
  SourceRecords records;
  d.outcome = compile_sources(
      sources, where, names, 1, [&](const Compiler& c) { d.model = build_model(c, records); }, &records);
  d.train_sheet = train_sheet_document(d.model);
  d.slowdown_order = slowdown_order_document(d.model);
  return d;
}

std::string documents_html_name(const RunNames& names) {
  return names.route_name + "_" + names.train_name + "_documenti.html";
}

}  // namespace scenario::tool
