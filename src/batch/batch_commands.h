// The commands of kesh-batch, each run over the open document through the same entry
// points the window's menu and dialogs use.
#pragma once

#include <cstdio>
#include <string>

#include "batch/options.h"

// Prepares the core as the window's start-up does, without a window or a file.
void startConsoleCore();

// Checks the request's texts before any file is opened, as the window would on its first
// search. Returns the window's message for a find text it cannot use (a malformed
// "/expr/g"), or empty. A find text or template longer than the dialog takes is cut to
// whole characters, as the dialog cuts it, and `warning` receives the dialog's message.
std::string checkRequestTexts(BatchRequest& request, std::string& warning);

// What a command did to one document.
struct CommandOutcome {
    bool failed = false;  // the command could not run on this document (`summary` says why)
    std::string summary;  // GBK, for the file's report line; empty for none
};

// Runs the request's command over the open document. Find writes its matches to `out`,
// each prefixed with `label` when that is not empty.
CommandOutcome runCommand(const BatchRequest& request, const std::string& label, FILE* out);

// True when the command may change the document (and so a result is written).
bool commandEditsDocument(BatchCommand command);
