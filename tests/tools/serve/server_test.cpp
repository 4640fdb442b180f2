// The preview's server through a real HTTP client on 127.0.0.1: its routes,
// the event stream, and what it refuses.
#include "tools/serve/server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <sstream>

#include "test_support.h"
#include "tools/cli.h"
#include "tools/report.h"

namespace scenario::tool::serve {
namespace {

PublishedState state(std::string json, std::uint64_t drawing = 0, std::string svg = {}) {
  PublishedState s;
  s.json = std::move(json);
  s.drawing = drawing;
  if (drawing) s.svg = std::make_shared<const std::string>(std::move(svg));
  return s;
}

class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(server.bind("127.0.0.1", 0, error)) << error;
    server.start();
  }
  StateBoard board;
  PreviewServer server{board};
};

TEST_F(ServerTest, RoutesOfThePage) {
  httplib::Client c("127.0.0.1", server.port());
  board.publish(state("{\"report\":null}", 3, "<svg/>"));

  auto page = c.Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page->body.find("<script src=\"/page.js\""), std::string::npos);
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("default-src 'none'"), std::string::npos);

  for (const char* path : {"/page.js", "/page.css"}) {
    auto r = c.Get(path);
    ASSERT_TRUE(r) << path;
    EXPECT_EQ(r->status, 200) << path;
    EXPECT_FALSE(r->body.empty()) << path;
  }
  auto s = c.Get("/state");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->body, "{\"seq\":1,\"report\":null}");
  auto svg = c.Get("/drawing.svg?v=3", {{"Accept-Encoding", "gzip, deflate, br"}});
  ASSERT_TRUE(svg);
  EXPECT_EQ(svg->body, "<svg/>");
  EXPECT_EQ(svg->get_header_value("Content-Type"), "image/svg+xml; charset=utf-8");
  EXPECT_EQ(svg->get_header_value("Content-Encoding"), "") << "not compressed";
  EXPECT_EQ(svg->get_header_value("X-Drawing-Version"), "3");
  EXPECT_EQ(svg->get_header_value("Cache-Control"), "no-store");
}

TEST_F(ServerTest, NoStateAndNoDrawingBeforeTheFirstCompile) {
  httplib::Client c("127.0.0.1", server.port());
  auto s = c.Get("/state");
  ASSERT_TRUE(s);
  EXPECT_EQ(s->status, 503);
  auto svg = c.Get("/drawing.svg");
  ASSERT_TRUE(svg);
  EXPECT_EQ(svg->status, 404);
}

TEST_F(ServerTest, UnknownPathsAndPathsOfFilesAre404) {
  httplib::Client c("127.0.0.1", server.port());
  for (const char* path : {"/index.html", "/etc/passwd", "/../Orvale_Tresca_linea.txt", "/page.js/..", "/%2e%2e/x",
                           "/drawing.svg/x", "/eventsx"}) {
    auto r = c.Get(path);
    ASSERT_TRUE(r) << path;
    EXPECT_EQ(r->status, 404) << path;
  }
  auto post = c.Post("/", "x", "text/plain");
  ASSERT_TRUE(post);
  EXPECT_EQ(post->status, 404);
}

TEST_F(ServerTest, ForeignHostHeadersAreRefused) {
  httplib::Client c("127.0.0.1", server.port());
  const std::string port = std::to_string(server.port());
  struct Case {
    std::string host;
    int status;
  };
  const Case cases[] = {
      {"127.0.0.1:" + port, 200},
      {"localhost:" + port, 200},
      {"LocalHost:" + port, 200},
      {"rebound.example:" + port, 403},
      {"127.0.0.1.nip.io:" + port, 403},
      {"127.0.0.1:" + port + "0", 403},
      {"localhost", 403},
      {"[::1]:" + port, 403},
  };
  for (const Case& c_ : cases) {
    httplib::Headers headers;
    headers.emplace("Host", c_.host);
    auto r = c.Get("/", headers);
    ASSERT_TRUE(r) << c_.host;
    EXPECT_EQ(r->status, c_.status) << c_.host;
    if (c_.status == 403) {
      EXPECT_EQ(r->body.find("<html"), std::string::npos);
    }
  }
}

TEST_F(ServerTest, TheEventStreamSendsEveryNewState) {
  // The second state is published once the first has arrived: a stream that
  // falls behind skips to the latest state by design, and a slow start (a
  // busy machine, Wine) must not look like a lost state.
  board.publish(state("{\"n\":1}"));
  std::string received;
  bool second_published = false;
  httplib::Client c("127.0.0.1", server.port());
  c.set_read_timeout(5);
  auto r = c.Get("/events", [&](const char* data, std::size_t size) {
    received.append(data, size);
    int events = 0;
    for (std::size_t at = 0; (at = received.find("\n\n", at)) != std::string::npos; at += 2) ++events;
    if (events == 2 && !second_published) {
      second_published = true;
      board.publish(state("{\"n\":2}"));
    }
    return events < 3;
  });
  EXPECT_EQ(received,
            "retry: 500\n\n"
            "id: 1\nevent: state\ndata: {\"seq\":1,\"n\":1}\n\n"
            "id: 2\nevent: state\ndata: {\"seq\":2,\"n\":2}\n\n");
}

TEST(Server, StopEndsAnOpenEventStream) {
  StateBoard board;
  PreviewServer server(board);
  std::string error;
  ASSERT_TRUE(server.bind("127.0.0.1", 0, error)) << error;
  server.start();
  std::thread reader([&] {
    httplib::Client c("127.0.0.1", server.port());
    c.Get("/events", [](const char*, std::size_t) { return true; });
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto before = std::chrono::steady_clock::now();
  server.stop();
  reader.join();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
}

TEST(Server, APortInUseIsOneClearLine) {
  StateBoard board;
  PreviewServer first(board), second(board);
  std::string error;
  ASSERT_TRUE(first.bind("127.0.0.1", 0, error)) << error;
  EXPECT_FALSE(second.bind("127.0.0.1", first.port(), error));
  EXPECT_EQ(error, "cannot listen on http://127.0.0.1:" + std::to_string(first.port()) + "/: port " +
                       std::to_string(first.port()) + " is already in use (give another with --port, or --port 0)");
}

TEST(Server, ServeOnAPortInUseEndsWithStatus2) {
  StateBoard board;
  PreviewServer taken(board);
  std::string error;
  ASSERT_TRUE(taken.bind("127.0.0.1", 0, error)) << error;
  scenario::testing::TempDir dir;
  std::ostringstream out, err;
  const std::string port = std::to_string(taken.port());
  const std::string folder = dir.path().string();
  {
    const char* argv[] = {"scenario-tool", "sources", folder.c_str()};
    ASSERT_EQ(tool_main(3, argv, out, err), kExitClean);
  }
  const char* argv[] = {"scenario-tool", "serve", folder.c_str(), "--port", port.c_str()};
  out.str("");
  EXPECT_EQ(tool_main(5, argv, out, err), kExitFailure);
  EXPECT_EQ(err.str(), "scenario-tool: cannot listen on http://127.0.0.1:" + port + "/: port " + port +
                           " is already in use (give another with --port, or --port 0)\n");
  EXPECT_EQ(out.str(), "");
}

TEST(Server, HostRules) {
  struct Case {
    const char* header;
    const char* bound;
    int port;
    bool allowed;
  };
  const Case cases[] = {
      {"127.0.0.1:8417", "127.0.0.1", 8417, true},
      {"localhost:8417", "127.0.0.1", 8417, true},
      {"localhost.:8417", "127.0.0.1", 8417, true},
      {"localhost:8418", "127.0.0.1", 8417, false},
      {"localhost", "127.0.0.1", 80, true},
      {"localhost:", "127.0.0.1", 80, false},
      {"attacker.example:8417", "127.0.0.1", 8417, false},
      {"[::1]:8417", "::1", 8417, true},
      {"[::1]8417", "::1", 8417, false},
      {"[::1:8417", "::1", 8417, false},
      {"192.168.1.20:8417", "0.0.0.0", 8417, true},
      {"[fe80::1]:8417", "::", 8417, true},
      {"myhost.lan:8417", "0.0.0.0", 8417, false},
      {"myhost.lan:8417", "myhost.lan", 8417, true},
      {"192.168.1.20:8417", "127.0.0.1", 8417, false},
      {"1.2.3:8417", "0.0.0.0", 8417, false},
      {"", "127.0.0.1", 8417, false},
      {"127.0.0.1:8417", "localhost", 8417, true},
      {"[::1]:8417", "localhost", 8417, true},
      {"127.0.0.1:8417", "::1", 8417, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(host_allowed(c.header, c.bound, c.port), c.allowed) << c.header << " " << c.bound;
  EXPECT_TRUE(is_loopback("127.0.0.1"));
  EXPECT_TRUE(is_loopback("127.1.2.3"));
  EXPECT_TRUE(is_loopback("::1"));
  EXPECT_TRUE(is_loopback("LOCALHOST"));
  EXPECT_FALSE(is_loopback("0.0.0.0"));
  EXPECT_FALSE(is_loopback("127.example"));
  EXPECT_EQ(page_url("::1", 80), "http://[::1]:80/");
}

}  // namespace
}  // namespace scenario::tool::serve
