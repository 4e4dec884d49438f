// The tidy-up of a pasted transaction-statement text (one record per line, fields
// separated by spaces) and the whole-text conversion between spaces and commas.
#pragma once

#include <string>

// Command 32871: asks first, then runs eight replace-all passes in the wildcard language,
// rebuilds the paragraphs, cleans every line and offers the space/comma conversion. True
// when it ran (the first question was answered Yes).
bool tidyStatement();
// Command 32821 (Ctrl+Q): with line numbers shown, every space becomes ","; with them
// hidden, every "," becomes a space; after a question, and not recorded for undo.
void convertSpacesCommas();

// ---- Parts exposed for the tests ----

// The per-line cleanup: the first six spaces separate seven fields, later spaces become
// "_", and the line is cut before a "/" or a space followed by a digit or "/", and at an
// over-long digit run (after 11 digits of a mobile number, else at its start). Double-byte
// characters are passed whole; a line with fewer than six spaces is left as it is.
// Returns the cleaned text.
std::string cleanStatementLine(const std::string& text);
