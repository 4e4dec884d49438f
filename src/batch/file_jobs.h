// Reading a file into the document and writing the result, both as Kesh does them: the
// same loader, and the same safe save through a temporary file and a rename.
#pragma once

#include <string>

#include "batch/options.h"

// Loads `path` as the window opens a file; false when it cannot be read (the window's
// message has then been shown).
bool openDocument(const std::string& path);

// What became of the result.
enum class WriteOutcome { Written, Unchanged, WouldChange, WouldStay, Failed };

// Writes the edited document where the request says: in place (only when it changed),
// to request.output, or to standard output; with --dry-run nowhere, comparing the result
// with `path` instead. The window's message for a failed save has been shown on Failed.
WriteOutcome writeResult(const BatchRequest& request, const std::string& path);

// The words for an outcome in the report.
const char* describe(WriteOutcome outcome);
