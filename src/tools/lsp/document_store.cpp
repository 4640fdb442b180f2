#include "tools/lsp/document_store.h"

#include <array>

#include "run/failures.h"
#include "sources/cp1252.h"

namespace scenario::tool::lsp {
namespace {

int hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Windows-1252 byte of each code point from U+0080 up, 0 for none.
const std::map<char16_t, unsigned char>& cp1252_bytes() {
  static const std::map<char16_t, unsigned char> table = [] {
    std::map<char16_t, unsigned char> t;
    for (int b = 0x80; b <= 0xFF; ++b)
      t[static_cast<char16_t>(cp1252_to_unicode(static_cast<unsigned char>(b)))] = static_cast<unsigned char>(b);
    return t;
  }();
  return table;
}

// The offset in `text` of a protocol position; nullopt past the end. A
// character past its line's end stands for the line's end.
std::optional<std::size_t> offset_of(const std::u16string& text, Position p) {
  if (p.line < 0 || p.character < 0) return std::nullopt;
  std::size_t i = 0;
  for (int line = 0; line < p.line; ++line) {
    while (i < text.size() && text[i] != u'\n' && text[i] != u'\r') ++i;
    if (i == text.size()) return line + 1 == p.line ? std::optional(text.size()) : std::nullopt;
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    ++i;
  }
  std::size_t end = i;
  while (end < text.size() && text[end] != u'\n' && text[end] != u'\r') ++end;
  return std::min(end, i + static_cast<std::size_t>(p.character));
}

}  // namespace

std::optional<std::string> uri_to_path(const std::string& uri) {
  const std::string scheme = "file://";
  if (uri.compare(0, scheme.size(), scheme) != 0) return std::nullopt;
  std::string path;
  for (std::size_t i = scheme.size(); i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && hex(uri[i + 1]) >= 0 && hex(uri[i + 2]) >= 0) {
      path += static_cast<char>(hex(uri[i + 1]) * 16 + hex(uri[i + 2]));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  // "file:///C:/x" names "C:/x".
  if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
  return path;
}

std::string path_to_uri(const std::string& path) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out = "file://";
  if (path.size() >= 2 && path[1] == ':') out += '/';
  for (unsigned char c : path) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || c == '.' || c == '~' || c == '/' || c == ':';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::u16string utf8_to_utf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp = 0xFFFD;
    std::size_t n = 1;
    if (c < 0x80) {
      cp = c;
    } else {
      std::size_t len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
      if (c >= 0xF5) len = 0;
      if (len > 0 && i + len <= s.size()) {
        char32_t v = c & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
        bool ok = true;
        for (std::size_t k = 1; k < len && ok; ++k) {
          const unsigned char cc = static_cast<unsigned char>(s[i + k]);
          ok = (cc & 0xC0) == 0x80;
          v = (v << 6) | (cc & 0x3F);
        }
        if (ok && !(len == 3 && v < 0x800) && !(len == 4 && (v < 0x10000 || v > 0x10FFFF)) &&
            !(v >= 0xD800 && v <= 0xDFFF)) {
          cp = v;
          n = len;
        }
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += n;
  }
  return out;
}

std::string utf16_to_utf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::string to_cp1252(std::u16string_view text, std::vector<Diagnostic>* problems) {
  constexpr std::size_t kMostProblems = 100;
  std::string out(text.size(), '?');
  const auto& table = cp1252_bytes();
  int line = 0, column = 0;
  std::size_t reported = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++column) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out[i] = static_cast<char>(c);
      if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) ++line, column = -1;
      continue;
    }
    auto it = table.find(c);
    if (it != table.end()) {
      out[i] = static_cast<char>(it->second);
      continue;
    }
    const bool pair =
        c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (problems && reported < kMostProblems) {
      ++reported;
      Diagnostic d;
      d.range = {{line, column}, {line, column + (pair ? 2 : 1)}};
      d.name = "no-windows-1252";
      d.message = "\"" + utf16_to_utf8(text.substr(i, pair ? 2 : 1)) +
                  "\" has no Windows-1252 code: the compile reads \"?\" in its place, and the file cannot be saved "
                  "as Windows-1252 with it";
      problems->push_back(std::move(d));
    }
    if (pair) ++i, ++column;
  }
  return out;
}

bool DocumentStore::open(const std::string& uri, int version, const std::string& utf8) {
  std::optional<std::string> path = uri_to_path(uri);
  if (!path) return false;
  Document doc;
  doc.uri = uri;
  const std::size_t slash = path->find_last_of('/');
  doc.dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path->substr(0, slash);
  doc.name = slash == std::string::npos ? *path : path->substr(slash + 1);
  doc.version = version;
  doc.text = utf8_to_utf16(utf8);
  documents_[uri] = std::move(doc);
  return true;
}

bool DocumentStore::change(const std::string& uri, int version, const std::vector<TextChange>& changes) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return false;
  Document& doc = it->second;
  doc.version = version;
  for (const TextChange& c : changes) {
    if (!c.range) {
      doc.text = utf8_to_utf16(c.text);
      continue;
    }
    const std::optional<std::size_t> from = offset_of(doc.text, c.range->start);
    const std::optional<std::size_t> to = offset_of(doc.text, c.range->end);
    if (!from || !to || *to < *from) return false;
    doc.text.replace(*from, *to - *from, utf8_to_utf16(c.text));
  }
  return true;
}

void DocumentStore::close(const std::string& uri) { documents_.erase(uri); }

const Document* DocumentStore::find(const std::string& uri) const {
  auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second;
}

std::vector<const Document*> DocumentStore::in_folder(const std::string& dir) const {
  std::vector<const Document*> out;
  for (const auto& [uri, doc] : documents_)
    if (doc.dir == dir) out.push_back(&doc);
  return out;
}

bool OverlayFolder::exists(const std::string& name) const { return overlay_.count(name) > 0 || base_.exists(name); }

std::optional<std::string> OverlayFolder::read(const std::string& name) const {
  auto it = overlay_.find(name);
  if (it != overlay_.end()) return it->second;
  return base_.read(name);
}

void OverlayFolder::remove(const std::string& name) { throw RunFailure("the editor's folder is read-only: " + name); }

void OverlayFolder::write(const std::string& name, std::string_view) {
  throw RunFailure("the editor's folder is read-only: " + name);
}

}  // namespace scenario::tool::lsp
