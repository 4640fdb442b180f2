#include "tools/lsp/server.h"

#include <algorithm>
#include <exception>

#include "run/folder.h"
#include "sources/cp1252.h"
#include "tools/compile_session.h"
#include "tools/tool_names.h"

namespace scenario::tool::lsp {
namespace {

using json = nlohmann::json;

json to_json(Position p) { return {{"line", p.line}, {"character", p.character}}; }
json to_json(const Range& r) { return {{"start", to_json(r.start)}, {"end", to_json(r.end)}}; }

Position position_of(const json& j) { return {j.at("line").get<int>(), j.at("character").get<int>()}; }
Range range_of(const json& j) { return {position_of(j.at("start")), position_of(j.at("end"))}; }

json to_json(const Diagnostic& d) {
  json out = {{"range", to_json(d.range)}, {"severity", static_cast<int>(d.severity)}, {"source", "scenario-tool"}};
  if (d.code)
    out["code"] = *d.code;
  else if (!d.name.empty())
    out["code"] = d.name;
  out["message"] = d.message;
  return out;
}

json to_json(const DocumentSymbol& s) {
  json children = json::array();
  for (const DocumentSymbol& c : s.children) children.push_back(to_json(c));
  json out = {
      {"name", s.name}, {"kind", s.kind}, {"range", to_json(s.range)}, {"selectionRange", to_json(s.selection)}};
  if (!s.detail.empty()) out["detail"] = s.detail;
  if (!children.empty()) out["children"] = std::move(children);
  return out;
}

std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

json response(const json& id, json result) { return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}; }

json error_response(const json& id, int code, const std::string& message) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

// A protocol error for the request being handled.
struct RequestError {
  int code;
  std::string message;
};

bool is_document_notification(const std::string& body) { return body.find("\"textDocument/did") != std::string::npos; }

// The id a queued "$/cancelRequest" names, if the body is one.
std::optional<json> cancelled_id(const std::string& body) {
  if (body.find("$/cancelRequest") == std::string::npos) return std::nullopt;
  json j = json::parse(body, nullptr, false);
  if (!j.is_object() || j.value("method", "") != "$/cancelRequest") return std::nullopt;
  auto params = j.find("params");
  if (params == j.end() || !params->is_object() || !params->contains("id")) return std::nullopt;
  return params->at("id");
}

}  // namespace

FolderSource disk_folders() {
  return {[](const std::string& dir) { return make_disk_folder(dir); },
          [](const std::string& dir) { return file_names_in(utf8_path(dir)); }};
}

void Server::step(std::deque<std::string>& queue, std::vector<std::string>& out) {
  if (queue.empty()) return;
  const std::string body = std::move(queue.front());
  queue.pop_front();
  json message = json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    out.push_back(dump(error_response(nullptr, kParseError, "the message is not JSON")));
  } else {
    handle(message, queue, out);
  }
  // A run of document changes is compiled once, after its last change.
  if (!exited_ && (queue.empty() || !is_document_notification(queue.front()))) flush(out);
}

void Server::flush(std::vector<std::string>& out) {
  for (auto& [dir, folder] : folders_)
    if (folder.stale) publish(dir, folder, out);
}

void Server::handle(const json& message, const std::deque<std::string>& rest, std::vector<std::string>& out) {
  if (!message.is_object()) {
    out.push_back(dump(error_response(nullptr, kInvalidRequest, "a message is a JSON object")));
    return;
  }
  const auto id_it = message.find("id");
  const auto method_it = message.find("method");
  const bool has_id = id_it != message.end();
  json id = has_id ? *id_it : json(nullptr);
  if (has_id && !(id.is_string() || id.is_number_integer())) {
    out.push_back(dump(error_response(nullptr, kInvalidRequest, "a request's id is a number or a string")));
    return;
  }
  if (method_it == message.end() || !method_it->is_string()) {
    // A response to a request of ours (we send none), or nonsense.
    if (has_id && !message.contains("result") && !message.contains("error"))
      out.push_back(dump(error_response(id, kInvalidRequest, "a request has a method")));
    return;
  }
  const std::string method = *method_it;
  const json params = message.value("params", json::object());

  if (!has_id) {
    if (method == "exit") {
      exited_ = true;
      return;
    }
    if (!initialized_ || shut_down_) return;  // notifications before initialize are dropped
    try {
      notification(method, params);
    } catch (const std::exception&) {
      // A malformed notification cannot be answered: it is dropped.
    }
    return;
  }

  for (const std::string& later : rest)
    if (auto cancelled = cancelled_id(later); cancelled && *cancelled == id) {
      out.push_back(dump(error_response(id, kRequestCancelled, "cancelled")));
      return;
    }
  try {
    if (method == "initialize") {
      if (initialized_) throw RequestError{kInvalidRequest, "initialize was already received"};
    } else if (!initialized_) {
      throw RequestError{kServerNotInitialized, "the server is not initialized"};
    } else if (shut_down_) {
      throw RequestError{kInvalidRequest, "the server is shut down"};
    }
    json result = request(method, params, out);
    out.push_back(dump(response(id, std::move(result))));
  } catch (const RequestError& e) {
    out.push_back(dump(error_response(id, e.code, e.message)));
  } catch (const json::exception& e) {
    out.push_back(dump(error_response(id, kInvalidParams, std::string("invalid params: ") + e.what())));
  } catch (const std::exception& e) {
    out.push_back(dump(error_response(id, kInternalError, e.what())));
  }
}

json Server::request(const std::string& method, const json& params, std::vector<std::string>& out) {
  if (method == "initialize") {
    initialized_ = true;
    return {
        {"capabilities",
         {{"positionEncoding", "utf-16"},
          {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
          {"hoverProvider", true},
          {"inlayHintProvider", true},
          {"completionProvider", json::object()},
          {"documentSymbolProvider", true}}},
        {"serverInfo", {{"name", "scenario-tool"}}},
    };
  }
  if (method == "shutdown") {
    shut_down_ = true;
    return nullptr;
  }
  if (method != "textDocument/hover" && method != "textDocument/inlayHint" && method != "textDocument/completion" &&
      method != "textDocument/documentSymbol")
    throw RequestError{kMethodNotFound, "no method " + method};
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  if (method == "textDocument/hover") {
    const Position at = position_of(params.at("position"));
    const DocumentLayout* layout = layout_for(uri, out);
    if (!layout) return nullptr;
    std::optional<Hover> h = hover(*layout, at);
    if (!h) return nullptr;
    return {{"contents", {{"kind", "markdown"}, {"value", h->markdown}}}, {"range", to_json(h->range)}};
  }
  if (method == "textDocument/inlayHint") {
    const Range range = range_of(params.at("range"));
    json hints = json::array();
    if (const DocumentLayout* layout = layout_for(uri, out))
      for (const InlayHint& h : inlay_hints(*layout, range))
        hints.push_back({{"position", to_json(h.position)}, {"label", h.label}, {"kind", 2}, {"paddingRight", true}});
    return hints;
  }
  if (method == "textDocument/completion") {
    const Position at = position_of(params.at("position"));
    json items = json::array();
    if (const DocumentLayout* layout = layout_for(uri, out))
      for (const CompletionItem& c : completion(*layout, at))
        items.push_back({{"label", c.label},
                         {"kind", 14},
                         {"detail", c.detail},
                         {"documentation", c.documentation},
                         {"insertText", c.snippet},
                         {"insertTextFormat", 2}});
    return {{"isIncomplete", false}, {"items", std::move(items)}};
  }
  if (method == "textDocument/documentSymbol") {
    json symbols = json::array();
    if (const DocumentLayout* layout = layout_for(uri, out))
      for (const DocumentSymbol& s : document_symbols(*layout)) symbols.push_back(to_json(s));
    return symbols;
  }
  throw RequestError{kMethodNotFound, "no method " + method};
}

void Server::notification(const std::string& method, const json& params) {
  const json& doc = params.at("textDocument");
  const std::string uri = doc.at("uri").get<std::string>();
  std::string dir;
  if (method == "textDocument/didOpen") {
    if (!store_.open(uri, doc.value("version", 0), doc.at("text").get<std::string>())) return;
  } else if (method == "textDocument/didChange") {
    std::vector<TextChange> changes;
    for (const json& c : params.at("contentChanges")) {
      TextChange change;
      if (c.contains("range")) change.range = range_of(c.at("range"));
      change.text = c.at("text").get<std::string>();
      changes.push_back(std::move(change));
    }
    store_.change(uri, doc.value("version", 0), changes);
  } else if (method == "textDocument/didClose") {
    const Document* d = store_.find(uri);
    if (!d) return;
    dir = d->dir;
    store_.close(uri);
    folders_[dir].stale = true;
    return;
  } else if (method != "textDocument/didSave") {
    return;
  }
  if (const Document* d = store_.find(uri)) folders_[d->dir].stale = true;
}

void Server::compile(const std::string& dir, Folder& folder) {
  folder.stale = false;
  folder.conversion.clear();
  FolderResult& result = folder.result;
  result = FolderResult{};
  std::vector<std::string> files = folders_on_disk_.list(dir);
  std::map<std::string, std::string> overlay;
  for (const Document* doc : store_.in_folder(dir)) {
    std::optional<std::string> name = utf8_to_cp1252(doc->name);
    if (!name) continue;
    files.push_back(doc->name);
    overlay[*name] = to_cp1252(doc->text, &folder.conversion[doc->uri]);
  }
  result.names = resolve_names_among(files);
  std::unique_ptr<scenario::Folder> disk = folders_on_disk_.open(dir);
  OverlayFolder sources(*disk, std::move(overlay));
  try {
    result.outcome = compile_sources(sources, dir, result.names, 1);
  } catch (const std::exception& e) {
    result.input_error = e.what();
  }
  if (std::optional<std::string> bytes = sources.read(result.names.line_file())) {
    result.has_line = true;
    result.line = scan_layout(*bytes, SourceFile::line_file);
  }
  if (std::optional<std::string> bytes = sources.read(result.names.train_file())) {
    result.has_train = true;
    result.train = scan_layout(*bytes, SourceFile::train_file);
  }
}

const FolderResult& Server::folder_result(const std::string& dir) {
  Folder& folder = folders_[dir];
  if (folder.stale) compile(dir, folder);
  return folder.result;
}

void Server::publish(const std::string& dir, Folder& folder, std::vector<std::string>& out) {
  // With none of its documents open a folder is no longer checked: what it
  // was told is taken back, as an editor expects of a closed file.
  if (store_.in_folder(dir).empty()) {
    folder.stale = false;
    for (const std::string& uri : folder.published)
      out.push_back(dump({{"jsonrpc", "2.0"},
                          {"method", "textDocument/publishDiagnostics"},
                          {"params", {{"uri", uri}, {"diagnostics", json::array()}}}}));
    folder.published.clear();
    folder.result = FolderResult{};
    return;
  }
  compile(dir, folder);
  const FolderResult& result = folder.result;
  std::vector<std::string> now;  // in the order sent: line file, train file, the others
  auto sent = [&](const std::string& uri) { return std::find(now.begin(), now.end(), uri) != now.end(); };
  auto uri_of = [&](const std::string& cp1252_name) {
    const std::string name = cp1252_to_utf8(cp1252_name);
    for (const Document* doc : store_.in_folder(dir))
      if (doc->name == name) return doc->uri;
    return path_to_uri(dir + "/" + name);
  };
  auto send = [&](const std::string& uri, const std::vector<Diagnostic>& list) {
    json items = json::array();
    for (const Diagnostic& d : list) items.push_back(to_json(d));
    json params = {{"uri", uri}, {"diagnostics", std::move(items)}};
    if (const Document* doc = store_.find(uri)) params["version"] = doc->version;
    out.push_back(dump({{"jsonrpc", "2.0"}, {"method", "textDocument/publishDiagnostics"}, {"params", params}}));
  };
  for (auto [which, present] :
       {std::pair{SourceFile::line_file, result.has_line}, std::pair{SourceFile::train_file, result.has_train}}) {
    if (!present) continue;
    const std::string uri =
        uri_of(which == SourceFile::line_file ? result.names.line_file() : result.names.train_file());
    std::vector<Diagnostic> list = folder.conversion[uri];
    for (Diagnostic& d : diagnostics(result, which)) list.push_back(std::move(d));
    send(uri, list);
    now.push_back(uri);
  }
  // Open documents that are not a source of the folder, and sources that
  // are no longer, lose their diagnostics.
  for (const Document* doc : store_.in_folder(dir))
    if (!sent(doc->uri)) {
      std::vector<Diagnostic> list = folder.conversion[doc->uri];
      if (!result.outcome && !result.input_error.empty()) {
        Diagnostic d;
        d.message = result.input_error + ": the two sources of a scenario are checked together";
        list.push_back(std::move(d));
      }
      send(doc->uri, list);
      now.push_back(doc->uri);
    }
  for (const std::string& uri : folder.published)
    if (!sent(uri)) send(uri, {});
  folder.published = std::move(now);
}

const DocumentLayout* Server::layout_for(const std::string& uri, std::vector<std::string>& out) {
  const Document* doc = store_.find(uri);
  if (!doc) return nullptr;
  const std::string dir = doc->dir;
  const std::string name = doc->name;
  Folder& folder = folders_[dir];
  if (folder.stale) publish(dir, folder, out);
  const FolderResult& result = folder.result;
  if (result.has_line && cp1252_to_utf8(result.names.line_file()) == name) return &result.line;
  if (result.has_train && cp1252_to_utf8(result.names.train_file()) == name) return &result.train;
  return nullptr;
}

}  // namespace scenario::tool::lsp
