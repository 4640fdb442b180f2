// Starts `scenario-tool lsp` for the line and train files of a scenario
// folder. The server compiles both sources of a folder together, so one
// client serves every folder.
const vscode = require("vscode");
const { LanguageClient } = require("vscode-languageclient/node");

let client;

function activate(context) {
  const command = vscode.workspace.getConfiguration("scenarioSources").get("serverPath") || "scenario-tool";
  const server = { command, args: ["lsp"] };
  client = new LanguageClient(
    "scenarioSources",
    "Scenario sources",
    { run: server, debug: server },
    {
      documentSelector: [
        { scheme: "file", language: "scenario-line" },
        { scheme: "file", language: "scenario-train" },
      ],
    },
  );
  context.subscriptions.push(client);
  return client.start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
