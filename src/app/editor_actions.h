// Editor actions as they enter from the key bindings: recorded, then carried out.
#pragma once

// Records an editor-action code (2056-2093 and 519), then performs it: the backward quick
// searches (2091-2093) go to the search, every other code to the editing operations.
void runEditorAction(int actionCode);
