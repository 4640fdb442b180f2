// The whole command in-process: the sources compiled before the address is
// printed, the page served until the stop, the watcher wired to the rebuild.
#include "tools/serve/serve.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <regex>
#include <sstream>

#include "test_support.h"
#include "tools/cli.h"
#include "tools/report.h"

namespace scenario::tool::serve {
namespace {

using namespace std::chrono_literals;

// Stops once `check` has run against the printed address.
class CheckThenStop : public StopWaiter {
 public:
  CheckThenStop(std::ostringstream& out, std::function<void(int port)> check) : out_(out), check_(std::move(check)) {}
  void wait() override {
    std::smatch m;
    const std::string printed = out_.str();
    ASSERT_TRUE(std::regex_search(printed, m, std::regex("http://127\\.0\\.0\\.1:([0-9]+)/"))) << printed;
    check_(std::stoi(m[1]));
  }

 private:
  std::ostringstream& out_;
  std::function<void(int)> check_;
};

TEST(Serve, ServesTheFoldersScenarioAndFollowsASaveUntilStopped) {
  scenario::testing::TempDir dir;
  const std::string folder = dir.path().string();
  std::ostringstream out, err;
  const char* argv[] = {"scenario-tool", "sources", folder.c_str()};
  ASSERT_EQ(tool_main(3, argv, out, err), kExitClean);
  out.str("");

  ServeOptions options;
  options.preview.dir = dir.path();
  options.port = 0;
  const std::filesystem::path train = dir / "Orvale_Tresca_IC 417-.txt";
  CheckThenStop stop(out, [&](int port) {
    httplib::Client client("127.0.0.1", port);
    auto first = client.Get("/drawing.svg");
    ASSERT_TRUE(first);
    EXPECT_NE(first->body.find("Signal, km 16+300"), std::string::npos) << "compiled before the address was printed";
    std::string text = *scenario::testing::read_file(train);
    text.replace(text.find("segnale,   16300"), 16, "segnale,   16900");
    scenario::testing::write_file(train, text);
    bool moved = false;
    for (int i = 0; i < 500 && !moved; ++i) {
      std::this_thread::sleep_for(10ms);
      auto now = client.Get("/drawing.svg");
      moved = now && now->body.find("Signal, km 16+900") != std::string::npos;
    }
    EXPECT_TRUE(moved) << "the save was not drawn";
  });
  EXPECT_EQ(run_serve(options, out, err, stop), kExitClean);
  EXPECT_EQ(err.str(), "");
  const std::string printed = out.str();
  EXPECT_NE(printed.find(" (Ctrl+C to stop)\n"), std::string::npos);
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << "the address on one line";
}

}  // namespace
}  // namespace scenario::tool::serve
