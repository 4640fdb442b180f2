// The language server as an editor drives it: `scenario-tool lsp` in a child
// process over pipes. Measured: from a didChange written to the server's
// input to the train file's publishDiagnostics read back (both sources are
// compiled on every change), for the embedded scenario and the generated
// 1000000 m line; and a hover's round trip. Medians of interleaved runs.
//   scenario_lsp_bench path/to/scenario-tool
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/scenario_generator.h"
#include "run/file_names.h"
#include "run/folder.h"
#include "sources/cp1252.h"
#include "sources/line_data.h"
#include "sources/train_data.h"
#include "tools/lsp/document_store.h"
#include "tools/lsp/framing.h"

namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;
using scenario::tool::lsp::FrameReader;

class ServerProcess {
 public:
  explicit ServerProcess(const std::string& tool) {
    int to_child[2], from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) throw std::runtime_error("pipe failed");
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
      dup2(to_child[0], 0);
      dup2(from_child[1], 1);
      close(to_child[1]);
      close(from_child[0]);
      execl(tool.c_str(), tool.c_str(), "lsp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    in_ = to_child[1];
    out_ = from_child[0];
  }
  ~ServerProcess() {
    close(in_);
    close(out_);
    int status = 0;
    waitpid(pid_, &status, 0);
  }

  void send(const json& message) {
    const std::string framed = scenario::tool::lsp::frame(message.dump());
    for (std::size_t done = 0; done < framed.size();) {
      const ssize_t n = write(in_, framed.data() + done, framed.size() - done);
      if (n <= 0) throw std::runtime_error("the server's input is closed");
      done += static_cast<std::size_t>(n);
    }
  }

  // The next message that `wanted` accepts; the others are dropped.
  template <class Wanted>
  json wait_for(Wanted wanted) {
    for (;;) {
      while (std::optional<std::string> body = frames_.next()) {
        json j = json::parse(*body);
        if (wanted(j)) return j;
      }
      char buffer[1 << 16];
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n <= 0) throw std::runtime_error("the server ended");
      frames_.feed(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
  FrameReader frames_;
};

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Folder {
  std::filesystem::path dir;
  std::string line_uri, train_uri, line_text, train_text;
};

Folder make_folder(const std::filesystem::path& dir, const std::string& line, const std::string& train) {
  std::filesystem::create_directories(dir);
  const scenario::RunNames names{scenario::kRouteName, scenario::kTrainName};
  auto disk = scenario::make_disk_folder(dir.string());
  disk->write(names.line_file(), line);
  disk->write(names.train_file(), train);
  Folder f;
  f.dir = dir;
  f.line_uri = scenario::tool::lsp::path_to_uri(dir.string() + "/" + scenario::cp1252_to_utf8(names.line_file()));
  f.train_uri = scenario::tool::lsp::path_to_uri(dir.string() + "/" + scenario::cp1252_to_utf8(names.train_file()));
  f.line_text = scenario::cp1252_to_utf8(line);
  f.train_text = scenario::cp1252_to_utf8(train);
  return f;
}

json open_message(const std::string& uri, const std::string& text) {
  return {{"jsonrpc", "2.0"},
          {"method", "textDocument/didOpen"},
          {"params", {{"textDocument", {{"uri", uri}, {"languageId", "x"}, {"version", 1}, {"text", text}}}}}};
}

// Times `runs` didChange round trips on the train file's first line and the
// hovers on its first keyword; returns the medians in milliseconds.
std::pair<double, double> measure(ServerProcess& server, const Folder& f, int runs, int& id) {
  server.send(open_message(f.line_uri, f.line_text));
  server.send(open_message(f.train_uri, f.train_text));
  auto diagnostics_of = [&](const std::string& uri, int version) {
    return [uri, version](const json& j) {
      return j.value("method", "") == "textDocument/publishDiagnostics" && j["params"]["uri"] == uri &&
             j["params"].value("version", 0) == version;
    };
  };
  server.wait_for(diagnostics_of(f.train_uri, 1));
  std::vector<double> change_ms, hover_ms;
  for (int i = 0; i < runs; ++i) {
    const int version = i + 2;
    // An edit that changes nothing the compile reads: a blank at the end of
    // the first line, put in and taken out in turn.
    json range = {{"start", {{"line", 0}, {"character", 10}}}, {"end", {{"line", 0}, {"character", i % 2 ? 11 : 10}}}};
    json change = {{"jsonrpc", "2.0"},
                   {"method", "textDocument/didChange"},
                   {"params",
                    {{"textDocument", {{"uri", f.train_uri}, {"version", version}}},
                     {"contentChanges", json::array({{{"range", range}, {"text", i % 2 ? "" : " "}}})}}}};
    const auto start = Clock::now();
    server.send(change);
    server.wait_for(diagnostics_of(f.train_uri, version));
    change_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());

    const int hover_id = ++id;
    const auto hover_start = Clock::now();
    server.send(
        {{"jsonrpc", "2.0"},
         {"id", hover_id},
         {"method", "textDocument/hover"},
         {"params", {{"textDocument", {{"uri", f.train_uri}}}, {"position", {{"line", 1}, {"character", 2}}}}}});
    server.wait_for([hover_id](const json& j) { return j.contains("id") && j["id"] == hover_id; });
    hover_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - hover_start).count());
  }
  server.send({{"jsonrpc", "2.0"},
               {"method", "textDocument/didClose"},
               {"params", {{"textDocument", {{"uri", f.train_uri}}}}}});
  server.send(
      {{"jsonrpc", "2.0"}, {"method", "textDocument/didClose"}, {"params", {{"textDocument", {{"uri", f.line_uri}}}}}});
  return {median(change_ms), median(hover_ms)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s path/to/scenario-tool\n", argv[0]);
    return 64;
  }
  const std::filesystem::path root = std::filesystem::temp_directory_path() / ("lsp-bench-" + std::to_string(getpid()));
  scenario::MemoryFolder embedded;
  const scenario::RunNames names{scenario::kRouteName, scenario::kTrainName};
  scenario::dati_linea(embedded, names);
  scenario::dati_treno(embedded, names);
  const Folder small =
      make_folder(root / "embedded", *embedded.read(names.line_file()), *embedded.read(names.train_file()));
  const scenario::bench::GeneratedScenario big = scenario::bench::generate_scenario(scenario::bench::kLongestLine);
  const Folder large = make_folder(root / "generated", big.line_file, big.train_file);

  int id = 0;
  {
    ServerProcess server(argv[1]);
    server.send({{"jsonrpc", "2.0"},
                 {"id", ++id},
                 {"method", "initialize"},
                 {"params", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", json::object()}}}});
    server.wait_for([](const json& j) { return j.contains("result"); });
    server.send({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", json::object()}});
    const auto [small_change, small_hover] = measure(server, small, 41, id);
    const auto [large_change, large_hover] = measure(server, large, 21, id);
    std::printf("didChange to publishDiagnostics, embedded scenario (155000 m): median %.2f ms\n", small_change);
    std::printf("didChange to publishDiagnostics, generated line (%d m):   median %.2f ms\n",
                scenario::bench::kLongestLine, large_change);
    std::printf("hover round trip, embedded scenario: median %.3f ms; generated line: median %.3f ms\n", small_hover,
                large_hover);
    server.send({{"jsonrpc", "2.0"}, {"id", ++id}, {"method", "shutdown"}});
    server.wait_for([&](const json& j) { return j.contains("id") && j["id"] == id; });
    server.send({{"jsonrpc", "2.0"}, {"method", "exit"}});
  }
  std::filesystem::remove_all(root);
  return 0;
}
