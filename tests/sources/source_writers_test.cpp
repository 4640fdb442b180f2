#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "run/file_names.h"
#include "run/folder.h"
#include "sources/line_data.h"
#include "sources/text_file.h"
#include "sources/text_format.h"
#include "sources/train_data.h"
#include "test_support.h"

namespace scenario {
namespace {

using testing::sha256_hex;
using testing::TempDir;

const RunNames kNames{kRouteName, kTrainName};

struct SourceFile {
  const char* what;
  std::function<std::vector<std::string>()> entries;
  std::function<void(Folder&, const RunNames&)> writer;
  std::string name;
  std::size_t size;
  std::size_t lines;
  const char* sha256;
};

const SourceFile kSourceFiles[] = {
    {"line file", line_file_entries, dati_linea, "Orvale_Tresca_linea.txt", 3594, 88,
     "8de94ad421ba9a2a6f2b57d62bea6ea3e5e591c2f5e03ecbc0f2d7cc4dff0765"},
    {"train file", train_file_entries, dati_treno, "Orvale_Tresca_IC 417-.txt", 4991, 97,
     "c5120a34ed89bc98d6ecdf2dce2e677b9c0eaa0670a3898195362b2ca4f58d58"},
};

std::vector<std::string> split_crlf_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(bytes.substr(start, end - start));
  EXPECT_EQ(start, bytes.size()) << "bytes after the last CR LF";
  return lines;
}

TEST(SourceWriters, WriteTheExactBytes) {
  for (const SourceFile& f : kSourceFiles) {
    SCOPED_TRACE(f.what);
    MemoryFolder folder;
    f.writer(folder, kNames);
    auto bytes = folder.read(f.name);
    ASSERT_TRUE(bytes) << "no file named '" << f.name << "'";
    EXPECT_EQ(folder.files().size(), 1u);
    EXPECT_EQ(bytes->size(), f.size);
    EXPECT_EQ(sha256_hex(*bytes), f.sha256);

    std::vector<std::string> lines = split_crlf_lines(*bytes);
    EXPECT_EQ(lines.size(), f.lines);
    EXPECT_EQ(lines.front(), "[generale]");
    EXPECT_EQ(lines.back(), "[fine]");
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      EXPECT_FALSE(line.empty()) << "line " << i + 1;
      // Printable 7-bit ASCII only: no tab, no lone CR or LF, nothing above 126.
      EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) { return c >= 32 && c <= 126; }))
          << "line " << i + 1 << ": " << line;
    }
    EXPECT_EQ(bytes->find(kEndMarker), std::string::npos);

    // The table the loop ran over: the lines, then the marker, nothing else.
    std::vector<std::string> entries = f.entries();
    ASSERT_EQ(entries.size(), f.lines + 1);
    EXPECT_EQ(entries.back(), kEndMarker);
    entries.pop_back();
    EXPECT_EQ(entries, lines);
  }
}

TEST(SourceWriters, LinesThatMustKeepTheirSpacing) {
  MemoryFolder folder;
  dati_linea(folder, kNames);
  dati_treno(folder, kNames);
  std::vector<std::string> line_file = split_crlf_lines(*folder.read(kNames.line_file()));
  std::vector<std::string> train_file = split_crlf_lines(*folder.read(kNames.train_file()));
  ASSERT_EQ(line_file.size(), 88u);
  ASSERT_EQ(train_file.size(), 97u);

  EXPECT_EQ(line_file[38], "pendenza,  31000,   -7");
  EXPECT_EQ(line_file[85], "cartello_indicatore,  1500,   (Bivio     )(Sparvenzia)");
  EXPECT_EQ(line_file[86], "cartello_indicatore,  2000,   (Bivio     )(Sparvenzia)");

  EXPECT_EQ(train_file[4], "orologio,    19              8             30 ");
  EXPECT_EQ(train_file[4].size(), 46u);
  // Two empty sections.
  EXPECT_EQ(train_file[54], "[rallentamenti]");
  EXPECT_EQ(train_file[55], "[segnali]");
  EXPECT_EQ(train_file[95], "[codici]");
  EXPECT_EQ(train_file[96], "[fine]");
  // Fixed columns: every speed limit 24 characters, every signal 51, every
  // station 72 plus its name.
  for (int i = 8; i <= 27; ++i) EXPECT_EQ(train_file[i].size(), 24u) << train_file[i];
  for (int i = 56; i <= 94; ++i) EXPECT_EQ(train_file[i].size(), 51u) << train_file[i];
  for (int i = 29; i <= 53; ++i) {
    const std::string& line = train_file[i];
    ASSERT_GT(line.size(), 72u) << line;
    EXPECT_EQ(line.substr(70, 2), ", ") << line;
  }
  EXPECT_EQ(train_file[29], "stazione,     100,  2, 1000,  0, 1, 0,  1,1,0,  4,1,1,    1,  19, 9, 0, Orvale Ferlaste");
  EXPECT_EQ(train_file[56], "segnale,    2050,   2, 3, 1,  1, 0,    2,  2,1,1, 0");
}

// One record as the reader gives it back.
struct ReadRecord {
  std::string keyword;
  int line;
  std::vector<long long> numbers;
  std::string text;
};

// A reduced keyword table, one word per record kind, and the widths of its
// values: 'i' 32-bit, 'h' 16-bit, 'b' 8-bit unsigned, 't' a text field.
struct Rule {
  const char* word;
  const char* values;
};

// clang-format off
const Rule kLineRules[] = {
    {"lunghezza", "i"},     {"progressiva", "iii"},       {"sfondo", "i"},     {"ripetizione", "ii"},
    {"curva", "ii"},        {"pendenza", "ii"},           {"montagna", "iii"}, {"indicatori_v", "iiiiiiiii"},
    {"cartello", "it"},
};
const Rule kTrainRules[] = {
    {"vetture", "i"},   {"frenata", "i"},  {"sabbia", "h"},
    {"orologio", "hhh"}, {"aderenza", "ii"}, {"velocit", "ii"},
    {"stazione", "ibibbbhhbhhhbiiit"},      {"segnale", "iiiiiiiiiii"},
};
// clang-format on

// Walks a source the way the readers do: skip to "[generale]", then keyword
// fields until the last one, each record's values read in their widths.
template <std::size_t N>
std::vector<ReadRecord> read_back(const std::string& bytes, const Rule (&rules)[N], std::string& last_field) {
  FieldReader r(bytes);
  while (r.read_text().find("[generale]") == std::string::npos) {
  }
  std::vector<ReadRecord> records;
  while (!r.at_end()) {
    std::string keyword = r.read_text();
    if (r.at_end()) {
      last_field = keyword;
      break;
    }
    if (keyword.find('[') != std::string::npos) continue;
    const Rule* match = nullptr;
    for (const Rule& rule : rules) {
      if (!contains_word(keyword, rule.word)) continue;
      EXPECT_EQ(match, nullptr) << keyword << " matches two rules";
      match = &rule;
    }
    if (!match) {
      ADD_FAILURE() << "no rule for '" << keyword << "' on line " << r.field_line();
      continue;
    }
    ReadRecord record{keyword, r.field_line(), {}, {}};
    for (const char* v = match->values; *v; ++v) {
      // clang-format off
      switch (*v) {
        case 'i': record.numbers.push_back(r.read_i32()); break;
        case 'h': record.numbers.push_back(r.read_i16()); break;
        case 'b': record.numbers.push_back(r.read_u8()); break;
        case 't': record.text = r.read_text(); break;
      }
      // clang-format on
    }
    records.push_back(record);
  }
  return records;
}

TEST(SourceWriters, ReadBackWithTheFieldReader) {
  MemoryFolder folder;
  dati_linea(folder, kNames);
  dati_treno(folder, kNames);

  std::string last_field;
  std::vector<ReadRecord> line = read_back(*folder.read(kNames.line_file()), kLineRules, last_field);
  EXPECT_EQ(last_field, "[fine]");
  ASSERT_EQ(line.size(), 8u + 24 + 5 + 10 + 32 + 2);
  EXPECT_EQ(line[0].numbers, std::vector<long long>{155000});
  EXPECT_EQ(line[7].keyword, "ripetizione segnali 9 codici");
  EXPECT_EQ(line[7].numbers, (std::vector<long long>{0, 155000}));
  EXPECT_EQ(line[8].keyword, "curvad4");
  EXPECT_EQ(line[8].numbers, (std::vector<long long>{3800, 200}));
  EXPECT_EQ(line[35].line, 39);
  EXPECT_EQ(line[35].numbers, (std::vector<long long>{31000, -7}));
  EXPECT_EQ(line.back().line, 87);
  EXPECT_EQ(line.back().text, "(Bivio     )(Sparvenzia)");

  last_field.clear();
  std::vector<ReadRecord> train = read_back(*folder.read(kNames.train_file()), kTrainRules, last_field);
  EXPECT_EQ(last_field, "[fine]");
  ASSERT_EQ(train.size(), 4u + 1 + 20 + 25 + 39);
  EXPECT_EQ(train[3].keyword, "orologio");
  EXPECT_EQ(train[3].numbers, (std::vector<long long>{19, 8, 30}));
  const ReadRecord& placeholder = train[26];
  EXPECT_EQ(placeholder.line, 31);
  EXPECT_EQ(placeholder.text, "Nome Stazione");
  EXPECT_EQ(placeholder.numbers[1], 26);
  const ReadRecord& last_station = train[49];
  EXPECT_EQ(last_station.numbers[0], 157000);
  EXPECT_EQ(last_station.text, "Tresca Centrale");
  // The signal that the overview follows from file to grid.
  auto signal = std::find_if(train.begin(), train.end(),
                             [](const ReadRecord& r) { return r.keyword == "segnale" && r.numbers[0] == 56300; });
  ASSERT_NE(signal, train.end());
  EXPECT_EQ(signal->numbers, (std::vector<long long>{56300, 1, 4, 1, 0, 0, 1, 2, 1, 0, 0}));
  EXPECT_EQ(train.back().line, 95);
  EXPECT_EQ(train.back().numbers[0], 155150);
}

TEST(WriteLoop, StopsAtTheFirstEntryEqualToTheMarker) {
  const std::string marker(kEndMarker);
  struct Case {
    std::vector<std::string> entries;
    std::string bytes;
  };
  const Case cases[] = {
      {{marker}, ""},
      {{"a", marker, "b", marker}, "a\r\n"},
      // Containing the marker, or equal to it but for letter case, is not
      // the marker.
      {{"x " + marker, "Riferimento fine del file", marker + " ", marker},
       "x " + marker + "\r\n" + "Riferimento fine del file\r\n" + marker + " \r\n"},
      // Lines are written as they stand: no trimming, no quoting.
      {{"  a, b  ", "\"q\"", marker}, "  a, b  \r\n\"q\"\r\n"},
      {{"", marker}, "\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(render_lines(c.entries), c.bytes);
}

TEST(WriteLoop, AnEmptyTableStillCreatesTheFile) {
  MemoryFolder memory;
  write_text_file(memory, "empty.txt", {std::string(kEndMarker), "never"});
  EXPECT_EQ(memory.read("empty.txt"), std::optional<std::string>(""));

  TempDir dir;
  testing::write_file(dir / "empty.txt", "old content");
  auto disk = make_disk_folder(dir.path().string());
  write_text_file(*disk, "empty.txt", {std::string(kEndMarker)});
  EXPECT_EQ(testing::read_file(dir / "empty.txt"), std::optional<std::string>(""));
}

TEST(WriteLoop, LineTableHoldsAtMostAThousandLines) {
  LineTable table;
  for (int i = 0; i < 1000; ++i) table.add("x");
  EXPECT_THROW(table.add("x"), std::length_error);
  EXPECT_EQ(table.entries().size(), 1001u);
  EXPECT_EQ(table.entries().back(), kEndMarker);
}

TEST(SourceWriters, ReplaceALongerOldFileOnDisk) {
  TempDir dir;
  auto disk = make_disk_folder(dir.path().string());
  for (const SourceFile& f : kSourceFiles) {
    SCOPED_TRACE(f.what);
    testing::write_file(dir / f.name, std::string(3 * f.size, 'Z'));
    f.writer(*disk, kNames);
    auto bytes = testing::read_file(dir / f.name);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), f.size);
    EXPECT_EQ(sha256_hex(*bytes), f.sha256);
  }
}

}  // namespace
}  // namespace scenario
