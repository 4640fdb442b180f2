// The editor's open documents: their text as the editor holds it (UTF-16,
// the protocol's unit of positions), edited by incremental changes, and the
// overlay that puts them in place of the files on disk for a compile. The
// store never writes a file.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "run/folder.h"
#include "tools/lsp/analyses.h"

namespace scenario::tool::lsp {

struct Document {
  std::string uri;
  std::string dir;   // the folder, UTF-8
  std::string name;  // the file name, UTF-8
  int version = 0;
  std::u16string text;
};

struct TextChange {
  std::optional<Range> range;  // none: the whole text
  std::string text;            // UTF-8
};

// "file:///a/b%20c" -> "/a/b c" (a drive letter keeps its colon: "C:/x");
// nullopt for another scheme.
std::optional<std::string> uri_to_path(const std::string& uri);
std::string path_to_uri(const std::string& path);

// Conversions between the protocol's UTF-8 strings and UTF-16; invalid UTF-8
// becomes U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);

// The text as the compile reads it: one Windows-1252 byte per UTF-16 code
// unit, so that columns stay those of the editor. A character with no
// Windows-1252 code becomes "?" (one per code unit) and a diagnostic.
std::string to_cp1252(std::u16string_view text, std::vector<Diagnostic>* problems);

class DocumentStore {
 public:
  // False when the URI is not a file.
  bool open(const std::string& uri, int version, const std::string& utf8);
  // Applies the changes in order; false when the document is not open or a
  // range lies outside it (the text is then left as the edits before it made it).
  bool change(const std::string& uri, int version, const std::vector<TextChange>& changes);
  void close(const std::string& uri);
  const Document* find(const std::string& uri) const;
  // The open documents in `dir`.
  std::vector<const Document*> in_folder(const std::string& dir) const;

 private:
  std::map<std::string, Document> documents_;
};

// The files of `base` with the open documents of one folder in their place
// (names Windows-1252, bytes as to_cp1252 makes them). Read-only: writing or
// removing is a RunFailure.
class OverlayFolder : public Folder {
 public:
  OverlayFolder(const Folder& base, std::map<std::string, std::string> overlay)
      : base_(base), overlay_(std::move(overlay)) {}
  bool exists(const std::string& name) const override;
  std::optional<std::string> read(const std::string& name) const override;
  void remove(const std::string& name) override;
  void write(const std::string& name, std::string_view bytes) override;

 private:
  const Folder& base_;
  std::map<std::string, std::string> overlay_;
};

}  // namespace scenario::tool::lsp
