// The author's tool end to end, in-process: the same argument parsing, files
// and exit statuses as the executable, on real folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"
#include "run/version.h"
#include "tools/cli.h"
#include "tools/tool_runner.h"

namespace scenario::tool {
namespace {

using scenario::testing::read_file;
using scenario::testing::TempDir;
using scenario::testing::write_file;

const std::string kLine = "Orvale_Tresca_linea.txt";
const std::string kTrain = "Orvale_Tresca_IC 417-.txt";
const std::vector<std::string> kBinaries = {"Orvale_Tresca_linea.dat", "Orvale_Tresca_IC 417.sim",
                                            "Orvale_Tresca_IC 417.dat"};

using testing::Result;
using testing::tool;

std::set<std::string> files_in(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// Replaces the one occurrence of `from` in the file; returns its 1-based line.
int edit(const std::filesystem::path& file, const std::string& from, const std::string& to) {
  std::string text = read_file(file).value();
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  EXPECT_EQ(text.find(from, at + 1), std::string::npos) << from;
  text.replace(at, from.size(), to);
  write_file(file, text);
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

class ScenarioFolder : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(tool({"sources", dir()}).status, 0); }
  std::string dir() const { return temp_.path().string(); }
  std::filesystem::path path(const std::string& name) const { return temp_ / name; }
  TempDir temp_;
};

TEST_F(ScenarioFolder, CompileWritesTheBytesOfTheOneShotRunAndKeepsTheSources) {
  const Result r = tool({"compile", dir()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(files_in(temp_.path()), (std::set<std::string>{kLine, kTrain, kBinaries[0], kBinaries[1], kBinaries[2]}));
  auto expected = scenario::testing::expected_hashes();
  ASSERT_TRUE(expected) << "no golden hashes in " << SCENARIO_GOLDEN_DIR;
  for (const std::string& name : kBinaries)
    EXPECT_EQ(scenario::testing::sha256_hex(read_file(path(name)).value()), expected->at(name)) << name;
}

TEST_F(ScenarioFolder, DeleteSourcesIsTheOneShotBehaviour) {
  EXPECT_EQ(tool({"compile", dir(), "--delete-sources"}).status, 0);
  EXPECT_EQ(files_in(temp_.path()), (std::set<std::string>{kBinaries[0], kBinaries[1], kBinaries[2]}));
}

TEST_F(ScenarioFolder, NoPlanWritesNoTrackPlanFile) {
  const Result r = tool({"compile", dir(), "--no-plan", "--json"});
  EXPECT_EQ(r.status, 0);
  const auto report = nlohmann::json::parse(r.out);
  EXPECT_EQ(report["files"].size(), 2u);
  EXPECT_TRUE(report["files"].contains(kBinaries[1]));
  EXPECT_FALSE(std::filesystem::exists(path(kBinaries[0])));
}

TEST_F(ScenarioFolder, CheckWritesNothing) {
  const Result r = tool({"check", dir(), "--json"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(files_in(temp_.path()), (std::set<std::string>{kLine, kTrain}));
  const auto report = nlohmann::json::parse(r.out);
  EXPECT_EQ(report["error_code"], 0);
  EXPECT_TRUE(report["fatal"].is_null());
  EXPECT_TRUE(report["runtime_failure"].is_null());
  EXPECT_TRUE(report["diagnostics"].empty());
  EXPECT_TRUE(report["files"].empty());
}

// Broken records give their code with the file and line of the record.
TEST_F(ScenarioFolder, BrokenRecordsAreReportedWithFileAndLine) {
  struct Case {
    const char* what;
    const std::string* file;
    const char* from;
    const char* to;
    int code;
    std::optional<int> position;
  };
  const Case cases[] = {
      // 47500 m is the cell of a speed board.
      {"signal on an occupied cell", &kTrain, "segnale,   56300", "segnale,   47500", 16, 47500},
      {"station off the 50 m raster", &kTrain, "stazione,   22000", "stazione,   22010", 8, 22010},
      {"record beyond the line's end", &kTrain, "velocita,   95000", "velocita,  162000", 15, 162000},
      {"curve keyword without a class", &kLine, "curvas4,  6700", "curvas,  6700", 103, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(tool({"sources", dir(), "--force"}).status, 0);
    const int line = edit(path(*c.file), c.from, c.to);
    const Result r = tool({"check", dir(), "--json"});
    EXPECT_EQ(r.status, 1);
    const auto report = nlohmann::json::parse(r.out);
    ASSERT_EQ(report["diagnostics"].size(), 1u) << r.out;
    const auto& d = report["diagnostics"][0];
    EXPECT_EQ(d["code"], c.code);
    EXPECT_EQ(d["file"], path(*c.file).string());
    EXPECT_EQ(d["line"], line);
    if (c.position)
      EXPECT_EQ(d["position"], *c.position);
    else
      EXPECT_TRUE(d["position"].is_null());
    EXPECT_EQ(report["error_code"], c.code);
  }
}

TEST_F(ScenarioFolder, DiagnosticLinesTakeTheFormEditorsParse) {
  const int line = edit(path(kTrain), "segnale,   56300", "segnale,   47500");
  const Result r = tool({"compile", dir()});
  EXPECT_EQ(r.status, 1);
  // LINE:COLUMN of the record's keyword.
  EXPECT_EQ(r.err, path(kTrain).string() + ":" + std::to_string(line) +
                       ":1: error 16: signal refused: its cell is taken or outside the grid (at 47500 m, km 47+500)\n");
  // The binaries are written all the same, as the compile does.
  for (const std::string& name : kBinaries) EXPECT_TRUE(std::filesystem::exists(path(name))) << name;
}

TEST_F(ScenarioFolder, WarningsArePrintedWithFileLineAndColumnAndChangeTheStatusOnlyWithWerror) {
  const int line = edit(path(kTrain), "segnale,   16300", "segnalle,   16300");
  const Result r = tool({"check", dir()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, path(kTrain).string() + ":" + std::to_string(line) +
                       ":1: warning: \"segnalle\" matches no keyword of the train file and is skipped, with the 11 "
                       "numbers after it; did you mean \"segnale\"? [unknown-keyword]\n");
  EXPECT_EQ(tool({"check", dir(), "--werror"}).status, 1);
  const Result json = tool({"compile", dir(), "--json", "--werror"});
  EXPECT_EQ(json.status, 1);
  const auto report = nlohmann::json::parse(json.out);
  ASSERT_EQ(report["warnings"].size(), 1u);
  EXPECT_EQ(report["warnings"][0]["kind"], "unknown-keyword");
  EXPECT_EQ(report["warnings"][0]["line"], line);
  EXPECT_EQ(report["warnings"][0]["column"], 1);
  EXPECT_EQ(report["warnings"][0]["end_column"], 53);  // just past the last number
  // The binaries are those of the sources without the signal, warning or not.
  EXPECT_EQ(report["files"].size(), 3u);
}

TEST_F(ScenarioFolder, EveryRecordedCodeIsReportedInOrder) {
  // A gradient past the grid stops the line file with code 15; the code is
  // still set when the train file reaches its first signal, which ends the
  // parse there with the same code and the signal's position.
  const int line = edit(path(kLine), "pendenza,  50500,   0", "pendenza,  170000,   0");
  const Result r = tool({"check", dir()});
  EXPECT_EQ(r.status, 1);
  std::istringstream lines(r.err);
  std::string first, second, rest;
  std::getline(lines, first);
  std::getline(lines, second);
  std::getline(lines, rest);
  EXPECT_EQ(first, path(kLine).string() + ":" + std::to_string(line) +
                       ":1: error 15: position beyond the end of the line; the rest of this file is not read (at "
                       "170000 m, km 170+000)");
  EXPECT_NE(second.find(path(kTrain).string() + ":"), std::string::npos) << second;
  EXPECT_NE(second.find(": error 15: parse ended here: code 15 of an earlier record is still set"), std::string::npos)
      << second;
  EXPECT_NE(second.find("(at 2050 m, km 2+050)"), std::string::npos) << second;
  EXPECT_EQ(rest, "");
}

TEST_F(ScenarioFolder, GuardCheckEndsWithExitTwoAndNoBinary) {
  // A signal in the first 25 m sets cell 1's first value: " Errore n. 1250".
  edit(path(kTrain), "segnale,    2050", "segnale,       0");
  const Result text = tool({"compile", dir()});
  EXPECT_EQ(text.status, 2);
  EXPECT_NE(text.err.find("fatal error 1250"), std::string::npos) << text.err;
  EXPECT_NE(text.err.find("\" Errore n. 1250\""), std::string::npos) << text.err;
  EXPECT_EQ(files_in(temp_.path()), (std::set<std::string>{kLine, kTrain}));
  const auto report = nlohmann::json::parse(tool({"compile", dir(), "--json"}).out);
  EXPECT_EQ(report["fatal"], "1250");
  EXPECT_TRUE(report["files"].empty());
}

TEST_F(ScenarioFolder, FileThatCannotBeWrittenIsARunTimeFailure) {
  std::filesystem::create_directory(path(kBinaries[2]));  // a folder squats on the grid file's name
  const Result r = tool({"compile", dir(), "--json"});
  EXPECT_EQ(r.status, 2);
  const auto report = nlohmann::json::parse(r.out);
  EXPECT_TRUE(report["runtime_failure"].is_string());
}

TEST_F(ScenarioFolder, MissingSourceIsAnUnreadableInput) {
  std::filesystem::remove(path(kTrain));
  const Result r = tool({"check", dir(), "--route", "Orvale_Tresca", "--train", "IC 417"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no file 'Orvale_Tresca_IC 417-.txt'"), std::string::npos) << r.err;
  const Result json = tool({"check", dir(), "--json"});
  EXPECT_EQ(json.status, 2);
  EXPECT_NE(nlohmann::json::parse(json.out)["runtime_failure"].get<std::string>().find("no file"), std::string::npos);
}

TEST_F(ScenarioFolder, SourcesRefusesToOverwriteWithoutForce) {
  write_file(path(kLine), "edited");
  const Result r = tool({"sources", dir()});
  EXPECT_EQ(r.status, 64);
  EXPECT_EQ(read_file(path(kLine)).value(), "edited");
  EXPECT_EQ(tool({"sources", dir(), "--force"}).status, 0);
  EXPECT_NE(read_file(path(kLine)).value(), "edited");
}

TEST(ScenarioTool, NamesAreTakenFromTheOnlySourcesInTheFolder) {
  TempDir temp;
  const std::string dir = temp.path().string();
  ASSERT_EQ(tool({"sources", dir, "--route", "Valle_Nuova", "--train", "R 2281", "--documents"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(temp / "Valle_Nuova_R 2281_scheda_treno.txt"));
  const Result r = tool({"compile", dir});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(temp / "Valle_Nuova_R 2281.sim"));
  EXPECT_TRUE(std::filesystem::exists(temp / "Valle_Nuova_linea.dat"));
}

TEST(ScenarioTool, BadArgumentsAreUsageErrorsAndWriteNothing) {
  TempDir temp;
  const std::string dir = temp.path().string();
  struct Case {
    const char* what;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"no command", {}},
      {"unknown command", {"frobnicate", dir}},
      {"missing folder", {"compile", dir + "/missing"}},
      {"missing file", {"dump", dir + "/missing.sim"}},
      {"unknown option", {"check", dir, "--fast"}},
      {"route with a separator", {"sources", dir, "--route", "a/b"}},
      {"train with a backslash", {"sources", dir, "--train", "IC\\417"}},
      {"name without a Windows-1252 code", {"sources", dir, "--route", "Linea \u2713"}},
      {"empty name", {"sources", dir, "--train", ""}},
      {"render without an output", {"render", dir}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Result r = tool(c.args);
    EXPECT_EQ(r.status, 64);
    EXPECT_NE(r.err, "");
    EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
  }
  EXPECT_EQ(tool({"--help"}).status, 0);
}

TEST(ScenarioTool, VersionNamesTheToolAndTheCore) {
  const Result r = tool({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(std::regex_match(r.out, std::regex("scenario-tool [0-9]+\\.[0-9]+\\.[0-9]+\ncore [0-9.]+\n"))) << r.out;
  EXPECT_TRUE(r.out.ends_with(std::string("\ncore ") + core_version() + "\n")) << r.out;
}

TEST(ScenarioTool, DumpOfACorruptFileIsAnUnreadableInput) {
  TempDir temp;
  write_file(temp / "x.sim", "\x01\x02\x03");
  const Result r = tool({"dump", (temp / "x.sim").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("ends inside a record"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace scenario::tool
