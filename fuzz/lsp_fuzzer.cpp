// libFuzzer target: the language server's framing and dispatch. The input is
// the byte stream an editor would send, fed in a few chunks; every message
// it frames is handled. The folder of every document is one in memory that
// holds the embedded sources, so no input reaches the disk. A finding is a
// crash, a leak, a sanitizer report, an exception escaping the server, or a
// reply that is not framed JSON.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "run/file_names.h"
#include "run/folder.h"
#include "sources/line_data.h"
#include "sources/train_data.h"
#include "tools/lsp/framing.h"
#include "tools/lsp/server.h"

namespace {

using namespace scenario;

// The sources of the scenario folder "/s", made once.
const MemoryFolder& embedded() {
  static const MemoryFolder folder = [] {
    MemoryFolder f;
    dati_linea(f, RunNames{kRouteName, kTrainName});
    dati_treno(f, RunNames{kRouteName, kTrainName});
    return f;
  }();
  return folder;
}

class CopyFolder : public Folder {
 public:
  bool exists(const std::string& name) const override { return embedded().exists(name); }
  std::optional<std::string> read(const std::string& name) const override { return embedded().read(name); }
  void remove(const std::string&) override { std::abort(); }  // the server never writes
  void write(const std::string&, std::string_view) override { std::abort(); }
};

tool::lsp::FolderSource memory_folders() {
  return {[](const std::string&) -> std::unique_ptr<Folder> { return std::make_unique<CopyFolder>(); },
          [](const std::string&) {
            return std::vector<std::string>{"Orvale_Tresca_linea.txt", "Orvale_Tresca_IC 417-.txt"};
          }};
}

void check_reply(const std::string& body) {
  if (nlohmann::json::parse(body, nullptr, false).is_discarded()) {
    std::fprintf(stderr, "lsp_fuzzer: a reply is not JSON: %s\n", body.c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first byte chooses the chunk size, as a pipe would split the stream.
  const std::size_t chunk = size == 0 ? 1 : 1 + static_cast<unsigned char>(input[0]) % 64;
  tool::lsp::FrameReader frames(1 << 20);
  tool::lsp::Server server(memory_folders());
  std::deque<std::string> queue;
  std::vector<std::string> replies;
  for (std::size_t at = 0; at < input.size() && !server.exited(); at += chunk) {
    frames.feed(input.substr(at, chunk));
    while (std::optional<std::string> body = frames.next()) queue.push_back(std::move(*body));
    // Whatever has arrived is handled before more is read, as the loop does.
    while (!queue.empty() && !server.exited()) server.step(queue, replies);
  }
  server.flush(replies);
  for (const std::string& body : replies) {
    check_reply(body);
    tool::lsp::FrameReader back;
    back.feed(tool::lsp::frame(body));
    if (back.next() != body) std::abort();
  }
  return 0;
}
