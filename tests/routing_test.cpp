// Key bindings, CommandMap and the window procedure's routing of messages.
#include <string>
#include <vector>

#include "view/active_window.h"
#include "app/command_map.h"
#include "app/dispatcher.h"
#include "app/key_bindings.h"
#include "app/message_loop.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "app/startup.h"
#include "app/window_proc.h"
#include "document/selection.h"
#include "support/test_document.h"
#include "view/view_state.h"
#include "files/close_document.h"

namespace {

// Presses a key with the given modifiers held, as the window procedure receives it.
MessageResult pressKey(int virtualKey, int modifiers) {
    fake().keysDown.clear();
    if (modifiers & KEYMOD_CTRL) fake().keysDown.insert(VKEY_CONTROL);
    if (modifiers & KEYMOD_SHIFT) fake().keysDown.insert(VKEY_SHIFT);
    const MessageResult result = handleMessage(MSG_KEYDOWN, static_cast<uintptr_t>(virtualKey), 0);
    fake().keysDown.clear();
    return result;
}

std::vector<RecordedSlot> recordedSequence() {
    std::vector<RecordedSlot> events;
    for (const RecordedEvent* e = recorder.sequence; e; e = e->next) events.push_back({e->message, e->wParam, e->lParam});
    return events;
}

bool sameEvent(const RecordedSlot& slot, uint32_t message, uint32_t wParam) {
    return slot.message == message && slot.wParam == wParam;
}

class RoutingTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        buildKeyBindingTable();
        recordEvent(0, 0, 0);  // a marker that no key produces
    }
};

}  // namespace

// ==== The binding table ====

TEST(KeyBindingTableTest, DefaultsHaveNinetyFourDistinctKeys) {
    int count = 0;
    while (DEFAULT_KEY_BINDINGS[count].virtualKey != 0) ++count;
    EXPECT_EQ(count, 94);
    freeKeyBindingTable();
    buildKeyBindingTable();
    EXPECT_EQ(keyBindingTable.count, 94);  // no two defaults share a key and modifiers
    EXPECT_EQ(keyBindingTable.capacity, 95);  // grown five entries at a time
    freeKeyBindingTable();
}

TEST(KeyBindingTableTest, AddOrReplaceOverwritesTheSameKeyAndModifiers) {
    freeKeyBindingTable();
    addOrReplaceBinding('A', KEYMOD_CTRL, 1);
    EXPECT_EQ(keyBindingTable.capacity, 5);
    addOrReplaceBinding('A', KEYMOD_CTRL_SHIFT, 2);
    addOrReplaceBinding('A', KEYMOD_CTRL, 3);
    EXPECT_EQ(keyBindingTable.count, 2);
    EXPECT_EQ(findKeyAction('A', KEYMOD_CTRL), 3);
    EXPECT_EQ(findKeyAction('A', KEYMOD_CTRL_SHIFT), 2);
    EXPECT_EQ(findKeyAction('A', KEYMOD_NONE), 0);
    for (int key = 'B'; key <= 'F'; ++key) addOrReplaceBinding(key, KEYMOD_NONE, key);
    EXPECT_EQ(keyBindingTable.count, 7);
    EXPECT_EQ(keyBindingTable.capacity, 10);
    EXPECT_EQ(findKeyAction('F', KEYMOD_NONE), 'F');
    freeKeyBindingTable();
}

TEST(CommandMapTest, MapsCodesToCommandsOrEditorActions) {
    int command = -1;
    ASSERT_TRUE(lookUpCommandMap(772, command));
    EXPECT_EQ(command, CMD_UNDO);
    ASSERT_TRUE(lookUpCommandMap(2073, command));
    EXPECT_EQ(command, 0);
    ASSERT_TRUE(lookUpCommandMap(519, command));
    EXPECT_EQ(command, 0);
    EXPECT_FALSE(lookUpCommandMap(2068, command));  // New, Open and Delete are not mapped
    EXPECT_FALSE(lookUpCommandMap(2069, command));
    EXPECT_FALSE(lookUpCommandMap(771, command));
    EXPECT_FALSE(lookUpCommandMap(0, command));
}

// ==== Keys reach their commands ====

TEST_F(RoutingTest, KeysReachTheirCommandsThroughTheBindings) {
    setDocument({"text"});
    struct Case { int key; int modifiers; int command; };
    const Case cases[] = {
        {'Z', KEYMOD_CTRL, CMD_UNDO},          {'Y', KEYMOD_CTRL, CMD_REDO},
        {'S', KEYMOD_CTRL, CMD_SAVE},          {vkeyFunction(2), KEYMOD_NONE, CMD_SAVE},
        {'C', KEYMOD_CTRL, CMD_COPY},          {VKEY_INSERT, KEYMOD_CTRL, CMD_COPY},
        {'X', KEYMOD_CTRL, CMD_CUT},           {VKEY_DELETE, KEYMOD_SHIFT, CMD_CUT},
        {'V', KEYMOD_CTRL, CMD_PASTE},         {VKEY_INSERT, KEYMOD_SHIFT, CMD_PASTE},
        {'R', KEYMOD_CTRL, CMD_FIND_AGAIN},    {vkeyFunction(3), KEYMOD_NONE, CMD_FIND_AGAIN},
        {'F', KEYMOD_CTRL, CMD_FIND},          {vkeyFunction(5), KEYMOD_NONE, CMD_FIND},
        {VKEY_OEM_COMMA, KEYMOD_CTRL, CMD_NARROW_GAP}, {VKEY_OEM_4, KEYMOD_CTRL, CMD_NARROW_GAP},
        {VKEY_OEM_PERIOD, KEYMOD_CTRL, CMD_WIDEN_GAP}, {VKEY_OEM_6, KEYMOD_CTRL, CMD_WIDEN_GAP},
        {VKEY_RIGHT, KEYMOD_CTRL, CMD_QUICK_LETTERS}, {'8', KEYMOD_CTRL, CMD_QUICK_LETTERS},
        {VKEY_DOWN, KEYMOD_CTRL, CMD_QUICK_DIGITS},   {'9', KEYMOD_CTRL, CMD_QUICK_DIGITS},
        {'0', KEYMOD_CTRL, CMD_QUICK_SPACE},   {'Q', KEYMOD_CTRL, CMD_SPACES_COMMAS},
        {'E', KEYMOD_CTRL, CMD_NORMALISE_INDENT}, {'E', KEYMOD_CTRL_SHIFT, CMD_STRIP_INDENT},
        {vkeyFunction(9), KEYMOD_SHIFT, CMD_INSERT_DELETED_LINE}, {VKEY_BACK, KEYMOD_CTRL, CMD_DELETE_TO_LINE_START},
        {VKEY_NEXT, KEYMOD_CTRL, CMD_NEXT_BOOKMARK},  {VKEY_RETURN, KEYMOD_CTRL, CMD_TOGGLE_BOOKMARK},
    };
    for (const Case& c : cases) {
        pressKey(c.key, c.modifiers);
        EXPECT_TRUE(sameEvent(latestEvent(), MSG_COMMAND, static_cast<uint32_t>(c.command)))
            << "key " << c.key << " mods " << c.modifiers << " gave " << latestEvent().wParam;
    }
}

TEST_F(RoutingTest, EditorActionKeysReachTheEditorActionRoutine) {
    setDocument({"text"});
    struct Case { int key; int modifiers; uint32_t action; };
    const Case cases[] = {
        {VKEY_DOWN, KEYMOD_NONE, 2073}, {VKEY_UP, KEYMOD_CTRL, 2091}, {VKEY_LEFT, KEYMOD_CTRL, 2093},
        {'8', KEYMOD_CTRL_SHIFT, 2093}, {'9', KEYMOD_CTRL_SHIFT, 2091}, {'0', KEYMOD_CTRL_SHIFT, 2092},
        {VKEY_ESCAPE, KEYMOD_NONE, 2057}, {VKEY_INSERT, KEYMOD_NONE, 2067}, {'L', KEYMOD_CTRL, 2070},
        {VKEY_LEFT, KEYMOD_CTRL_SHIFT, 2088}, {VKEY_RIGHT, KEYMOD_CTRL_SHIFT, 2090},
    };
    for (const Case& c : cases) {
        pressKey(c.key, c.modifiers);
        EXPECT_TRUE(sameEvent(latestEvent(), c.action, 0)) << "key " << c.key << " mods " << c.modifiers;
    }
}

TEST_F(RoutingTest, ModifiersMustMatchExactly) {
    setDocument({"text"});
    pressKey(VKEY_DOWN, KEYMOD_CTRL_SHIFT);  // no such binding
    EXPECT_TRUE(sameEvent(latestEvent(), 0, 0));
    pressKey('Z', KEYMOD_NONE);
    EXPECT_TRUE(sameEvent(latestEvent(), 0, 0));
}

TEST_F(RoutingTest, DeleteKeyIsRecordedAsClear) {
    setDocument({"text"});
    pressKey(VKEY_DELETE, KEYMOD_NONE);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_CLEAR, 0));
}

// ==== Without a document ====

TEST_F(RoutingTest, WithoutADocumentOnlyNewAndOpenKeysAct) {
    pressKey('S', KEYMOD_CTRL);
    handleMessage(MSG_CHAR, 'a', 0);
    handleMessage(MSG_MOUSEWHEEL, 0xFF880000u, 0);
    handleMessage(MSG_CLEAR, 0, 0);
    EXPECT_TRUE(sameEvent(latestEvent(), 0, 0));

    pressKey('O', KEYMOD_CTRL);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_COMMAND, CMD_OPEN));
    EXPECT_EQ(fake().fileDialogs.size(), 1u);
    pressKey('N', KEYMOD_CTRL);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_COMMAND, CMD_NEW));
}

TEST_F(RoutingTest, DispatcherRecordsEveryCommandButRunsDocumentCommandsOnlyWithADocument) {
    dispatchCommand(CMD_SAVE, 0);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_COMMAND, CMD_SAVE));
    dispatchCommand(12345, 7);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_COMMAND, 12345));
    EXPECT_EQ(latestEvent().lParam, 7u);
    EXPECT_TRUE(sameEvent(previousEvent(), MSG_COMMAND, CMD_SAVE));
}

// ==== Characters, Delete and the input method ====

TEST_F(RoutingTest, ControlCharactersAreIgnoredAndOthersRecorded) {
    setDocument({""});
    for (uintptr_t ch : {0x00u, 0x08u, 0x0Du, 0x1Fu, 0x7Fu}) {
        handleMessage(MSG_CHAR, ch, 0);
        EXPECT_TRUE(sameEvent(latestEvent(), 0, 0)) << ch;
    }
    handleMessage(MSG_CHAR, 'a', 0);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_CHAR, 'a'));
    handleMessage(MSG_CHAR, 0xD6, 0);  // the first byte of a double-byte character
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_CHAR, 0xD6));
}

TEST_F(RoutingTest, InputMethodCharactersAreRecordedAndNotPassedOn) {
    setDocument({""});
    const MessageResult result = handleMessage(MSG_IME_CHAR, 0xD6D0, 0);
    EXPECT_FALSE(result.callDefault);
    EXPECT_EQ(result.value, 1);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_IME_CHAR, 0xD6D0));
    closeDocument();
    EXPECT_TRUE(handleMessage(MSG_IME_CHAR, 0xD6D0, 0).callDefault);
}

// ==== Window messages ====

TEST_F(RoutingTest, WheelMovesAFixedNumberOfLinesPerMessage) {
    setDocument({"a"});
    recorder.recording = true;
    struct Case { int height; uintptr_t wParam; uint32_t action; size_t steps; };
    const Case cases[] = {
        {600, 0xFF880000u, 2073, 4},  // towards the user: (25 - 1) / 7 + 1
        {600, 0x00780000u, 2077, 3},  // away: (25 - 1) / 9 + 1
        {720, 0xFF880000u, 2073, 5},
        {720, 0x00780000u, 2077, 4},
        {600, 0, 2073, 4},            // a zero delta counts as towards the user
        {23, 0xFF880000u, 0, 0},      // less than one row: nothing
    };
    for (const Case& c : cases) {
        freeSequence();
        view.clientHeight = c.height;
        handleMessage(MSG_MOUSEWHEEL, c.wParam, 0);
        const auto events = recordedSequence();
        EXPECT_EQ(events.size(), c.steps) << c.height;
        for (const auto& e : events) EXPECT_EQ(e.message, c.action);
    }
    recorder.recording = false;
}

TEST_F(RoutingTest, SizeAndCreateKeepTheClientRectangle) {
    fake().clientWidth = 640;
    fake().clientHeight = 480;
    handleMessage(MSG_CREATE, 0, 0);
    EXPECT_EQ(view.clientWidth, 640);
    EXPECT_EQ(view.clientHeight, 480);
    handleMessage(MSG_SIZE, SIZE_TYPE_RESTORED, (300 << 16) | 400);
    EXPECT_EQ(view.clientWidth, 400);
    EXPECT_EQ(view.clientHeight, 300);
    setDocument({"a"});
    handleMessage(MSG_SIZE, 2, (200 << 16) | 100);
    EXPECT_EQ(view.clientWidth, 100);
    EXPECT_EQ(view.clientHeight, 200);
}

TEST_F(RoutingTest, ResizingRewrapsWithoutMarkingTheDocumentModified) {
    setDocument({std::string(60, 'x') + " " + std::string(60, 'y')});
    view.wrapMode = 1;
    handleMessage(MSG_SIZE, SIZE_TYPE_RESTORED, (300 << 16) | 400);
    EXPECT_GT(documentLines().size(), 1u);  // 12 px a byte: the paragraph now takes rows
    EXPECT_EQ(doc.modified, 0);
    EXPECT_EQ(fake().title.find(" * "), std::string::npos);
    doc.modified = 1;
    handleMessage(MSG_SIZE, SIZE_TYPE_RESTORED, (300 << 16) | 800);
    EXPECT_EQ(doc.modified, 1);  // an edited document stays edited
}

TEST_F(RoutingTest, CloseRunsExitAndNeverDestroysTheWindowByDefault) {
    setDocument({"a"});
    const MessageResult result = handleMessage(MSG_CLOSE, 0, 0);
    EXPECT_FALSE(result.callDefault);
    EXPECT_EQ(result.value, 0);
    EXPECT_TRUE(sameEvent(latestEvent(), MSG_COMMAND, CMD_EXIT));
    EXPECT_EQ(fake().quitCodes, std::vector<int>{0});
    EXPECT_FALSE(hasDocument());
}

TEST_F(RoutingTest, DroppedFileReplacesTheDocument) {
    setDocument({"old"});
    dropFile(writeTempFile("dropped.txt", "new"));
    EXPECT_EQ(documentLines(), std::vector<std::string>{"new"});
}

TEST_F(RoutingTest, ContextMenuWithoutADocumentOffersThreeItems) {
    handleMessage(MSG_CONTEXTMENU, 0, (200 << 16) | 100);
    ASSERT_EQ(fake().lastPopupMenu.size(), 3u);
    EXPECT_EQ(fake().lastPopupMenu[0].text, "新建文件");
    EXPECT_EQ(fake().lastPopupMenu[1].text, "打开文件");
    EXPECT_EQ(fake().lastPopupMenu[2].commandId, CMD_EXIT);
    EXPECT_EQ(fake().popupX, 96);
    EXPECT_EQ(fake().popupY, 200);
}

TEST_F(RoutingTest, ContextMenuWithADocumentFollowsSelectionAndUndoState) {
    setDocument({"a"});
    view.clientHeight = 600;
    handleMessage(MSG_CONTEXTMENU, 0, 0);
    std::vector<int> ids;
    for (const auto& item : fake().lastPopupMenu) ids.push_back(item.commandId);
    EXPECT_EQ(ids, (std::vector<int>{CMD_PASTE, CMD_SELECT_ALL, 0, CMD_FIND, CMD_SAVE, CMD_QUIZ}));

    markLineSelected(doc.head);
    handleMessage(MSG_CONTEXTMENU, 0, 0);
    EXPECT_EQ(fake().lastPopupMenu.size(), 14u);
    EXPECT_EQ(fake().lastPopupMenu[3].text, "复制TAB或,隔开的光标处数据列");
}

// ==== The message loop ====

TEST_F(RoutingTest, FocusDecidesWhereKeysGo) {
    EXPECT_EQ(beforeDispatch(FocusOwner::QuizDialog, MSG_KEYDOWN, 'T'), LoopStep::ForwardToQuiz);
    EXPECT_EQ(activeWindow, ACTIVE_QUIZ);
    EXPECT_EQ(beforeDispatch(FocusOwner::QuizDialog, MSG_KEYDOWN, 'N'), LoopStep::Dispatch);
    EXPECT_EQ(beforeDispatch(FocusOwner::Elsewhere, MSG_KEYDOWN, VKEY_RETURN), LoopStep::ForwardToQuiz);
    EXPECT_EQ(beforeDispatch(FocusOwner::FindDialog, MSG_KEYDOWN, 'T'), LoopStep::Dispatch);
    EXPECT_EQ(activeWindow, ACTIVE_FIND);
    EXPECT_EQ(beforeDispatch(FocusOwner::MainWindow, MSG_KEYDOWN, 'T'), LoopStep::Dispatch);
    EXPECT_EQ(activeWindow, ACTIVE_MAIN);
}

TEST(QuizKeys, ExactlyTheKeysTheQuizUses) {
    std::string letters;
    for (int key = 'A'; key <= 'Z'; ++key)
        if (isQuizKey(key)) letters += static_cast<char>(key);
    EXPECT_EQ(letters, "ABCDEFGHIJKLMORTUY");
    for (int key : {VKEY_RETURN, VKEY_END, VKEY_HOME, VKEY_LEFT, VKEY_UP, VKEY_RIGHT, VKEY_DOWN, VKEY_INSERT})
        EXPECT_TRUE(isQuizKey(key));
    EXPECT_FALSE(isQuizKey(VKEY_ESCAPE));
    EXPECT_FALSE(isQuizKey('1'));
}

TEST_F(RoutingTest, StartUpBuildsBindingsAndLoadsTheCommandLine) {
    freeKeyBindingTable();
    const std::string path = writeTempFile("start.txt", "hello");
    startKesh(("\"" + path + "\"").c_str());
    EXPECT_EQ(keyBindingTable.count, 94);
    EXPECT_EQ(documentLines(), std::vector<std::string>{"hello"});
    shutDownKesh();
    EXPECT_FALSE(hasDocument());
    EXPECT_EQ(keyBindingTable.count, 0);
}
