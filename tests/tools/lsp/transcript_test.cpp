// Protocol transcripts: each transcripts/NAME.in holds the client's
// messages, one JSON object per line (framed here with Content-Length, as
// an editor sends them), NAME.out the server's answers, one per line, then
// "exit STATUS"; compared whole. In the messages ${DIR}, ${LINE}, ${TRAIN},
// ${LINE_TEXT} and ${TRAIN_TEXT} stand for a fresh folder holding the
// embedded sources, their URIs and their texts. A line of NAME.in that
// starts with "RAW " is sent as it stands, unframed ("\r\n" written as such).
// SCENARIO_REWRITE_TRANSCRIPTS=1 rewrites the .out files after a deliberate
// change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "run/file_names.h"
#include "run/folder.h"
#include "sources/cp1252.h"
#include "sources/line_data.h"
#include "sources/train_data.h"
#include "test_support.h"
#include "tools/lsp/document_store.h"
#include "tools/lsp/framing.h"
#include "tools/lsp/stdio.h"

namespace scenario::tool::lsp {
namespace {

using scenario::testing::read_file;
using scenario::testing::TempDir;
using scenario::testing::write_file;

void replace_all(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
}

std::string unescape_crlf(std::string text) {
  replace_all(text, "\\r", "\r");
  replace_all(text, "\\n", "\n");
  return text;
}

struct Served {
  std::string output;
  int status = -1;
};

Served serve(const std::string& input) {
  std::FILE* in = std::tmpfile();
  std::FILE* out = std::tmpfile();
  std::fwrite(input.data(), 1, input.size(), in);
  std::rewind(in);
  Served run;
  run.status = serve_synchronously(in, out);
  std::rewind(out);
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) run.output.append(buffer, n);
  std::fclose(in);
  std::fclose(out);
  return run;
}

class Transcripts : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcripts, AnswersAsRecorded) {
  const std::filesystem::path dir = std::filesystem::path(LSP_TRANSCRIPT_DIR);
  const std::string name = GetParam();
  TempDir temp;
  auto folder = make_disk_folder(temp.path().string());
  const RunNames names{kRouteName, kTrainName};
  dati_linea(*folder, names);
  dati_treno(*folder, names);
  const std::string root = temp.path().string();
  const std::string line_uri = path_to_uri(root + "/" + cp1252_to_utf8(names.line_file()));
  const std::string train_uri = path_to_uri(root + "/" + cp1252_to_utf8(names.train_file()));
  auto text_of = [&](const std::string& file) {
    return nlohmann::json(cp1252_to_utf8(folder->read(file).value())).dump();
  };

  std::string input;
  std::string script = read_file(dir / (name + ".in")).value();
  replace_all(script, "${LINE_TEXT}", text_of(names.line_file()));
  replace_all(script, "${TRAIN_TEXT}", text_of(names.train_file()));
  replace_all(script, "${LINE}", line_uri);
  replace_all(script, "${TRAIN}", train_uri);
  replace_all(script, "${DIR}", path_to_uri(root));
  std::size_t start = 0;
  while (start < script.size()) {
    std::size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    const std::string line = script.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    if (line.rfind("RAW ", 0) == 0)
      input += unescape_crlf(line.substr(4));
    else
      input += frame(line);
  }

  const Served run = serve(input);
  // Every answer is framed whole; the bodies, one per line, with the folder
  // written back as ${DIR}.
  FrameReader frames;
  frames.feed(run.output);
  std::string actual;
  while (std::optional<std::string> body = frames.next()) {
    std::string text = nlohmann::json::parse(*body).dump();
    replace_all(text, train_uri, "${TRAIN}");
    replace_all(text, line_uri, "${LINE}");
    replace_all(text, path_to_uri(root), "${DIR}");
    replace_all(text, root, "${DIR}");
    actual += text + "\n";
  }
  EXPECT_FALSE(frames.pending()) << "output ends inside a message";
  EXPECT_EQ(frames.dropped(), 0u);
  actual += "exit " + std::to_string(run.status) + "\n";

  const std::filesystem::path expected_file = dir / (name + ".out");
  if (std::getenv("SCENARIO_REWRITE_TRANSCRIPTS")) {
    write_file(expected_file, actual);
    return;
  }
  EXPECT_EQ(read_file(expected_file).value_or("(no " + name + ".out)"), actual);
}

std::vector<std::string> transcript_names() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(LSP_TRANSCRIPT_DIR))
    if (entry.path().extension() == ".in") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(Lsp, Transcripts, ::testing::ValuesIn(transcript_names()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace scenario::tool::lsp
