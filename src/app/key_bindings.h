// Key bindings: every key press is looked up here and becomes a private window message.
#pragma once

struct KeyBinding {
    int virtualKey;
    int modifiers;  // KEYMOD_NONE, KEYMOD_CTRL, KEYMOD_SHIFT or KEYMOD_CTRL_SHIFT
    int actionCode;
};

// The built-in bindings in order, ended by an entry whose virtual key is 0.
extern const KeyBinding DEFAULT_KEY_BINDINGS[];

// The run-time table, filled once at start-up from the defaults.
struct KeyBindingTable {
    KeyBinding* entries = nullptr;  // owned
    int count = 0;
    int capacity = 0;
};

extern KeyBindingTable keyBindingTable;

// Overwrites the action of an entry with the same key and modifiers, or appends one.
// The array grows by 5 entries whenever count + 1 reaches the capacity; when that memory
// cannot be had the binding is skipped.
void addOrReplaceBinding(int virtualKey, int modifiers, int actionCode);
// Fills the run-time table from DEFAULT_KEY_BINDINGS.
void buildKeyBindingTable();
// Empties the run-time table.
void freeKeyBindingTable();
// Action code bound to this key with exactly these modifiers, or 0 when none is.
int findKeyAction(int virtualKey, int modifiers);
// The modifier mask of the keys held down now, read through the platform.
int currentModifiers();
