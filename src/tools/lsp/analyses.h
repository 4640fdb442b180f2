// The editor's features over one compile of a scenario folder and the
// layout of its sources: diagnostics, hover, inlay hints, completion and the
// outline. Nothing here knows of the protocol that carries them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/compile_session.h"
#include "tools/lsp/document_layout.h"

namespace scenario::tool::lsp {

struct Position {
  int line = 0;
  int character = 0;  // UTF-16 code units, which are the source's bytes
};
struct Range {
  Position start, end;
};

enum class Severity { error = 1, warning = 2 };

struct Diagnostic {
  Range range;
  Severity severity = Severity::error;
  std::optional<int> code;  // a compile code
  std::string name;         // a warning's name, when there is no code
  std::string message;      // UTF-8
};

// One compile of a folder's two sources, with their layouts. `outcome` is
// missing when a source could not be found; `input_error` says why.
struct FolderResult {
  RunNames names;
  std::optional<CompileOutcome> outcome;
  std::string input_error;
  DocumentLayout line, train;
  bool has_line = false, has_train = false;
};

// The diagnostics of one source of the folder: the codes recorded at the
// record that caused them (the grid pass's at the signal or slowdown whose
// cell they name), the warnings, and a fatal end or failure at the top.
std::vector<Diagnostic> diagnostics(const FolderResult& result, SourceFile which);

struct Hover {
  Range range;
  std::string markdown;  // UTF-8
};
std::optional<Hover> hover(const DocumentLayout& layout, Position at);

struct InlayHint {
  Position position;
  std::string label;  // "posizione:"
};
std::vector<InlayHint> inlay_hints(const DocumentLayout& layout, Range range);

struct CompletionItem {
  std::string label;
  std::string detail;
  std::string documentation;
  std::string snippet;  // with ${n:name} placeholders
};
// The keywords of the part of the file the position lies in.
std::vector<CompletionItem> completion(const DocumentLayout& layout, Position at);

struct DocumentSymbol {
  std::string name;
  std::string detail;
  int kind = 0;  // the protocol's SymbolKind numbers
  Range range, selection;
  std::vector<DocumentSymbol> children;
};
// The sections, and in them the stations by name and the signals,
// slowdowns and boards by km.
std::vector<DocumentSymbol> document_symbols(const DocumentLayout& layout);

// "km 56+300", as the outline and the hover show positions.
std::string km_text(std::int64_t metres);

}  // namespace scenario::tool::lsp
