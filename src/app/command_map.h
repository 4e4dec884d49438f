// CommandMap: which action codes are menu commands and which are editor actions.
#pragma once

struct CommandMapEntry {
    int actionCode;
    int commandId;  // 0: the code goes to the editor-action routine
};

// The ordered pairs, ended by {0, 0}.
extern const CommandMapEntry COMMAND_MAP[];

// Finds the first pair for `actionCode`; false when the code is not in the map.
bool lookUpCommandMap(int actionCode, int& commandId);
