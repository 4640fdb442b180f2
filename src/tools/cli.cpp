#include "tools/cli.h"

#include <CLI/CLI.hpp>
#include <fstream>
#include <sstream>
#include <string>

#include "compiler/outputs.h"
#include "run/failures.h"
#include "run/folder.h"
#include "run/version.h"
#include "sources/cp1252.h"
#include "sources/line_data.h"
#include "sources/notes_document.h"
#include "sources/slowdown_order.h"
#include "sources/text_file.h"
#include "sources/train_data.h"
#include "sources/train_sheet.h"
#include "tools/compile_session.h"
#include "tools/documents/documents.h"
#include "tools/documents/html.h"
#include "tools/dump.h"
#include "tools/lsp/stdio.h"
#include "tools/render.h"
#include "tools/report.h"
#include "tools/serve/serve.h"
#include "tools/tool_names.h"

namespace scenario::tool {
namespace {

struct Arguments {
  std::string dir;
  std::string file;
  std::string output;
  std::string route;
  std::string train;
  bool documents = false;
  bool force = false;
  bool no_plan = false;
  bool delete_sources = false;
  bool json = false;
  bool html = false;
  std::string host = "127.0.0.1";
  int port = serve::kDefaultPort;
  int poll_ms = 0;
  bool werror = false;
  bool sync = false;
  CLI::Option* route_option = nullptr;
  CLI::Option* train_option = nullptr;

  std::optional<std::string> given_route() const {
    return route_option && route_option->count() > 0 ? std::optional(route) : std::nullopt;
  }
  std::optional<std::string> given_train() const {
    return train_option && train_option->count() > 0 ? std::optional(train) : std::nullopt;
  }
};

// CLI11's own ExistingDirectory and ExistingFile read the argument in the
// narrow code page on Windows; these read it as the UTF-8 it is.
const CLI::Validator kExistingFolder(
    [](std::string& text) {
      std::error_code ec;
      return std::filesystem::is_directory(utf8_path(text), ec) ? std::string()
                                                                : "Directory does not exist: " + text;
    },
    "DIR");
const CLI::Validator kExistingFile(
    [](std::string& text) {
      std::error_code ec;
      const std::filesystem::path path = utf8_path(text);
      if (!std::filesystem::exists(path, ec)) return "File does not exist: " + text;
      if (std::filesystem::is_directory(path, ec)) return "File is actually a directory: " + text;
      return std::string();
    },
    "FILE");

// Texts from the sources are converted from Windows-1252; a stray byte in a
// failure's detail must not stop the report. A dump is written compact: a
// track plan has hundreds of thousands of elements.
std::string json_text(const nlohmann::ordered_json& j, int indent = 2) {
  return j.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

int run_sources(const Arguments& a, std::ostream& out) {
  const std::filesystem::path dir = utf8_path(a.dir);
  RunNames names{kRouteName, kTrainName};
  if (auto route = a.given_route()) names.route_name = checked_name(*route, "route");
  if (auto train = a.given_train()) names.train_name = checked_name(*train, "train");

  std::vector<std::string> files = {names.line_file(), names.train_file()};
  if (a.documents) {
    files.push_back(names.notes_document());
    files.push_back(names.slowdown_order());
    files.push_back(names.train_sheet());
  }
  std::error_code ec;
  if (std::filesystem::exists(dir, ec) && !std::filesystem::is_directory(dir, ec))
    throw UsageError("'" + a.dir + "' is not a folder");
  // An author's edited sources are never overwritten by accident.
  if (!a.force)
    for (const std::string& name : files)
      if (std::filesystem::exists(dir / utf8_path(cp1252_to_utf8(name)), ec))
        throw UsageError("'" + path_utf8(dir / utf8_path(cp1252_to_utf8(name))) +
                         "' already exists; give --force to overwrite it");
  std::filesystem::create_directories(dir, ec);
  if (ec) throw RunFailure("cannot create the folder '" + a.dir + "': " + ec.message());

  auto folder = make_disk_folder(path_utf8(dir));
  dati_linea(*folder, names);
  dati_treno(*folder, names);
  if (a.documents) {
    dati_note(*folder, names);
    dati_rallentamenti(*folder, names);
    dati_scheda(*folder, names);
  }
  for (const std::string& name : files) out << "wrote " << path_utf8(dir / utf8_path(cp1252_to_utf8(name))) << "\n";
  return kExitClean;
}

int run_compile(const Arguments& a, bool write, std::ostream& out, std::ostream& err) {
  const std::filesystem::path dir = utf8_path(a.dir);
  const RunNames names = resolve_names(dir, a.given_route(), a.given_train());
  CompileOutcome outcome;
  try {
    outcome = compile_in_memory(dir, names, a.no_plan ? 0 : 1);
  } catch (const InputError& e) {
    if (!a.json) throw;
    // Scripts that asked for JSON get JSON on this failure too.
    outcome.names = names;
    outcome.runtime_failure = e.what();
    out << json_text(outcome_json(dir, outcome, {}));
    return kExitFailure;
  }
  std::map<std::string, std::uintmax_t> written;
  std::optional<std::string> write_failure;
  if (write) {
    try {
      written = write_outcome(dir, outcome, a.delete_sources);
    } catch (const RunFailure& e) {
      write_failure = e.what();
    }
  }
  int status = exit_status(outcome, a.werror);
  if (a.json) {
    nlohmann::ordered_json report = outcome_json(dir, outcome, written);
    if (write_failure && report["runtime_failure"].is_null()) report["runtime_failure"] = *write_failure;
    out << json_text(report);
  } else {
    err << diagnostics_text(dir, outcome);
    if (write_failure) err << "scenario-tool: run-time failure: " << *write_failure << "\n";
    for (const auto& [name, size] : written)
      out << "wrote " << path_utf8(dir / utf8_path(name)) << " (" << size << " bytes)\n";
  }
  if (write_failure) status = kExitFailure;
  return status;
}

int run_documents(const Arguments& a, std::ostream& out, std::ostream& err) {
  const std::filesystem::path dir = utf8_path(a.dir);
  const RunNames names = resolve_names(dir, a.given_route(), a.given_train());
  const ScenarioDocuments docs = make_documents(*make_disk_folder(path_utf8(dir)), path_utf8(dir), names);
  err << diagnostics_text(dir, docs.outcome);

  const std::filesystem::path out_dir = a.output.empty() ? dir : utf8_path(a.output);
  std::error_code ec;
  if (std::filesystem::exists(out_dir, ec) && !std::filesystem::is_directory(out_dir, ec))
    throw UsageError("'" + path_utf8(out_dir) + "' is not a folder");
  std::filesystem::create_directories(out_dir, ec);
  if (ec) throw RunFailure("cannot create the folder '" + path_utf8(out_dir) + "': " + ec.message());

  std::vector<std::pair<std::string, std::string>> files = {
      {names.train_sheet(), render_lines(docs.train_sheet.entries)},
      {names.slowdown_order(), render_lines(docs.slowdown_order.entries)},
  };
  if (a.html)
    files.emplace_back(documents_html_name(names), documents_html(names.route_name + " " + names.train_name,
                                                                  {&docs.train_sheet, &docs.slowdown_order}));
  auto folder = make_disk_folder(path_utf8(out_dir));
  for (const auto& [name, bytes] : files) {
    folder->write(name, bytes);
    out << "wrote " << path_utf8(out_dir / utf8_path(cp1252_to_utf8(name))) << " (" << bytes.size() << " bytes)\n";
  }
  return exit_status(docs.outcome);
}

int run_dump(const Arguments& a, std::ostream& out) {
  const std::filesystem::path file = utf8_path(a.file);
  const BinaryKind kind = binary_kind_of(path_utf8(file.filename()));
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in) throw InputError("cannot read '" + a.file + "'");
  const std::string data = bytes.str();
  try {
    if (a.json)
      out << json_text(dump_json(kind, data), -1);
    else
      dump_table(kind, data, out);
  } catch (const DecodeError& e) {
    throw InputError("'" + a.file + "' is not a valid file of its kind: " + e.what());
  }
  return kExitClean;
}

int run_render(const Arguments& a) {
  const std::filesystem::path dir = utf8_path(a.dir);
  const RunNames names = resolve_names(dir, a.given_route(), a.given_train());
  const CompiledScenario scenario = load_compiled(dir, names);
  const std::string svg = render_svg(scenario);
  std::ofstream file(utf8_path(a.output), std::ios::binary | std::ios::trunc);
  file.write(svg.data(), static_cast<std::streamsize>(svg.size()));
  file.close();
  if (!file) throw RunFailure("cannot write '" + a.output + "'");
  return kExitClean;
}

int run_serve(const Arguments& a, std::ostream& out, std::ostream& err) {
  serve::ServeOptions options;
  options.preview.dir = utf8_path(a.dir);
  options.preview.route = a.given_route();
  options.preview.train = a.given_train();
  options.preview.no_plan = a.no_plan;
  // A bad name is a usage error now, not a diagnostic at every save.
  resolve_names(options.preview.dir, options.preview.route, options.preview.train);
  options.host = a.host;
  options.port = a.port;
  if (a.poll_ms > 0) options.poll = std::chrono::milliseconds(a.poll_ms);
  serve::InterruptWaiter interrupt;
  return serve::run_serve(options, out, err, interrupt);
}

}  // namespace

int tool_main(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Write, compile, check, dump and draw train-driving scenarios.", "scenario-tool"};
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", std::string("scenario-tool ") + SCENARIO_TOOL_VERSION + "\ncore " +
                                        core_version());
  Arguments a;
  auto add_names = [&](CLI::App* sub) {
    sub->add_option("--route", a.route, "Route (line) name [default: from the folder, else Orvale_Tresca]");
    sub->add_option("--train", a.train, "Train name [default: from the folder, else \"IC 417\"]");
  };

  CLI::App* sources = app.add_subcommand("sources", "Write the embedded line file and train file into DIR");
  sources->add_option("DIR", a.dir, "Folder to write into (created when missing)")->required();
  sources->add_flag("--documents", a.documents, "Also write the three driver documents");
  sources->add_flag("--force", a.force, "Overwrite files that already exist");
  add_names(sources);

  CLI::App* compile = app.add_subcommand("compile", "Compile the sources in DIR and write the binaries into DIR");
  CLI::App* check = app.add_subcommand("check", "Compile the sources in DIR in memory and write nothing");
  for (CLI::App* sub : {compile, check}) {
    sub->add_option("DIR", a.dir, "Folder that holds the line file and the train file")
        ->required()
        ->check(kExistingFolder);
    sub->add_flag("--no-plan", a.no_plan, "Compile with flag 0: no curves read, no track plan file");
    sub->add_flag("--json", a.json, "Print one JSON object instead of diagnostic lines");
    sub->add_flag("--werror", a.werror, "Exit 1 when there is a warning, as for a recorded code");
    add_names(sub);
  }
  compile->add_flag("--delete-sources", a.delete_sources, "Delete the sources as the one-shot program does");

  CLI::App* documents =
      app.add_subcommand("documents", "Write the train sheet and the slowdown order of the scenario in DIR");
  documents->add_option("DIR", a.dir, "Folder that holds the line file and the train file")
      ->required()
      ->check(kExistingFolder);
  documents->add_option("-o,--output", a.output, "Folder to write the documents into [default: DIR]");
  documents->add_flag("--html", a.html, "Also write them as one print-ready HTML file");
  add_names(documents);

  CLI::App* dump = app.add_subcommand("dump", "Decode a grid, parameter or track plan file");
  dump->add_option("FILE", a.file, "..._linea.dat, .sim or .dat file")->required()->check(kExistingFile);
  dump->add_flag("--json", a.json, "Print JSON instead of a table");

  CLI::App* render = app.add_subcommand("render", "Draw the compiled scenario in DIR as one SVG page");
  render->add_option("DIR", a.dir, "Folder that holds the compiled binaries")
      ->required()
      ->check(kExistingFolder);
  render->add_option("-o,--output", a.output, "SVG file to write")->required();
  add_names(render);

  CLI::App* serve = app.add_subcommand("serve", "Preview the scenario in DIR in the browser, redrawn at every save");
  serve->add_option("DIR", a.dir, "Folder that holds the line file and the train file")
      ->required()
      ->check(kExistingFolder);
  serve->add_option("--port", a.port, "Port to listen on; 0 picks a free one")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  serve->add_option("--host", a.host, "Address to listen on; other than loopback, the network sees the scenario")
      ->capture_default_str();
  serve->add_flag("--no-plan", a.no_plan, "Compile with flag 0: no curves read, no track plan");
  serve
      ->add_option("--poll", a.poll_ms,
                   "Look at the folder every MS milliseconds instead of waiting for the "
                   "system's notifications (network drives)")
      ->check(CLI::Range(1, 60000))
      ->type_name("MS");
  add_names(serve);

  CLI::App* lsp = app.add_subcommand("lsp", "Serve the editor's language server protocol on standard input and output");
  lsp->add_flag("--sync", a.sync, "Read all of the input first, then answer it in order (for tests)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help is a success; every other parse error is a usage error.
    return app.exit(e, out, err) == 0 ? kExitClean : kExitUsage;
  }

  for (CLI::App* sub : {sources, compile, check, documents, render, serve})
    if (sub->parsed()) {
      a.route_option = sub->get_option("--route");
      a.train_option = sub->get_option("--train");
    }

  try {
    if (sources->parsed()) return run_sources(a, out);
    if (compile->parsed()) return run_compile(a, true, out, err);
    if (check->parsed()) return run_compile(a, false, out, err);
    if (documents->parsed()) return run_documents(a, out, err);
    if (dump->parsed()) return run_dump(a, out);
    if (render->parsed()) return run_render(a);
    if (serve->parsed()) return run_serve(a, out, err);
    if (lsp->parsed()) return lsp::serve_stdio(a.sync);
  } catch (const UsageError& e) {
    err << "scenario-tool: " << e.what() << "\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    err << "scenario-tool: " << e.what() << "\n";
    return kExitFailure;
  }
  return kExitUsage;
}

}  // namespace scenario::tool
