// The editor's features driven directly: a compile of sources in memory and
// the layout of each, no protocol.
#include "tools/lsp/analyses.h"

#include <gtest/gtest.h>

#include "bench/scenario_generator.h"
#include "run/folder.h"
#include "sources/line_data.h"
#include "sources/train_data.h"

namespace scenario::tool::lsp {
namespace {

const RunNames kNames{kRouteName, kTrainName};

class Analyses : public ::testing::Test {
 protected:
  void SetUp() override {
    dati_linea(folder, kNames);
    dati_treno(folder, kNames);
  }
  std::string train() const { return folder.read(kNames.train_file()).value(); }
  std::string line() const { return folder.read(kNames.line_file()).value(); }
  // Replaces the one occurrence of `from` in a source.
  void edit(const std::string& file, const std::string& from, const std::string& to) {
    std::string text = folder.read(file).value();
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    folder.write(file, text);
  }
  FolderResult compile() {
    FolderResult r;
    r.names = kNames;
    r.outcome = compile_sources(folder, "mem", kNames, 1);
    r.line = scan_layout(line(), SourceFile::line_file);
    r.train = scan_layout(train(), SourceFile::train_file);
    r.has_line = r.has_train = true;
    return r;
  }
  MemoryFolder folder;
};

TEST_F(Analyses, LayoutFindsEveryRecordOfTheEmbeddedSources) {
  const DocumentLayout t = scan_layout(train(), SourceFile::train_file);
  std::map<std::string, int> count;
  for (const RecordSpan& r : t.records) {
    ++count[std::string(r.info->keyword)];
    EXPECT_EQ(r.values.size(), r.info->fields.size()) << r.keyword_text;
  }
  EXPECT_EQ(count["segnale"], 39);
  EXPECT_EQ(count["stazione"], 25);
  EXPECT_EQ(count["velocita"], 20);
  EXPECT_EQ(t.sections.size(), 8u);
  const DocumentLayout l = scan_layout(line(), SourceFile::line_file);
  EXPECT_EQ(l.generale_line, 0);
  EXPECT_EQ(l.general_end_line, 9);
  EXPECT_EQ(l.records.front().info->part, Part::line_general);
  EXPECT_EQ(l.records.back().info->keyword, "cartello_indicatore");
  EXPECT_EQ(l.records.back().values[1].text, "(Bivio     )(Sparvenzia)");
}

// The layout reads each record's values as the parser does: a value too
// many or too few would shift every later field, and the counts would differ.
TEST(LayoutAgreesWithTheParser, OnAGeneratedScenario) {
  const bench::GeneratedScenario g = bench::generate_scenario(155000);
  std::map<std::string, int> count;
  for (const auto& [text, which] :
       {std::pair{g.line_file, SourceFile::line_file}, {g.train_file, SourceFile::train_file}})
    for (const RecordSpan& r : scan_layout(text, which).records) {
      ++count[std::string(r.info->keyword)];
      EXPECT_EQ(r.values.size(), r.info->fields.size()) << r.keyword_text;
    }
  EXPECT_EQ(count["segnale"], g.layout.signals);
  EXPECT_EQ(count["stazione"], g.layout.stations);
  EXPECT_EQ(count["rallentamento"], g.layout.slowdowns);
  EXPECT_EQ(count["montagna"], g.layout.tunnels);
  EXPECT_EQ(count["curvad4"], g.layout.curves);
}

TEST_F(Analyses, CleanSourcesHaveNoDiagnostics) {
  const FolderResult r = compile();
  EXPECT_TRUE(diagnostics(r, SourceFile::line_file).empty());
  EXPECT_TRUE(diagnostics(r, SourceFile::train_file).empty());
}

TEST_F(Analyses, CodesAndWarningsStandAtTheirRecord) {
  edit(kNames.train_file(), "segnale,   56300", "segnale,   47500");
  edit(kNames.train_file(), "segnale,   16300", "segnalle,  16300");
  const FolderResult r = compile();
  const std::vector<Diagnostic> d = diagnostics(r, SourceFile::train_file);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].code, 16);
  EXPECT_EQ(d[0].severity, Severity::error);
  // The whole record, from its keyword to its last value.
  EXPECT_EQ(d[0].range.start.line, 67);
  EXPECT_EQ(d[0].range.start.character, 0);
  EXPECT_EQ(d[0].range.end.character, 51);
  EXPECT_EQ(d[0].message, "signal refused: its cell is taken or outside the grid (at 47500 m, km 47+500)");
  EXPECT_EQ(d[1].severity, Severity::warning);
  EXPECT_EQ(d[1].name, "unknown-keyword");
  EXPECT_EQ(d[1].range.start.line, 59);
  EXPECT_TRUE(diagnostics(r, SourceFile::line_file).empty());
}

TEST_F(Analyses, GridPassCodesStandAtTheSignalOrSlowdownOfTheirCell) {
  // A slowdown whose first marker cells before its start are all taken by
  // signals gives code 12 at the slowdown's start cell.
  edit(kNames.train_file(), "[rallentamenti]",
       "[rallentamenti]\r\nrallentamento,  60000, 30, 500, 0, 0, 0\r\n"
       "segnale, 59650, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0\r\nsegnale, 59700, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0\r\n"
       "segnale, 59750, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0");
  const FolderResult r = compile();
  const std::vector<Diagnostic> d = diagnostics(r, SourceFile::train_file);
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0].code, 12);
  EXPECT_EQ(d[0].range.start.line, 55);  // the slowdown's record
  EXPECT_NE(d[0].message.find("(at 60050 m, km 60+050, grid cell 1201)"), std::string::npos) << d[0].message;
}

TEST_F(Analyses, HoverNamesEveryNumberAndKeyword) {
  const DocumentLayout t = scan_layout(train(), SourceFile::train_file);
  struct Case {
    Position at;
    std::string starts;
    std::string contains;
  };
  const Case cases[] = {
      {{67, 23}, "**s1**: the third value of **segnale**", "16-bit signed"},
      {{67, 11}, "**posizione**: the first value of **segnale**", "56300 m, km 56+300, grid cell 1127"},
      {{67, 50}, "**tempo**", "signal time"},
      {{67, 2}, "**segnale**: a signal", "segnale, posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo"},
      {{34, 75}, "**nome**", "\"Pelverano\""},
      {{4, 29}, "**minuti**", "clock"},
  };
  for (const Case& c : cases) {
    std::optional<Hover> h = hover(t, c.at);
    ASSERT_TRUE(h) << c.starts;
    EXPECT_EQ(h->markdown.rfind(c.starts, 0), 0u) << h->markdown;
    EXPECT_NE(h->markdown.find(c.contains), std::string::npos) << h->markdown;
  }
  EXPECT_FALSE(hover(t, {67, 9}));   // blanks between fields
  EXPECT_FALSE(hover(t, {55, 2}));   // a header
  EXPECT_FALSE(hover(t, {500, 0}));  // past the end
}

TEST_F(Analyses, InlayHintsNameEachNumber) {
  const DocumentLayout t = scan_layout(train(), SourceFile::train_file);
  const std::vector<InlayHint> hints = inlay_hints(t, {{4, 0}, {4, 99}});
  ASSERT_EQ(hints.size(), 3u);
  EXPECT_EQ(hints[0].label, "ore:");
  EXPECT_EQ(hints[0].position.character, 13);
  EXPECT_EQ(hints[2].label, "secondi:");
}

TEST_F(Analyses, CompletionOffersTheKeywordsOfThePartAsSnippets) {
  const DocumentLayout l = scan_layout(line(), SourceFile::line_file);
  const DocumentLayout t = scan_layout(train(), SourceFile::train_file);
  auto labels = [](const std::vector<CompletionItem>& items) {
    std::vector<std::string> out;
    for (const CompletionItem& i : items) out.push_back(i.label);
    return out;
  };
  EXPECT_EQ(labels(completion(l, {3, 0})).front(), "lunghezza percorso");
  EXPECT_EQ(labels(completion(l, {40, 0})),
            (std::vector<std::string>{"pendenza", "curvad4", "montagna", "indicatori_vmax", "cartello_indicatore"}));
  const std::vector<CompletionItem> train_items = completion(t, {60, 0});
  ASSERT_EQ(train_items.size(), 10u);
  EXPECT_EQ(train_items[6].snippet,
            "segnale, ${1:posizione}, ${2:sx}, ${3:s1}, ${4:s2}, ${5:s3}, ${6:rapp}, ${7:dx}, ${8:d1}, ${9:d2}, "
            "${10:d3}, ${11:tempo}");
  EXPECT_EQ(train_items[4].snippet, "orologio, ${1:ore} ${2:minuti} ${3:secondi}");
  EXPECT_EQ(completion(l, {40, 0})[1].snippet, "curva${1|d,s|}${2|1,2,3,4,5,6|}, ${3:inizio}, ${4:lunghezza}");
}

TEST_F(Analyses, OutlineHasSectionsWithStationsByNameAndSignalsByKm) {
  const std::vector<DocumentSymbol> symbols = document_symbols(scan_layout(train(), SourceFile::train_file));
  ASSERT_EQ(symbols.size(), 8u);
  EXPECT_EQ(symbols[3].name, "[stazioni]");
  ASSERT_EQ(symbols[3].children.size(), 25u);
  EXPECT_EQ(symbols[3].children[0].name, "Orvale Ferlaste");
  EXPECT_EQ(symbols[3].children[0].detail, "km 0+100");
  EXPECT_EQ(symbols[5].children[0].name, "segnale km 2+050");
  for (const DocumentSymbol& s : symbols)
    for (const DocumentSymbol& c : s.children) {
      EXPECT_GE(c.range.start.line, s.range.start.line);
      EXPECT_LE(c.range.end.line, s.range.end.line);
    }
}

TEST_F(Analyses, AnyContentGivesALayoutAndNoCrash) {
  const std::string inputs[] = {"", std::string("\0\xff\x01,,,\r\r\n", 8), "[generale]\r\nsegnale, 1, 2",
                                "[generale]\r\nstazione, 99999999999999", std::string(100000, ',')};
  for (const std::string& in : inputs) {
    for (SourceFile which : {SourceFile::line_file, SourceFile::train_file}) {
      const DocumentLayout layout = scan_layout(in, which);
      hover(layout, {0, 0});
      inlay_hints(layout, {{0, 0}, {100, 0}});
      document_symbols(layout);
      completion(layout, {0, 0});
    }
  }
}

}  // namespace
}  // namespace scenario::tool::lsp
