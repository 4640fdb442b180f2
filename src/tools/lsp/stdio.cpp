#include "tools/lsp/stdio.h"

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "tools/lsp/framing.h"
#include "tools/lsp/server.h"

namespace scenario::tool::lsp {
namespace {

// What a read of the input gives: some bytes, or none at its end.
long read_some(std::FILE* in, char* buffer, std::size_t size) {
#ifdef _WIN32
  return _read(_fileno(in), buffer, static_cast<unsigned>(size));
#else
  return static_cast<long>(::read(fileno(in), buffer, size));
#endif
}

void send(std::FILE* out, const std::vector<std::string>& bodies) {
  for (const std::string& body : bodies) {
    const std::string framed = frame(body);
    std::fwrite(framed.data(), 1, framed.size(), out);
  }
  if (!bodies.empty()) std::fflush(out);
}

void binary_mode([[maybe_unused]] std::FILE* in, [[maybe_unused]] std::FILE* out) {
#ifdef _WIN32
  _setmode(_fileno(in), _O_BINARY);
  _setmode(_fileno(out), _O_BINARY);
#endif
}

}  // namespace

int serve_synchronously(std::FILE* in, std::FILE* out) {
  binary_mode(in, out);
  FrameReader frames;
  std::deque<std::string> queue;
  char buffer[65536];
  for (long n; (n = read_some(in, buffer, sizeof buffer)) > 0;) {
    frames.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    while (std::optional<std::string> body = frames.next()) queue.push_back(std::move(*body));
  }
  Server server;
  std::vector<std::string> replies;
  while (!queue.empty() && !server.exited()) {
    server.step(queue, replies);
    send(out, replies);
    replies.clear();
  }
  return server.exit_code();
}

int serve_stdio(bool synchronous) {
  if (synchronous) return serve_synchronously(stdin, stdout);
  binary_mode(stdin, stdout);
  // The reader thread queues whole messages as they arrive, so that the
  // server sees what came in while it worked: cancellations and runs of
  // changes.
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<std::string> incoming;
  bool ended = false;
  std::thread reader([&] {
    FrameReader frames;
    char buffer[65536];
    for (long n; (n = read_some(stdin, buffer, sizeof buffer)) > 0;) {
      frames.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
      std::lock_guard<std::mutex> lock(mutex);
      while (std::optional<std::string> body = frames.next()) incoming.push_back(std::move(*body));
      arrived.notify_one();
    }
    std::lock_guard<std::mutex> lock(mutex);
    ended = true;
    arrived.notify_one();
  });
  Server server;
  std::deque<std::string> queue;
  std::vector<std::string> replies;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      arrived.wait(lock, [&] { return !incoming.empty() || ended || !queue.empty(); });
      while (!incoming.empty()) {
        queue.push_back(std::move(incoming.front()));
        incoming.pop_front();
      }
      if (queue.empty() && ended) break;
    }
    server.step(queue, replies);
    send(stdout, replies);
    replies.clear();
    if (server.exited()) break;
  }
  const int status = server.exit_code();
  // The reader may be blocked on a read that never ends: the process exits
  // without waiting for it.
  reader.detach();
  std::fflush(stdout);
  std::_Exit(status);
}

}  // namespace scenario::tool::lsp
