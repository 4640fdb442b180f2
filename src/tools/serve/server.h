// The preview's HTTP server, over cpp-httplib. Routes, all GET:
//   /             the page (page.h), /page.js and /page.css its script and style
//   /events       Server-Sent Events: a "state" event with the state's JSON at
//                 every state published on the board, a comment every 10 s
//   /state        the latest state's JSON
//   /drawing.svg  the latest drawing (404 until there is one)
// Anything else is 404: no URL maps to a file. A request whose Host header
// names neither the bound address nor localhost (with the port) gets 403: a
// page of another site that a DNS name rebound to 127.0.0.1 cannot read the
// scenario.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "tools/serve/host_check.h"
#include "tools/serve/state_board.h"

namespace httplib {
class Server;
}

namespace scenario::tool::serve {

class PreviewServer {
 public:
  explicit PreviewServer(StateBoard& board);
  ~PreviewServer();  // stops
  PreviewServer(const PreviewServer&) = delete;
  PreviewServer& operator=(const PreviewServer&) = delete;

  // Binds `host` at `port` (0: a free port). On failure returns false and
  // sets `error` to one line without the program's name.
  bool bind(const std::string& host, int port, std::string& error);
  int port() const { return port_; }
  // Serves on a thread of its own until stop().
  void start();
  // Ends the event streams and the server; waits for its threads.
  void stop();

 private:
  StateBoard& board_;
  std::unique_ptr<httplib::Server> http_;
  std::string host_;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> listen_returned_{false};
};

}  // namespace scenario::tool::serve
