// The language server's protocol layer: JSON-RPC messages in, messages out,
// turned into calls on the document store, the folder compiles and the
// analyses. It owns no stream: the loop (stdio.h) or a test feeds it bodies
// and sends what it returns.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "run/folder.h"
#include "tools/lsp/analyses.h"
#include "tools/lsp/document_store.h"

namespace scenario::tool::lsp {

// JSON-RPC and protocol error codes.
inline constexpr int kParseError = -32700;
inline constexpr int kInvalidRequest = -32600;
inline constexpr int kMethodNotFound = -32601;
inline constexpr int kInvalidParams = -32602;
inline constexpr int kInternalError = -32603;
inline constexpr int kServerNotInitialized = -32002;
inline constexpr int kRequestCancelled = -32800;

// Where the server finds the folders of the documents: the disk, or memory
// for tests and the fuzzer. Only read, never written.
struct FolderSource {
  std::function<std::unique_ptr<scenario::Folder>(const std::string& dir)> open;
  std::function<std::vector<std::string>(const std::string& dir)> list;  // UTF-8 file names
};
FolderSource disk_folders();

class Server {
 public:
  explicit Server(FolderSource folders = disk_folders()) : folders_on_disk_(std::move(folders)) {}

  // Takes the first message body of `queue` and handles it, appending the
  // bodies to send to `out`. The rest of the queue is what has arrived
  // since: a request cancelled there is answered as cancelled, and a run of
  // document changes is compiled once, after the last of them.
  void step(std::deque<std::string>& queue, std::vector<std::string>& out);
  // Compiles the folders changed and not yet compiled, publishing their
  // diagnostics; at the end of the input, for instance.
  void flush(std::vector<std::string>& out);

  bool exited() const { return exited_; }
  // 0 after shutdown, 1 without.
  int exit_code() const { return shut_down_ ? 0 : 1; }

  // The compile of the folder `dir` (UTF-8), made now when it is stale.
  const FolderResult& folder_result(const std::string& dir);

 private:
  struct Folder {
    FolderResult result;
    std::map<std::string, std::vector<Diagnostic>> conversion;  // uri -> characters without a code
    bool stale = true;
    std::vector<std::string> published;  // URIs given diagnostics last time, in the order sent
  };

  void handle(const nlohmann::json& message, const std::deque<std::string>& rest, std::vector<std::string>& out);
  nlohmann::json request(const std::string& method, const nlohmann::json& params, std::vector<std::string>& out);
  void notification(const std::string& method, const nlohmann::json& params);
  void compile(const std::string& dir, Folder& folder);
  void publish(const std::string& dir, Folder& folder, std::vector<std::string>& out);
  // The document's folder compile and which source it is; none when it is
  // neither source of its folder.
  const DocumentLayout* layout_for(const std::string& uri, std::vector<std::string>& out);

  FolderSource folders_on_disk_;
  DocumentStore store_;
  std::map<std::string, Folder> folders_;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
};

}  // namespace scenario::tool::lsp
