#include "sources/train_sheet.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "sources/text_file.h"

namespace scenario {
namespace {

// The document's lines, without the end marker; line n is at n - 1.
std::vector<std::string> sheet_lines() {
  std::vector<std::string> entries = train_sheet_entries();
  EXPECT_EQ(entries.back(), kEndMarker);
  entries.pop_back();
  return entries;
}

const std::string kTableRule = " |_____|_____|__________|_____|____________________________|________________|_____|";
const std::string kBlankRow = " |     |     |          |     |                            |                |     |";

std::size_t trailing_blanks(const std::string& line) {
  std::size_t last = line.find_last_not_of(' ');
  return last == std::string::npos ? line.size() : line.size() - last - 1;
}

TEST(TrainSheet, Has184PrintableLinesIn13648Bytes) {
  std::vector<std::string> entries = train_sheet_entries();
  std::string bytes = render_lines(entries);
  EXPECT_EQ(entries.size(), 185u);
  EXPECT_EQ(bytes.size(), 13648u);
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
  for (const std::string& line : sheet_lines())
    for (char c : line) ASSERT_TRUE(c >= 0x20 && c <= 0x7e) << "in line: " << line;
}

// One row for each of the five Orario layouts, with the trailing blanks of
// the two rows that close a sheet.
TEST(TrainSheet, RowTemplateLaysOutEveryTimetableKind) {
  struct Case {
    std::size_t line;
    const char* text;
  };
  const Case cases[] = {
      // departure only
      {17, " | 80  |     |  0+000   |     |ORVALE FERLASTE             |         19:09  |     |"},
      // passing
      {18, " |     |     |  1+900   |     |Bivio Sparvenzia            |     19:11      |     |"},
      {38, " |     |     | 76+000   |     |SARZENA                     |     20:00      |     |"},
      // arrival and departure
      {19, " |     |     |  3+000   |     |ORVALE CASTRINO             | 19:14   19:18  |     |"},
      {42, " |     |     | 92+000   |     |LAVEGNA                     | 20:06   20:08  |     |"},
      // no time, with a speed of three digits and of two
      {20, " |100  |     |  4+250   |     |Cartello Indicatore         |                |     |"},
      {25, " |140  |     | 22+500   |     |Imbocco Galleria dei Maure  |                |     |"},
      {41, " | 65  |     | 90+500   |     |Seg.Prot.Lavegna            |                |     |"},
      // the same row closing sheet 1/2 and opening sheet 2/2
      {47, " |     |     |113+000   |     |Riva Soldra                 |     20:19      |     |    "},
      {68, " |     |     |113+000   |     |Riva Soldra                 |     20:19      |     |"},
      // arrival only
      {80, " |     |     |157+000   |     |TRESCA C.le                 | 20:50          |     |     "},
  };
  std::vector<std::string> lines = sheet_lines();
  for (const Case& c : cases) EXPECT_EQ(lines[c.line - 1], c.text) << "line " << c.line;
}

// Every filled row keeps its bars under the bars of the table rule.
TEST(TrainSheet, FilledRowsLineUpWithTheTableRule) {
  std::vector<std::string> lines = sheet_lines();
  std::vector<std::size_t> rows;
  for (std::size_t n = 17; n <= 47; ++n) rows.push_back(n);
  for (std::size_t n = 68; n <= 80; ++n) rows.push_back(n);
  for (std::size_t n : rows) {
    std::string row = lines[n - 1].substr(0, lines[n - 1].size() - trailing_blanks(lines[n - 1]));
    ASSERT_EQ(row.size(), kTableRule.size()) << "line " << n;
    for (std::size_t i = 0; i < row.size(); ++i)
      EXPECT_EQ(row[i] == '|', kTableRule[i] == '|') << "line " << n << ", column " << i + 1;
  }
}

TEST(TrainSheet, OnlyTheStatedLinesEndInBlanks) {
  const std::map<std::size_t, std::size_t> expected = {{9, 7}, {60, 7}, {92, 7}, {142, 7}, {47, 4}, {80, 5}};
  std::vector<std::string> lines = sheet_lines();
  for (std::size_t n = 1; n <= lines.size(); ++n) {
    const std::string& line = lines[n - 1];
    if (line.empty()) continue;
    auto it = expected.find(n);
    EXPECT_EQ(trailing_blanks(line), it == expected.end() ? 0u : it->second) << "line " << n;
  }
}

TEST(TrainSheet, FourSheetsWithTheirSeparatorsAndBlankForms) {
  std::vector<std::string> lines = sheet_lines();
  for (std::size_t n : {1, 2, 12, 49, 50, 52, 53, 63, 82, 83, 85, 95, 132, 133, 135, 145, 182, 183, 184})
    EXPECT_EQ(lines[n - 1], "") << "line " << n;

  const std::pair<std::size_t, const char*> titles[] = {
      {4, "SCHEDA 1/2"}, {55, "SCHEDA 2/2"}, {87, "SCHEDA 3/4"}, {137, "SCHEDA 4/4"}};
  for (const auto& [n, title] : titles) {
    EXPECT_EQ(lines[n - 1],
              std::string(" |                   |                    ") + title + "               |              |");
  }
  EXPECT_NE(lines[5 - 1].find("da: ORVALE FE."), std::string::npos);
  EXPECT_NE(lines[57 - 1].find("a: TRESCA C.le"), std::string::npos);
  EXPECT_EQ(lines[139 - 1], " |___________________|                    a: xxxxxx                |     xxx%     |");
  EXPECT_EQ(lines[143 - 1], " |        xxx        |              |      xxxT         |");

  EXPECT_EQ(lines[51 - 1], std::string(81, '.'));
  EXPECT_EQ(lines[84 - 1], std::string(72, '.'));
  EXPECT_EQ(lines[134 - 1], std::string(72, '.'));

  for (std::size_t n : {16, 48, 67, 81, 99, 131, 149, 181}) EXPECT_EQ(lines[n - 1], kTableRule) << "line " << n;
  for (std::size_t n = 100; n <= 130; ++n) EXPECT_EQ(lines[n - 1], kBlankRow) << "line " << n;
  for (std::size_t n = 150; n <= 180; ++n) EXPECT_EQ(lines[n - 1], kBlankRow) << "line " << n;
}

}  // namespace
}  // namespace scenario
