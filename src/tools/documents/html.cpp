#include "tools/documents/html.h"

#include "sources/cp1252.h"

namespace scenario::tool {
namespace {

std::string escaped(const std::string& cp1252) {
  std::string out;
  for (char c : cp1252_to_utf8(cp1252)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// 83 characters of 9.5 pt DejaVu Sans Mono are 168 mm, within the 186 mm
// between A4's margins; a sheet's 48 lines are 185 mm high.
constexpr const char* kStyle = R"(
@page { size: A4; margin: 12mm; }
html, body { margin: 0; padding: 0; background: #fff; color: #000; }
section.page { break-after: page; page-break-after: always; }
section.page:last-child { break-after: auto; page-break-after: auto; }
pre { font-family: "DejaVu Sans Mono", "Liberation Mono", "Courier New", monospace;
      font-size: 9.5pt; line-height: 1.15; margin: 0; }
)";

}  // namespace

std::string documents_html(const std::string& title, const std::vector<const LaidOutDocument*>& documents) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + escaped(title) +
                     "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  for (const LaidOutDocument* doc : documents)
    for (const std::vector<std::string>& page : doc->pages) {
      html += "<section class=\"page\"><pre>";
      for (const std::string& line : page) html += escaped(line) + "\n";
      html += "</pre></section>\n";
    }
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace scenario::tool
