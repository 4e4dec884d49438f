// The Find and Replace dialogs' side of the adapter that the window procedure needs.
#pragma once

#include <windows.h>

// Called with each find/replace notification before it reaches the core: a dialog that
// reports its closing is forgotten. The report's flags must be read first, because the
// dialog clears them on every command it gets, and the core's moving the focus back to
// the main window sends it one (its find box losing the focus).
void beforeFindReplaceNotification(LPARAM record);
