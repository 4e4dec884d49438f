// The core's part of start-up and shut-down, run by the adapter around the message loop.
#pragma once

// After the main window exists and is shown: creates the line-style fonts, builds the
// key-binding table, prepares the undo ring and loads the raw command line as a file.
void startKesh(const char* commandLine);
// After the message loop has ended: frees what the core still holds.
void shutDownKesh();
