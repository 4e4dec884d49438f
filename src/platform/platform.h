// The one seam between the portable core and the operating system.
//
// The core calls these free functions for everything it needs from the system; the
// Win32 adapter (src/win32/platform_win32.cpp) implements them with real Windows calls
// and the native tests implement them with a scriptable fake (tests/support/).
// All text crossing the seam is GBK (code page 936) bytes; the adapter converts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// ---- Message boxes ------------------------------------------------------------------
// Button and icon flags and the answers have the values Windows gives them, so the core
// can name a box exactly as the user will meet it.
constexpr unsigned BOX_OK = 0x0;
constexpr unsigned BOX_OK_CANCEL = 0x1;
constexpr unsigned BOX_YES_NO_CANCEL = 0x3;
constexpr unsigned BOX_YES_NO = 0x4;
constexpr unsigned BOX_ICON_ERROR = 0x10;
constexpr unsigned BOX_ICON_QUESTION = 0x20;
constexpr unsigned BOX_ICON_WARNING = 0x30;
constexpr unsigned BOX_ICON_INFORMATION = 0x40;
constexpr int ANSWER_OK = 1;
constexpr int ANSWER_CANCEL = 2;
constexpr int ANSWER_YES = 6;
constexpr int ANSWER_NO = 7;

// Shows a modal message box owned by the main window; returns the button pressed.
int showMessageBox(const std::string& text, const std::string& caption, unsigned flags);

// ---- Keyboard ----------------------------------------------------------------------
// True while the key with this virtual-key code is held down (GetKeyState negative).
bool isKeyDown(int virtualKey);

// ---- Clipboard ---------------------------------------------------------------------
// Replaces the clipboard's content with this text; false when the clipboard is busy.
// `unicode`, when given, is the text's Unicode form for programs that read it (UTF-16
// units), used instead of the system's conversion of the GBK text.
bool setClipboardText(const std::string& text, const std::u16string* unicode = nullptr);
// Reads the clipboard's text; false when it holds no text.
bool getClipboardText(std::string& text);
// Reads the clipboard's text as UTF-16 units; false when it holds no text.
bool getClipboardUnicode(std::u16string& text);

// ---- Main window -------------------------------------------------------------------
void setWindowTitle(const std::string& title);
// Size of the main window's client area in pixels.
void getClientSize(int& width, int& height);
// Marks a rectangle of the client area for repainting (erase: clear it first).
void invalidateRect(int left, int top, int right, int bottom, bool erase);
// Marks the whole client area for repainting.
void invalidateAll(bool erase);
void checkMenuItem(int commandId, bool checked);
void enableMenuItem(int commandId, bool enabled);
// Ends the message loop: the program exits with this code once the loop returns.
void postQuit(int exitCode);
// One item of a pop-up menu; command 0 is a separator.
struct MenuItem {
    int commandId;
    std::string text;  // GBK
};
// Shows a pop-up menu owned by the main window at a screen position, aligned left and
// top and tracked with the left button; the chosen item arrives later as a command.
void showPopupMenu(const std::vector<MenuItem>& items, int screenX, int screenY);

// ---- System caret ------------------------------------------------------------------
// True while the main window has the keyboard focus (the caret belongs to the window
// that has it, so the main window makes a caret only then).
bool hasKeyboardFocus();
void createCaret(int width, int height);
void setCaretPosition(int x, int y);
void showCaret();
void hideCaret();
void destroyCaret();

// ---- Vertical scroll bar -----------------------------------------------------------
void setScrollBar(int minimum, int maximum, int page, int position);
struct ScrollBarState {
    int minimum = 0, maximum = 0, page = 0, position = 0;
    int trackPosition = 0;  // where the thumb is being dragged (full 32 bits)
};
// Reads the vertical scroll bar as it stands.
ScrollBarState getScrollBar();

// ---- Mouse capture -----------------------------------------------------------------
void captureMouse();
void releaseMouse();

// ---- Fonts and text extents --------------------------------------------------------
// Screen pixels per logical inch, vertically (96 on most screens).
int screenPixelsPerInchY();
struct FontRequest {
    int height = 0;          // negative: character height in pixels
    bool bold = false;
    bool italic = false;
    std::string faceName;    // GBK, at most 31 bytes are used
};
struct FontMetrics {
    int height = 0, ascent = 0, descent = 0, externalLeading = 0, averageCharWidth = 0;
};
// Creates a font for one of the editor's line styles in slot `slot` (replacing what the
// slot held) and reports its metrics.
FontMetrics createFont(int slot, const FontRequest& request);
// Width in pixels of these GBK bytes drawn in the font of `slot`.
int textExtent(int slot, const char* bytes, int length);

// ---- Files -------------------------------------------------------------------------
// Opens a file named in GBK with a C stdio mode ("rb", "wb"); null on failure.
FILE* openFile(const std::string& path, const char* mode);
// Flushes a stream opened for writing down to the disk; false when that fails.
bool flushToDisk(FILE* file);
// Moves `temporary` into the place of `target`, replacing it in one step; false on failure.
bool replaceFile(const std::string& temporary, const std::string& target);
// Deletes a file; false when it cannot be deleted.
bool removeFile(const std::string& path);
// The absolute form of a path (as _fullpath makes it); false when it cannot be formed.
bool fullPath(const std::string& path, std::string& absolute);
// What the system knows of a file without opening it.
struct FileStamp {
    bool exists = false;
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;  // the system's own clock units; compared, never shown
};
FileStamp fileStamp(const std::string& path);
// Creates one folder (its parent must exist); true when the folder exists afterwards.
bool createFolder(const std::string& path);
// The user's local application-data folder, without a trailing separator; empty when the
// system does not name one.
std::string localAppDataFolder();
struct FileDialogRequest {
    std::string title;       // GBK
    std::string filter;      // pairs separated by '|', as "Text(.txt)|*.txt|"
    std::string initialName; // proposed file name, may be empty
    bool hideReadOnly = true;
};
// Shows the common Open dialog; false when the user cancelled.
bool chooseFile(const FileDialogRequest& request, std::string& chosen);

// ---- Text conversion ---------------------------------------------------------------
// Converts one UTF-16 code unit to the ANSI code page (code page 936); returns the
// number of bytes written to out (at most 4), 0 when the conversion fails.
int utf16UnitToAnsi(uint16_t unit, char out[4]);
// Converts one code page 936 character (one byte, or a first and a second byte) to its
// UTF-16 unit; false when the bytes are not a character of the code page.
bool codePage936ToUnit(const char* bytes, int length, uint16_t& unit);

// ---- Sounds, timers, time ----------------------------------------------------------
// Starts playing one of the program's own WAVE resources without waiting for it.
void playSound(int resourceId);
void setTimer(int timerId, unsigned milliseconds);
void killTimer(int timerId);
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime localTime();

// ---- Message window and About box -------------------------------------------------
// The window that owns a dialog and is disabled while the dialog is up.
enum class DialogOwner { MainWindow, QuizDialog };
struct MessageWindowRequest {
    DialogOwner owner = DialogOwner::MainWindow;
    std::string text;          // GBK, shown as one line
    uint32_t background = 0;   // colour of the whole window, 0x00BBGGRR
    uint32_t textColour = 0;   // 0x00BBGGRR, drawn on a transparent background
    FontRequest font;          // a GB2312 font; weight 400 unless bold
    int bottomMargin = 0;      // the text is centred in the window less this many pixels at the bottom
    unsigned duration = 0;     // milliseconds until the window closes itself
};
// Shows the borderless message window (dialog 133) modally; returns once it has closed,
// by its timer or earlier by Enter or Esc.
void showMessageWindow(const MessageWindowRequest& request);
// Shows the modal About box (dialog 106) owned by the main window.
void showAboutBox();

// ---- Quiz dialog (dialog 134) ------------------------------------------------------
// The quiz dialog is modeless and owned by the main window; there is at most one. Its
// controls are named by their IDs in the dialog template. Positions and sizes are pixels
// in the dialog's client area.
// A message box owned by `owner` (the main window when that window is gone).
int showOwnedMessageBox(DialogOwner owner, const std::string& text, const std::string& caption, unsigned flags);
// Creates the quiz dialog hidden; false when it cannot be made.
bool createQuizDialog();
// True while the quiz dialog exists.
bool quizDialogExists();
// Shows the quiz dialog (after it has been filled).
void showQuizDialog();
// Shows, raises and activates the open quiz dialog.
void bringQuizDialogForward();
// Destroys the quiz dialog; nothing happens when there is none.
void destroyQuizDialog();
struct ControlRect {
    int left = 0, top = 0, width = 0, height = 0;
};
ControlRect getQuizControlRect(int controlId);
void placeQuizControl(int controlId, const ControlRect& rect);
// Control texts are GBK; reading keeps at most `maxBytes` bytes, cut on a character boundary.
void setQuizControlText(int controlId, const std::string& text);
std::string getQuizControlText(int controlId, int maxBytes);
bool isQuizBoxTicked(int controlId);
void setQuizBoxTicked(int controlId, bool ticked);
void showQuizControl(int controlId, bool visible);
void enableQuizControl(int controlId, bool enabled);
// Gives a control the font described (GB2312 character set, weight 400 unless bold); the
// dialog keeps one such font for all its controls while it lives.
void setQuizControlFont(int controlId, const FontRequest& font);
// The ID of the quiz control that has the keyboard focus; 0 when none has.
int quizFocusControl();
// Moves the keyboard focus to a control of the quiz dialog.
void focusQuizControl(int controlId);

// ---- Find and Replace dialogs ------------------------------------------------------
// The system's modeless common Find and Replace dialogs. At most one is open; its buttons
// reach the core later as the find/replace notification message.
struct FindDialogRequest {
    bool replace = false;     // the Replace dialog, with its template box and buttons
    std::string findText;     // GBK, shown in the find box
    std::string replaceText;  // GBK, shown in the template box (Replace only)
    uint32_t flags = 0;       // the FR_ bits the dialog starts with
    int textLimit = 0;        // bytes each text may take, terminator included
    // GBK, shown over the dialog when a text typed or pasted into a box did not fit in
    // textLimit - 1 bytes and was cut to whole characters that do.
    std::string textCutMessage, textCutCaption;
};
// Opens the dialog, owned by the main window; returns its handle, null when it failed.
void* createFindDialog(const FindDialogRequest& request);
struct FindDialogReport {
    uint32_t flags = 0;       // the FR_ bits of the latest notification
    std::string findText;     // GBK, at most textLimit - 1 bytes, whole characters
    std::string replaceText;  // GBK, likewise (empty for the Find dialog)
};
// What the open dialog reported with its latest notification.
FindDialogReport readFindDialog();
// False when the dialog's window no longer exists (it was closed without the program
// hearing of it), so the handle must not keep a new dialog from opening.
bool findDialogExists(void* dialog);
// Closes the dialog from the program's side (no notification follows).
void destroyFindDialog(void* dialog);
// Gives the keyboard focus back to the main window.
void focusMainWindow();
// A modal message box owned by the open find dialog, or by the main window when none is
// open; returns the button pressed.
int showFindMessageBox(const std::string& text, const std::string& caption, unsigned flags);

}  // namespace platform
