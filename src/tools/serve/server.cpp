#include "tools/serve/server.h"

#include <httplib.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "tools/serve/host_check.h"
#include "tools/serve/page.h"

#ifndef _WIN32
#include <sys/socket.h>
#endif

namespace scenario::tool::serve {
namespace {

// The longest an event stream stays silent: a comment then keeps proxies and
// the browser from closing it and finds clients that went.
constexpr std::chrono::seconds kHeartbeat{10};
// Each event stream holds a worker thread; past this many the server would
// stop answering the page's other requests.
constexpr int kMostStreams = 24;
constexpr std::string_view kRetry = "retry: 500\n\n";

void common_headers(httplib::Response& res) {
  res.set_header("Cache-Control", "no-store");
  res.set_header("X-Content-Type-Options", "nosniff");
  res.set_header("Referrer-Policy", "no-referrer");
}

std::string with_seq(const PublishedState& state) {
  if (state.json.size() < 2) return "{\"seq\":" + std::to_string(state.seq) + "}";
  return "{\"seq\":" + std::to_string(state.seq) + "," + state.json.substr(1);
}

}  // namespace

PreviewServer::PreviewServer(StateBoard& board) : board_(board), http_(std::make_unique<httplib::Server>()) {
  httplib::Server& http = *http_;
  // One thread per event stream, and some for the rest.
  http.new_task_queue = [] { return new httplib::ThreadPool(kMostStreams + 8); };
  // Not the library's SO_REUSEPORT, which would let a second server bind the
  // same port beside this one and share its requests.
  http.set_socket_options([](socket_t sock) {
    int yes = 1;
#ifdef _WIN32
    setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
#else
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
  });
  // The event and the drawing go out at once, not after the last segment's
  // acknowledgement.
  http.set_tcp_nodelay(true);
  // An idle connection ends soon, so that stopping does not wait for it.
  http.set_keep_alive_timeout(1);

  http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    common_headers(res);
    if (host_allowed(req.get_header_value("Host"), host_, port_)) return httplib::Server::HandlerResponse::Unhandled;
    res.status = 403;
    res.set_content("This preview answers only to localhost and " + page_url(host_, port_) + "\n", "text/plain");
    return httplib::Server::HandlerResponse::Handled;
  });
  http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty()) res.set_content(std::to_string(res.status) + "\n", "text/plain");
  });

  http.Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; connect-src 'self'; "
                   "base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
    res.set_content(std::string(page_html()), "text/html; charset=utf-8");
  });
  http.Get("/page.js", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(page_script()), "text/javascript; charset=utf-8");
  });
  http.Get("/page.css", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(page_style()), "text/css; charset=utf-8");
  });
  http.Get("/state", [this](const httplib::Request&, httplib::Response& res) {
    const PublishedState state = board_.latest();
    if (state.seq == 0) {
      res.status = 503;
      res.set_content("no compile yet\n", "text/plain");
      return;
    }
    res.set_content(with_seq(state), "application/json; charset=utf-8");
  });
  http.Get("/drawing.svg", [this](const httplib::Request&, httplib::Response& res) {
    const PublishedState state = board_.latest();
    if (!state.svg) {
      res.status = 404;
      res.set_content("no drawing yet\n", "text/plain");
      return;
    }
    res.set_header("X-Drawing-Version", std::to_string(state.drawing));
    // With the charset the library does not compress it: brotli at its
    // default quality takes 250 ms for the embedded scenario's drawing, and
    // on this machine's loopback compression gains nothing.
    res.set_content(*state.svg, "image/svg+xml; charset=utf-8");
  });

  auto streams = std::make_shared<std::atomic<int>>(0);
  http.Get("/events", [this, streams](const httplib::Request&, httplib::Response& res) {
    if (streams->fetch_add(1) >= kMostStreams) {
      streams->fetch_sub(1);
      res.status = 503;
      res.set_content("too many open previews\n", "text/plain");
      return;
    }
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, sent = std::uint64_t{0}, greeted = false](std::size_t, httplib::DataSink& sink) mutable {
          if (!greeted) {
            // A page whose server was started again finds it within half a
            // second, not the browser's default of three.
            greeted = true;
            return sink.write(kRetry.data(), kRetry.size());
          }
          if (board_.closed()) return false;
          std::optional<PublishedState> state =
              board_.wait_newer(sent, std::chrono::duration_cast<std::chrono::milliseconds>(kHeartbeat));
          if (board_.closed()) return false;
          std::string message;
          if (state) {
            sent = state->seq;
            message = "id: " + std::to_string(state->seq) + "\nevent: state\ndata: " + with_seq(*state) + "\n\n";
          } else {
            message = ": still here\n\n";
          }
          return sink.write(message.data(), message.size());
        },
        [streams](bool) { streams->fetch_sub(1); });
  });
}

PreviewServer::~PreviewServer() { stop(); }

bool PreviewServer::bind(const std::string& host, int port, std::string& error) {
  host_ = host;
  errno = 0;
#ifdef _WIN32
  WSASetLastError(0);
#endif
  const int bound = port == 0 ? http_->bind_to_any_port(host) : (http_->bind_to_port(host, port) ? port : -1);
  if (bound < 0) {
#ifdef _WIN32
    const int code = WSAGetLastError() == WSAEADDRINUSE ? EADDRINUSE : 0;
#else
    const int code = errno;
#endif
    error = "cannot listen on " + page_url(host, port) + ": ";
    if (code == EADDRINUSE)
      error += "port " + std::to_string(port) + " is already in use (give another with --port, or --port 0)";
    else if (code != 0)
      error += std::strerror(code);
    else
      error += "the address cannot be bound";
    return false;
  }
  port_ = bound;
  return true;
}

void PreviewServer::start() {
  thread_ = std::thread([this] {
    http_->listen_after_bind();
    listen_returned_ = true;
  });
}

void PreviewServer::stop() {
  board_.close();
  if (thread_.joinable()) {
    // listen_after_bind may not have started listening yet: wait until it
    // does, so that stop() reaches it.
    while (!http_->is_running() && !listen_returned_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    http_->stop();
    thread_.join();
  }
}

}  // namespace scenario::tool::serve
