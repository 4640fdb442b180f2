// A small XML 1.0 well-formedness check for the tests of the rendered SVG:
// one root element, tags that nest and close by name, quoted attributes that
// are unique per element, and only the five named or numeric entities. It
// also collects the text of every <text> element (its tspans included), so
// that a test can look for what the page shows.
#pragma once

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace scenario::testing {

struct XmlCheck {
  std::string error;               // empty when the document is well-formed
  std::vector<std::string> texts;  // the content of each <text> element
  int elements = 0;
};

inline XmlCheck check_xml(std::string_view doc) {
  XmlCheck result;
  std::size_t i = 0;
  std::vector<std::string> open;
  int text_depth = 0;
  bool root_seen = false;
  auto fail = [&](const std::string& what) {
    result.error = what + " at byte " + std::to_string(i);
    return result;
  };
  auto name_char = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == ':' || c == '.' ||
           static_cast<unsigned char>(c) >= 0x80;
  };
  // Character data and attribute values: '<' never, '&' only as an entity.
  auto decode = [&](std::string_view raw, std::string& out) -> bool {
    for (std::size_t k = 0; k < raw.size(); ++k) {
      if (raw[k] == '<') return false;
      if (raw[k] != '&') {
        out += raw[k];
        continue;
      }
      const std::size_t semi = raw.find(';', k);
      if (semi == std::string_view::npos) return false;
      const std::string_view entity = raw.substr(k + 1, semi - k - 1);
      if (entity == "amp")
        out += '&';
      else if (entity == "lt")
        out += '<';
      else if (entity == "gt")
        out += '>';
      else if (entity == "quot")
        out += '"';
      else if (entity == "apos")
        out += '\'';
      else if (entity.size() > 1 && entity[0] == '#')
        out += '?';
      else
        return false;
      k = semi;
    }
    return true;
  };

  if (doc.substr(0, 5) == "<?xml") {
    i = doc.find("?>");
    if (i == std::string_view::npos) return fail("unclosed declaration");
    i += 2;
  }
  while (i < doc.size()) {
    if (doc[i] != '<') {
      const std::size_t next = doc.find('<', i);
      const std::string_view raw = doc.substr(i, next == std::string_view::npos ? doc.size() - i : next - i);
      std::string decoded;
      if (!decode(raw, decoded)) return fail("bad character data");
      if (open.empty() && decoded.find_first_not_of(" \t\r\n") != std::string::npos)
        return fail("text outside the root element");
      if (text_depth > 0) result.texts.back() += decoded;
      i += raw.size();
      continue;
    }
    if (doc.substr(i, 4) == "<!--") {
      const std::size_t end = doc.find("-->", i);
      if (end == std::string_view::npos) return fail("unclosed comment");
      i = end + 3;
      continue;
    }
    if (doc.substr(i, 2) == "</") {
      std::size_t k = i + 2;
      while (k < doc.size() && name_char(doc[k])) ++k;
      const std::string name(doc.substr(i + 2, k - i - 2));
      while (k < doc.size() && std::isspace(static_cast<unsigned char>(doc[k]))) ++k;
      if (k >= doc.size() || doc[k] != '>') return fail("bad end tag");
      if (open.empty() || open.back() != name) return fail("end tag </" + name + "> does not match");
      open.pop_back();
      if (name == "text") --text_depth;
      i = k + 1;
      continue;
    }
    // A start tag or an empty-element tag.
    std::size_t k = i + 1;
    while (k < doc.size() && name_char(doc[k])) ++k;
    const std::string name(doc.substr(i + 1, k - i - 1));
    if (name.empty()) return fail("bad tag name");
    if (open.empty() && root_seen) return fail("a second root element");
    root_seen = true;
    std::set<std::string> attributes;
    for (;;) {
      while (k < doc.size() && std::isspace(static_cast<unsigned char>(doc[k]))) ++k;
      if (k >= doc.size()) return fail("unclosed tag");
      if (doc[k] == '>' || doc.substr(k, 2) == "/>") break;
      const std::size_t start = k;
      while (k < doc.size() && name_char(doc[k])) ++k;
      const std::string attribute(doc.substr(start, k - start));
      if (attribute.empty() || k >= doc.size() || doc[k] != '=') return fail("bad attribute in <" + name + ">");
      if (!attributes.insert(attribute).second) return fail("attribute " + attribute + " repeated");
      ++k;
      if (k >= doc.size() || (doc[k] != '"' && doc[k] != '\'')) return fail("unquoted attribute");
      const char quote = doc[k];
      const std::size_t close = doc.find(quote, k + 1);
      if (close == std::string_view::npos) return fail("unclosed attribute value");
      std::string value;
      if (!decode(doc.substr(k + 1, close - k - 1), value)) return fail("bad attribute value");
      k = close + 1;
    }
    ++result.elements;
    const bool empty = doc[k] == '/';
    i = k + (empty ? 2 : 1);
    if (!empty) {
      open.push_back(name);
      if (name == "text") {
        if (text_depth == 0) result.texts.emplace_back();
        ++text_depth;
      }
    }
  }
  if (!open.empty()) return fail("<" + open.back() + "> is never closed");
  if (!root_seen) return fail("no root element");
  return result;
}

}  // namespace scenario::testing
