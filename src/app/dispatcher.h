// The command dispatcher: turns a command ID into its operation.
#pragma once

#include <cstdint>

// Records the command, then runs it: first from the commands that need an open document
// (only while one is open), then from those that work without one. Unknown IDs do nothing.
void dispatchCommand(int commandId, intptr_t lParam);
// Exit: asks the save question and, unless cancelled, closes the document and quits.
void exitKesh();
// Builds and shows the context menu at a screen position.
void showContextMenu(int screenX, int screenY);
