// One rebuild of the preview on the sources of a real folder: the drawing,
// the diagnostics with their marks, the last good drawing kept while the
// sources are broken, and nothing written into the folder.
#include "tools/serve/preview.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "test_support.h"
#include "tools/cli.h"
#include "tools/report.h"

namespace scenario::tool::serve {
namespace {

using nlohmann::json;
using scenario::testing::read_file;
using scenario::testing::TempDir;
using scenario::testing::write_file;

const std::string kLine = "Orvale_Tresca_linea.txt";
const std::string kTrain = "Orvale_Tresca_IC 417-.txt";

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string folder = dir.path().string();
    const char* argv[] = {"scenario-tool", "sources", folder.c_str()};
    std::ostringstream out, err;
    ASSERT_EQ(tool_main(3, argv, out, err), kExitClean) << err.str();
    train = *read_file(dir / kTrain);
  }
  void edit(const std::string& from, const std::string& to) {
    std::string text = *read_file(dir / kTrain);
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    write_file(dir / kTrain, text);
  }
  json rebuilt() {
    preview.rebuild();
    return json::parse(board.latest().json);
  }
  std::string svg() const { return board.latest().svg ? *board.latest().svg : std::string(); }

  TempDir dir;
  std::string train;
  StateBoard board;
  Preview preview{PreviewSettings{dir.path(), std::nullopt, std::nullopt, false}, board};
};

TEST_F(PreviewTest, CleanSourcesGiveACurrentDrawingAndTheFolderIsNotTouched) {
  const json s = rebuilt();
  EXPECT_EQ(s["route"], "Orvale_Tresca");
  EXPECT_EQ(s["train"], "IC 417");
  EXPECT_TRUE(s["report"]["diagnostics"].empty());
  EXPECT_TRUE(s["input_error"].is_null());
  EXPECT_EQ(s["drawing"]["version"], 1);
  EXPECT_EQ(s["drawing"]["current"], true);
  EXPECT_GT(s["compile_ms"].get<double>(), 0);
  EXPECT_NE(svg().find("<title>Signal, km 16+300</title>"), std::string::npos);
  EXPECT_EQ(svg().find("diagnostic-mark"), std::string::npos);

  // The same sources again: the same drawing, no new version to fetch.
  EXPECT_EQ(rebuilt()["drawing"]["version"], 1);
  std::set<std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) files.insert(e.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{kLine, kTrain}));
  EXPECT_EQ(*read_file(dir / kTrain), train);
}

TEST_F(PreviewTest, AMovedSignalIsDrawnAtItsNewPlace) {
  rebuilt();
  edit("segnale,   16300", "segnale,   16900");
  const json s = rebuilt();
  EXPECT_EQ(s["drawing"]["version"], 2);
  EXPECT_EQ(svg().find("<title>Signal, km 16+300</title>"), std::string::npos);
  EXPECT_NE(svg().find("<title>Signal, km 16+900</title>"), std::string::npos);
}

TEST_F(PreviewTest, ATrackPlanKeptFromTheLastRebuildOnlyWhileItsBytesAreTheSame) {
  rebuilt();
  const std::string straight = svg();
  const std::string line = *read_file(dir / kLine);
  std::string bent = line;
  bent.replace(bent.find("curvad4,  3800"), 14, "curvas4,  3800");  // the first curve to the other side
  write_file(dir / kLine, bent);
  rebuilt();
  EXPECT_NE(svg(), straight);
  StateBoard fresh_board;
  Preview fresh(PreviewSettings{dir.path(), std::nullopt, std::nullopt, false}, fresh_board);
  fresh.rebuild();
  ASSERT_TRUE(fresh_board.latest().svg);
  EXPECT_EQ(svg(), *fresh_board.latest().svg) << "the new plan, not the one decoded before";

  edit("segnale,   16300", "segnale,   16900");  // the train file alone: the plan is reused
  rebuilt();
  fresh.rebuild();
  EXPECT_EQ(svg(), *fresh_board.latest().svg);
}

TEST_F(PreviewTest, ADiagnosticWithAPositionHasAMarkOnTheDrawing) {
  edit("[codici]", "segnale,   47500,   1, 4, 1,  0, 0,    1,  2,1,0, 0\r\n[codici]");
  const json s = rebuilt();
  ASSERT_EQ(s["report"]["diagnostics"].size(), 1u);
  const json& d = s["report"]["diagnostics"][0];
  EXPECT_EQ(d["code"], 16);
  EXPECT_EQ(d["file"], (dir / kTrain).string());
  EXPECT_EQ(d["line"], 96);
  EXPECT_EQ(d["mark"], "diagnostic-0");
  EXPECT_EQ(d["at"], "47500 m, km 47+500");
  EXPECT_EQ(s["drawing"]["current"], true);  // a recorded code still makes the binaries
  EXPECT_NE(svg().find("<g id=\"diagnostic-0\" class=\"diagnostic-mark\"><title>error 16: signal refused"),
            std::string::npos);
}

TEST_F(PreviewTest, BrokenSourcesKeepTheLastGoodDrawingWithTheirMarksOverIt) {
  rebuilt();
  const std::string good = svg();
  // A signal in the first 25 m: " Errore n. 1250", no binary file.
  edit("segnale,    2050", "segnale,       0");
  json s = rebuilt();
  EXPECT_EQ(s["report"]["fatal"], "1250");
  EXPECT_FALSE(s["report"]["fatal_meaning"].get<std::string>().empty());
  EXPECT_EQ(s["drawing"]["current"], false);
  EXPECT_LT(s["drawing"]["read_at"].get<double>(), s["read_at"].get<double>());
  EXPECT_NE(svg().find("<title>Signal, km 2+050</title>"), std::string::npos) << "the last good drawing";

  // A source gone (an editor between deleting and writing it): said so.
  std::filesystem::remove(dir / kTrain);
  s = rebuilt();
  EXPECT_NE(s["input_error"].get<std::string>().find("no file 'Orvale_Tresca_IC 417-.txt'"), std::string::npos);
  EXPECT_EQ(s["drawing"]["current"], false);

  // Caught half-written: diagnostics, no crash.
  write_file(dir / kTrain, train.substr(0, train.size() / 2));
  s = rebuilt();
  EXPECT_TRUE(s["input_error"].is_null());

  write_file(dir / kTrain, train);
  s = rebuilt();
  EXPECT_TRUE(s["report"]["diagnostics"].empty());
  EXPECT_EQ(s["drawing"]["current"], true);
  EXPECT_EQ(svg(), good);
}

TEST_F(PreviewTest, WhichFilesConcernIt) {
  rebuilt();
  EXPECT_TRUE(preview.concerns(kTrain));
  EXPECT_TRUE(preview.concerns(kLine));
  EXPECT_TRUE(preview.concerns(""));
  EXPECT_TRUE(preview.concerns("Other_linea.txt"));  // may change which line is compiled
  EXPECT_FALSE(preview.concerns(".Orvale_Tresca_linea.txt.swp"));
  EXPECT_FALSE(preview.concerns("4913"));

  StateBoard other;
  Preview named(PreviewSettings{dir.path(), "Orvale_Tresca", "IC 417", false}, other);
  named.rebuild();
  EXPECT_TRUE(named.concerns(kTrain));
  EXPECT_FALSE(named.concerns("Other_linea.txt"));
}

}  // namespace
}  // namespace scenario::tool::serve
