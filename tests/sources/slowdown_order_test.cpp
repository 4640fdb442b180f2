#include "sources/slowdown_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/folder.h"
#include "sources/text_file.h"

namespace scenario {
namespace {

// The form's lines, without the end marker; line n is at n - 1.
std::vector<std::string> order_lines() {
  std::vector<std::string> entries = slowdown_order_entries();
  EXPECT_EQ(entries.back(), kEndMarker);
  entries.pop_back();
  return entries;
}

TEST(SlowdownOrder, Has46LinesIn3246BytesWithoutTrailingBlanks) {
  std::vector<std::string> lines = order_lines();
  std::string bytes = render_lines(slowdown_order_entries());
  EXPECT_EQ(lines.size(), 46u);
  EXPECT_EQ(bytes.size(), 3246u);
  EXPECT_EQ(bytes.find(kEndMarker), std::string::npos);
  EXPECT_EQ(lines.front(), "");
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.empty() || line.back() != ' ') << "line: '" << line << "'";
    for (char c : line) ASSERT_TRUE(c >= 0x20 && c <= 0x7e) << "in line: " << line;
  }
}

TEST(SlowdownOrder, LegendRunsADCWithNoteCLast) {
  std::vector<std::string> lines = order_lines();
  const std::vector<std::string> legend(lines.begin() + 40, lines.end());
  const std::vector<std::string> expected = {
      "              Prescrizioni specifiche",
      " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
      " B - Interessa anche la stazione di.......",
      " D - Rallentamneto N. ... e N. ...  sono contigui",
      " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
      "     i giorni esclusi i seguenti:.........",
  };
  EXPECT_EQ(legend, expected);
}

// The heads, the blank rows and the closing rule keep every bar in the
// columns of the rule under the heads; only the notice crosses the table.
TEST(SlowdownOrder, TableIsEmptyAndCrossedByTheNotice) {
  const std::string rule = " |___|____________________________|____________|__________|_________|____________|";
  const std::string blank_row = " |   |                            |            |          |         |            |";
  std::vector<std::string> lines = order_lines();
  EXPECT_EQ(lines[12 - 1], rule);
  EXPECT_EQ(lines[39 - 1], rule);
  EXPECT_EQ(lines[13 - 1], blank_row);
  EXPECT_EQ(lines[14 - 1], std::string(28, ' ') + "NESSUN RALLENTAMENTO");
  for (std::size_t n = 15; n <= 38; ++n) EXPECT_EQ(lines[n - 1], blank_row) << "line " << n;
  for (std::size_t n : {9, 10, 11}) {
    ASSERT_EQ(lines[n - 1].size(), rule.size()) << "line " << n;
    for (std::size_t i = 0; i < rule.size(); ++i)
      EXPECT_EQ(lines[n - 1][i] == '|', rule[i] == '|') << "line " << n << ", column " << i + 1;
  }
}

TEST(SlowdownOrder, FormKeepsItsRouteAndTrainWhateverTheRunIsNamed) {
  MemoryFolder folder;
  const RunNames other{"Altra_Linea", "R 2"};
  dati_rallentamenti(folder, other);
  ASSERT_EQ(folder.files().size(), 1u);
  EXPECT_EQ(folder.read("Altra_Linea_R 2_rallentamenti.txt"), render_lines(slowdown_order_entries()));
  std::vector<std::string> lines = order_lines();
  EXPECT_EQ(lines[5 - 1], "  Linea  Orvale_Tresca");
  EXPECT_EQ(lines[7 - 1], "  Si ordina al macchinista del treno 417 di effettuare i seguenti rallentamenti");
}

}  // namespace
}  // namespace scenario
