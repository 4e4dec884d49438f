// Virtual-key codes as plain numbers: the keys whose state the core asks through the seam
// and the keys of the key bindings. Named with their own prefix so that this header can
// sit beside <windows.h> in the adapter.
#pragma once

constexpr int VKEY_BACK = 0x08;
constexpr int VKEY_TAB = 0x09;
constexpr int VKEY_RETURN = 0x0D;
constexpr int VKEY_SHIFT = 0x10;
constexpr int VKEY_CONTROL = 0x11;
constexpr int VKEY_ESCAPE = 0x1B;
constexpr int VKEY_PRIOR = 0x21;  // PageUp
constexpr int VKEY_NEXT = 0x22;   // PageDown
constexpr int VKEY_END = 0x23;
constexpr int VKEY_HOME = 0x24;
constexpr int VKEY_LEFT = 0x25;
constexpr int VKEY_UP = 0x26;
constexpr int VKEY_RIGHT = 0x27;
constexpr int VKEY_DOWN = 0x28;
constexpr int VKEY_INSERT = 0x2D;
constexpr int VKEY_DELETE = 0x2E;
constexpr int VKEY_F1 = 0x70;
constexpr int VKEY_OEM_COMMA = 0xBC;
constexpr int VKEY_OEM_PERIOD = 0xBE;
constexpr int VKEY_OEM_2 = 0xBF;  // "/?"
constexpr int VKEY_OEM_4 = 0xDB;  // "["
constexpr int VKEY_OEM_6 = 0xDD;  // "]"
constexpr int vkeyFunction(int n) { return VKEY_F1 + n - 1; }
