// Saving the document, the save question, and the naming steps that Save As and the
// web-page export share.
//
// The text file format: every line's bytes as they are held, followed by CR LF when the
// line ends with a hard return; a soft-wrapped paragraph is therefore written as one line.
#pragma once

#include <string>

// Writes the document to the file name; on failure shows the "存盘失败" message and
// leaves `modified` set. The caption is refreshed either way.
void saveDocument();
// Asks for a new name, makes it the file name and saves there. Cancel changes nothing.
void saveDocumentAs();
// The save question before the document goes: true to go on (saved, or the user chose
// not to save), false to stop (Cancel, or a save that failed and would lose the text).
bool askToSave();

// ---- Shared with the web-page export ----
// Shows the save dialog with a name proposed from the file name plus `extension`;
// `chosen` receives the path as typed, without one pair of surrounding double quotes.
bool chooseSaveTarget(const char* filter, const char* extension, std::string& chosen);
// Makes `chosen` absolute and the document's file name; false (with the "存盘失败"
// message shown and the name unchanged) when the absolute name does not fit.
bool adoptChosenName(const std::string& chosen);
// The message of a save that could not be made.
void reportCannotSave(const std::string& name);
