// A scriptable stand-in for the platform seam: records what the core asked of the system
// and answers from a script, so behaviour can be checked without Windows.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

struct ShownMessageBox {
    std::string text, caption;
    unsigned flags;
    bool ownedByFindDialog = false;  // shown over the open Find/Replace dialog
    bool ownedByQuizDialog = false;  // shown over the quiz dialog
};

struct InvalidatedRect {
    int left, top, right, bottom;
    bool erase;
};

// One control of the quiz dialog as the core left it.
struct FakeQuizControl {
    std::string text;
    bool ticked = false, visible = true, enabled = true;
    platform::ControlRect rect{11, 26, 573, 78};
    platform::FontRequest font;
};

struct FakePlatform {
    // ---- Recorded ----
    std::vector<ShownMessageBox> messageBoxes;
    std::string title;
    std::vector<std::string> titles;
    std::map<int, bool> menuChecks;
    std::map<int, bool> menuEnabled;
    std::vector<int> sounds;
    std::vector<int> quitCodes;
    bool caretExists = false, caretVisible = false;
    int caretX = -1, caretY = -1, caretWidth = 0, caretHeight = 0;
    int invalidations = 0;
    std::vector<InvalidatedRect> invalidatedRects;  // by invalidateRect, in order
    std::vector<platform::MenuItem> lastPopupMenu;
    int popupX = 0, popupY = 0;
    std::vector<platform::FileDialogRequest> fileDialogs;
    int scrollMin = 0, scrollMax = 0, scrollPage = 0, scrollPos = 0;
    int scrollTrack = 0;  // scripted: where the user drags the thumb
    bool mouseCaptured = false;
    std::map<int, unsigned> timers;
    std::map<int, platform::FontRequest> fonts;  // the last font asked for, by slot
    std::vector<platform::MessageWindowRequest> messageWindows;
    int aboutBoxes = 0;
    std::vector<platform::FindDialogRequest> findDialogsCreated;
    int findDialogsDestroyed = 0;
    void* findDialog = nullptr;  // the open Find/Replace dialog, null when none
    int mainWindowFocused = 0;   // times the focus was given back to the main window
    // The quiz dialog: whether it exists and is shown, how often it was made and brought
    // forward, and its controls by ID (fresh in every new dialog).
    bool quizOpen = false, quizVisible = false;
    int quizDialogsCreated = 0, quizBroughtForward = 0;
    std::map<int, FakeQuizControl> quizControls;
    int quizFocus = 0;  // the quiz control with the keyboard focus, 0 for none

    // ---- Scripted ----
    std::deque<int> messageBoxAnswers;  // answer of the next boxes; ANSWER_OK when empty
    std::set<int> keysDown;             // virtual keys held down
    std::string clipboard;
    bool clipboardHasText = false;
    std::u16string clipboardUnicode;  // the Unicode form Kesh gave with the text
    bool clipboardHasUnicode = false;
    bool clipboardRefuses = false;  // another program holds the clipboard: nothing can be put on it
    std::deque<std::string> fileDialogAnswers;  // empty string: the user cancels
    int clientWidth = 800, clientHeight = 600;
    bool hasFocus = true;  // the main window has the keyboard focus
    platform::LocalTime time{2026, 12, 7, 8, 30, 5};
    std::string workingDirectory = "/work/dir";
    std::string localAppData;  // empty: the system names no such folder
    long writableBytes = -1;         // files opened for writing take this many bytes, then fail (-1: no limit)
    bool flushToDiskFails = false;
    bool replaceFileFails = false;
    bool findDialogFails = false;         // the Find/Replace dialog cannot be created
    platform::FindDialogReport findDialogReport;  // what the dialog's next notification says
};

// The one fake every test talks to; reset before each test.
FakePlatform& fake();
void resetFakePlatform();
