// Window-message numbers, virtual-key codes and command IDs, as plain numbers.
//
// Kesh routes all input by number: a key becomes an action code (a private window
// message), a menu item is a 16-bit command ID, and the recorder replays (message,
// wParam, lParam) triples. The core names the numbers it needs here, with its own
// prefixes so that this header can sit beside <windows.h> in the adapter.
#pragma once

#include <cstdint>

#include "platform/virtual_keys.h"

// ---- Standard window messages ----
constexpr unsigned MSG_CREATE = 0x0001;
constexpr unsigned MSG_SIZE = 0x0005;
constexpr unsigned MSG_PAINT = 0x000F;
constexpr unsigned MSG_CLOSE = 0x0010;
constexpr unsigned MSG_SHOWWINDOW = 0x0018;
constexpr unsigned MSG_CONTEXTMENU = 0x007B;
constexpr unsigned MSG_KEYDOWN = 0x0100;
constexpr unsigned MSG_CHAR = 0x0102;
constexpr unsigned MSG_SYSKEYDOWN = 0x0104;
constexpr unsigned MSG_COMMAND = 0x0111;
constexpr unsigned MSG_TIMER = 0x0113;
constexpr unsigned MSG_VSCROLL = 0x0115;
constexpr unsigned MSG_MOUSEMOVE = 0x0200;
constexpr unsigned MSG_LBUTTONDOWN = 0x0201;
constexpr unsigned MSG_LBUTTONUP = 0x0202;
constexpr unsigned MSG_MBUTTONDOWN = 0x0207;  // 519, also the "page down" action code
constexpr unsigned MSG_MOUSEWHEEL = 0x020A;
constexpr unsigned MSG_DROPFILES = 0x0233;
constexpr unsigned MSG_IME_CHAR = 0x0286;
constexpr unsigned MSG_CUT = 768;
constexpr unsigned MSG_COPY = 769;
constexpr unsigned MSG_PASTE = 770;
constexpr unsigned MSG_CLEAR = 771;  // the Delete key
constexpr unsigned MSG_UNDO = 772;
// The adapter turns the registered "commdlg_FindReplace" message into this number
// before handing it to the core (the registered number differs from run to run).
constexpr unsigned MSG_FIND_REPLACE_NOTIFY = 0xC000;

// Size types of MSG_SIZE.
constexpr uintptr_t SIZE_TYPE_RESTORED = 0;

// ---- Private action codes sent by the key bindings ----
constexpr unsigned ACTION_NEW = 2068;   // handled by the window procedure itself
constexpr unsigned ACTION_OPEN = 2069;  // handled by the window procedure itself
constexpr unsigned ACTION_CARET_DOWN = 2073;
constexpr unsigned ACTION_CARET_UP = 2077;

// Modifier masks of a key binding: the Alt key plays no part.
constexpr int KEYMOD_NONE = 0;
constexpr int KEYMOD_CTRL = 8;
constexpr int KEYMOD_SHIFT = 16;
constexpr int KEYMOD_CTRL_SHIFT = 24;

// ---- Command IDs (the items of menu 109) ----
constexpr int CMD_ABOUT = 104;
constexpr int CMD_EXIT = 105;
constexpr int CMD_NEW = 32772;
constexpr int CMD_OPEN = 32773;
constexpr int CMD_SAVE = 32774;
constexpr int CMD_SAVE_AS = 32775;
constexpr int CMD_CLOSE = 32776;
constexpr int CMD_CUT = 32778;
constexpr int CMD_COPY = 32779;
constexpr int CMD_PASTE = 32780;
constexpr int CMD_FIND = 32783;
constexpr int CMD_FIND_AGAIN = 32784;
constexpr int CMD_REPLACE = 32785;
constexpr int CMD_SELECT_ALL = 32786;
constexpr int CMD_NORMALISE_INDENT = 32788;
constexpr int CMD_STRIP_INDENT = 32789;
constexpr int CMD_DELETE_BLANK_LINES = 32790;
constexpr int CMD_STATISTICS = 32791;
constexpr int CMD_SPLIT_BY_INDENT = 32792;
constexpr int CMD_SPLIT_CHINESE_NUMBERS = 32794;
constexpr int CMD_STYLE_BODY = 32811;
constexpr int CMD_STYLE_NOTE = 32815;
constexpr int CMD_PASTE_HEX = 32817;
constexpr int CMD_TOGGLE_WRAP = 32818;
constexpr int CMD_TOGGLE_LINE_NUMBERS = 32819;
constexpr int CMD_SELECT_BRACKETS = 32820;
constexpr int CMD_SPACES_COMMAS = 32821;
constexpr int CMD_QUICK_SPACE = 32833;
constexpr int CMD_QUICK_DIGITS = 32834;
constexpr int CMD_QUICK_LETTERS = 32835;
constexpr int CMD_HELP_TEXT = 32836;
constexpr int CMD_SUM_NUMBERS = 32837;
constexpr int CMD_SORT_CARET_COLUMN = 32838;
constexpr int CMD_FULL_TO_HALF = 32839;
constexpr int CMD_SCRAMBLE = 32841;
constexpr int CMD_DELETE_LINE = 32842;
constexpr int CMD_INSERT_DELETED_LINE = 32844;
constexpr int CMD_NARROW_GAP = 32845;
constexpr int CMD_WIDEN_GAP = 32846;
constexpr int CMD_DELETE_TO_LINE_START = 32847;
constexpr int CMD_DELETE_TO_LINE_END = 32849;
constexpr int CMD_TOGGLE_BOOKMARK = 32850;
constexpr int CMD_PREVIOUS_BOOKMARK = 32851;
constexpr int CMD_NEXT_BOOKMARK = 32852;
constexpr int CMD_UNDO = 32854;
constexpr int CMD_REDO = 32856;
constexpr int CMD_SET_LINE_ENDS = 32857;
constexpr int CMD_PLAY_SEQUENCE = 32859;
constexpr int CMD_RECORD_SEQUENCE = 32861;
constexpr int CMD_TO_LOWER = 32864;
constexpr int CMD_TO_UPPER = 32866;
constexpr int CMD_EXPORT_PAGE = 32867;
constexpr int CMD_SORT_DATA_COLUMN = 32868;
constexpr int CMD_COPY_DATA_COLUMN = 32869;
constexpr int CMD_TIDY_STATEMENT = 32871;
constexpr int CMD_QUIZ = 32808;

// ---- Resources ----
constexpr int RESOURCE_MENU = 109;
constexpr int RESOURCE_ICON = 132;
constexpr int RESOURCE_SOUND_RIGHT = 135;
constexpr int RESOURCE_SOUND_CLICK = 138;

// Low and high 16-bit words of a message parameter.
constexpr unsigned lowWord(uintptr_t value) { return static_cast<unsigned>(value & 0xFFFF); }
constexpr unsigned highWord(uintptr_t value) { return static_cast<unsigned>((value >> 16) & 0xFFFF); }
constexpr int signedLowWord(intptr_t value) { return static_cast<int16_t>(value & 0xFFFF); }
constexpr int signedHighWord(intptr_t value) { return static_cast<int16_t>((value >> 16) & 0xFFFF); }
