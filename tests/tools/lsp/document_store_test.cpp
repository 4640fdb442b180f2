// The open documents: incremental edits in UTF-16 positions, the conversion
// to the compile's Windows-1252 bytes, file URIs, and the overlay folder.
#include "tools/lsp/document_store.h"

#include <gtest/gtest.h>

#include "run/failures.h"

namespace scenario::tool::lsp {
namespace {

TEST(DocumentStore, IncrementalChangesCountUtf16CodeUnits) {
  DocumentStore store;
  ASSERT_TRUE(store.open("file:///d/a-.txt", 1, "ab\r\n\xF0\x9F\x9A\x82x\ry\nz"));
  struct Case {
    Range range;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      // The train emoji is two code units: character 2 is just after it.
      {{{1, 2}, {1, 3}}, "X", "ab\r\n\xF0\x9F\x9A\x82X\ry\nz"},
      // A lone CR and a lone LF end lines too.
      {{{2, 0}, {3, 1}}, "\xC3\xA0", "ab\r\n\xF0\x9F\x9A\x82X\r\xC3\xA0"},
      // Past a line's end stands for its end; a range across a CR LF.
      {{{0, 9}, {1, 0}}, "", "ab\xF0\x9F\x9A\x82X\r\xC3\xA0"},
  };
  int version = 1;
  for (const Case& c : cases) {
    EXPECT_TRUE(store.change("file:///d/a-.txt", ++version, {{c.range, c.text}}));
    EXPECT_EQ(utf16_to_utf8(store.find("file:///d/a-.txt")->text), c.expected);
  }
  EXPECT_FALSE(store.change("file:///d/a-.txt", 9, {{Range{{7, 0}, {7, 0}}, "x"}}));
  EXPECT_FALSE(store.change("file:///d/other.txt", 9, {{std::nullopt, "x"}}));
  EXPECT_TRUE(store.change("file:///d/a-.txt", 10, {{std::nullopt, "whole"}}));
  EXPECT_EQ(utf16_to_utf8(store.find("file:///d/a-.txt")->text), "whole");
  store.close("file:///d/a-.txt");
  EXPECT_EQ(store.find("file:///d/a-.txt"), nullptr);
}

TEST(DocumentStore, ConversionKeepsOneBytePerCodeUnitAndNamesWhatHasNoCode) {
  std::vector<Diagnostic> problems;
  const std::string bytes =
      to_cp1252(utf8_to_utf16("Citt\xC3\xA0 \xE2\x82\xAC\r\n\xE2\x9C\x93 \xF0\x9F\x9A\x82."), &problems);
  EXPECT_EQ(bytes, "Citt\xE0 \x80\r\n? ??.");
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].range.start.line, 1);
  EXPECT_EQ(problems[0].range.start.character, 0);
  EXPECT_EQ(problems[1].range.start.character, 2);
  EXPECT_EQ(problems[1].range.end.character, 4);
  EXPECT_NE(problems[0].message.find("\"\xE2\x9C\x93\" has no Windows-1252 code"), std::string::npos);
  // Invalid UTF-8 from a client becomes U+FFFD, which has no code either.
  EXPECT_EQ(utf8_to_utf16("\xFF"), u"\uFFFD");
}

TEST(DocumentStore, FileUris) {
  EXPECT_EQ(uri_to_path("file:///tmp/a%20b/Orvale_Tresca_IC%20417-.txt"), "/tmp/a b/Orvale_Tresca_IC 417-.txt");
  EXPECT_EQ(uri_to_path("file:///C:/x/y.txt"), "C:/x/y.txt");
  EXPECT_EQ(uri_to_path("untitled:Untitled-1"), std::nullopt);
  EXPECT_EQ(path_to_uri("/tmp/a b/Citt\xC3\xA0.txt"), "file:///tmp/a%20b/Citt%C3%A0.txt");
  EXPECT_EQ(uri_to_path(path_to_uri("/x/[y]#z")), "/x/[y]#z");
  DocumentStore store;
  EXPECT_FALSE(store.open("untitled:1", 1, ""));
  ASSERT_TRUE(store.open("file:///tmp/a%20b/x_linea.txt", 1, ""));
  EXPECT_EQ(store.find("file:///tmp/a%20b/x_linea.txt")->dir, "/tmp/a b");
  EXPECT_EQ(store.find("file:///tmp/a%20b/x_linea.txt")->name, "x_linea.txt");
  EXPECT_EQ(store.in_folder("/tmp/a b").size(), 1u);
}

TEST(OverlayFolder, OpenDocumentsHideTheDiskAndNothingIsWritten) {
  MemoryFolder disk;
  disk.write("a.txt", "disk a");
  disk.write("b.txt", "disk b");
  OverlayFolder overlay(disk, {{"a.txt", "editor a"}, {"c.txt", "editor c"}});
  EXPECT_EQ(overlay.read("a.txt"), "editor a");
  EXPECT_EQ(overlay.read("b.txt"), "disk b");
  EXPECT_EQ(overlay.read("c.txt"), "editor c");
  EXPECT_FALSE(overlay.exists("d.txt"));
  EXPECT_THROW(overlay.write("a.txt", "x"), RunFailure);
  EXPECT_THROW(overlay.remove("b.txt"), RunFailure);
  EXPECT_EQ(disk.read("a.txt"), "disk a");
}

}  // namespace
}  // namespace scenario::tool::lsp
