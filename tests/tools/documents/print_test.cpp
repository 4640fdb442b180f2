// The HTML documents printed as a user prints them: a real browser (Debian's
// chromium, headless) writes the PDF, and pdftotext (poppler-utils) reads it
// back. Each sheet and each form is one printed page holding the text
// document's lines.
#ifndef _WIN32

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "run/folder.h"
#include "scenario_sources.h"
#include "sources/line_data.h"
#include "sources/train_data.h"
#include "test_support.h"
#include "tools/documents/html.h"

namespace scenario::tool {
namespace {

using scenario::testing::read_file;
using scenario::testing::TempDir;

// Runs argv[0] (found on PATH) with its standard output and error in `log`;
// its exit status.
int run(const std::vector<std::string>& args, const std::filesystem::path& log) {
  std::vector<char*> argv;
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd >= 0) {
      dup2(fd, STDOUT_FILENO);
      dup2(fd, STDERR_FILENO);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs of blanks made one, and none at the ends: pdftotext places the text
// by its glyphs, not by the blanks between them.
std::string collapsed(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::vector<std::string> text_lines(const std::vector<std::string>& lines) {
  std::vector<std::string> out;
  for (const std::string& l : lines)
    if (std::string c = collapsed(l); !c.empty()) out.push_back(c);
  return out;
}

std::vector<std::vector<std::string>> printed_pages(const std::string& text) {
  std::vector<std::vector<std::string>> pages(1);
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::size_t feed;
    while ((feed = line.find('\f')) != std::string::npos) {
      if (feed > 0) pages.back().push_back(line.substr(0, feed));
      pages.emplace_back();
      line.erase(0, feed + 1);
    }
    pages.back().push_back(line);
  }
  for (auto& page : pages) page = text_lines(page);
  if (!pages.empty() && pages.back().empty()) pages.pop_back();  // after the feed that ends the last page
  return pages;
}

ScenarioDocuments embedded_documents() {
  MemoryFolder folder;
  const RunNames names{kRouteName, kTrainName};
  dati_linea(folder, names);
  dati_treno(folder, names);
  return make_documents(folder, "embedded", names);
}

ScenarioDocuments many_slowdowns() {
  testing::Sources s;
  s.route_length = 60000;
  s.stations = {{1000, 2, 600, 7, 0, "Alfa"}, {52000, 5, 600, 8, 0, "Omega"}};
  for (int i = 0; i < 30; ++i) s.slowdowns.push_back({3000 + 1500 * i, 30 + i, 200});
  return testing::documents_of(s);
}

TEST(PrintedDocuments, OnePagePerSheetAndFormWithTheTextDocumentsLines) {
  struct Case {
    const char* what;
    ScenarioDocuments documents;
    std::size_t sheets, forms;
  };
  const Case cases[] = {
      {"the embedded scenario", embedded_documents(), 2, 1},
      {"thirty slowdowns", many_slowdowns(), 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ScenarioDocuments& d = c.documents;
    ASSERT_EQ(d.train_sheet.pages.size(), c.sheets);
    ASSERT_EQ(d.slowdown_order.pages.size(), c.forms);
    TempDir dir;
    const auto html = dir / "documents.html";
    const auto pdf = dir / "documents.pdf";
    const auto log = dir / "log.txt";
    scenario::testing::write_file(html, documents_html("documents", {&d.train_sheet, &d.slowdown_order}));
    const int printed =
        run({"timeout", "120", "chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + (dir / "profile").string(), "--no-pdf-header-footer", "--print-to-pdf-no-header",
             "--print-to-pdf=" + pdf.string(), "file://" + html.string()},
            log);
    ASSERT_EQ(printed, 0) << read_file(log).value_or("");
    ASSERT_TRUE(std::filesystem::exists(pdf)) << read_file(log).value_or("");
    const auto text_file = dir / "documents.txt";
    ASSERT_EQ(run({"pdftotext", "-layout", pdf.string(), text_file.string()}, log), 0) << read_file(log).value_or("");

    const auto pages = printed_pages(read_file(text_file).value());
    std::vector<std::vector<std::string>> expected;
    for (const LaidOutDocument* doc : {&d.train_sheet, &d.slowdown_order})
      for (const auto& page : doc->pages) expected.push_back(text_lines(page));
    ASSERT_EQ(pages.size(), c.sheets + c.forms);
    for (std::size_t p = 0; p < pages.size(); ++p) EXPECT_EQ(pages[p], expected[p]) << "page " << p + 1;
  }
}

}  // namespace
}  // namespace scenario::tool

#endif  // _WIN32
