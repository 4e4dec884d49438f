// Recording key sequences with F7 and playing them back with F6.
#include <string>
#include <vector>

#include "app/dispatcher.h"
#include "app/key_bindings.h"
#include "app/message_loop.h"
#include "app/messages.h"
#include "app/recorder.h"
#include "app/window_proc.h"
#include "support/editing_driver.h"
#include "support/test_document.h"
#include "view/view_state.h"
#include "files/close_document.h"

namespace {

constexpr uint32_t DISABLED = 0;

struct Event {
    uint32_t message, wParam;
    bool operator==(const Event& other) const { return message == other.message && wParam == other.wParam; }
};

std::ostream& operator<<(std::ostream& out, const Event& e) { return out << "{" << e.message << ", " << e.wParam << "}"; }

std::vector<Event> sequence() {
    std::vector<Event> events;
    for (const RecordedEvent* e = recorder.sequence; e; e = e->next) events.push_back({e->message, e->wParam});
    return events;
}

Event latest() { return {latestEvent().message, latestEvent().wParam}; }

class RecorderTest : public EditingTest {
protected:
    void f6() { press(vkeyFunction(6)); }
    void f7() { press(vkeyFunction(7)); }
    void type(const std::string& text) {
        for (char c : text) handleMessage(MSG_CHAR, static_cast<unsigned char>(c), 0);
    }
};

}  // namespace

// ==== Recording ====

TEST_F(RecorderTest, RecordThenPlayTypesTheSameTextAgain) {
    setDocument({""});
    f7();
    EXPECT_TRUE(recorder.recording);
    EXPECT_TRUE(fake().menuChecks[CMD_RECORD_SEQUENCE]);
    type("abc");
    f7();
    EXPECT_FALSE(recorder.recording);
    EXPECT_FALSE(fake().menuChecks[CMD_RECORD_SEQUENCE]);
    const std::vector<Event> recorded = {
        {MSG_CHAR, 'a'}, {MSG_CHAR, 'b'}, {MSG_CHAR, 'c'}, {DISABLED, CMD_RECORD_SEQUENCE}};
    EXPECT_EQ(sequence(), recorded);
    EXPECT_EQ(fake().sounds, (std::vector<int>{RESOURCE_SOUND_CLICK, RESOURCE_SOUND_CLICK}));

    recorder.stopRequest = true;  // left by an earlier failed search: playing starts afresh
    f6();
    EXPECT_EQ(documentLines(), std::vector<std::string>{"abcabc"});
    EXPECT_EQ(sequence(), recorded);  // playing leaves the sequence as it was
    EXPECT_EQ(latest(), (Event{MSG_CHAR, 'c'}));
    f6();
    EXPECT_EQ(documentLines(), std::vector<std::string>{"abcabcabc"});
}

TEST_F(RecorderTest, PlayingWhileRecordingStopsTheRecordingFirst) {
    setDocument({""});
    f7();
    type("x");
    f6();
    EXPECT_FALSE(recorder.recording);
    EXPECT_EQ(fake().sounds.size(), 2u);  // started and stopped
    EXPECT_EQ(sequence(), (std::vector<Event>{
                              {MSG_CHAR, 'x'}, {DISABLED, CMD_PLAY_SEQUENCE}, {DISABLED, CMD_RECORD_SEQUENCE}}));
    EXPECT_EQ(documentLines(), std::vector<std::string>{"xx"});
}

TEST_F(RecorderTest, StartingARecordingDiscardsTheOldSequence) {
    setDocument({""});
    f7();
    type("ab");
    f7();
    f7();  // start again and stop at once: only the disabled stop is left
    f7();
    EXPECT_EQ(sequence(), (std::vector<Event>{{DISABLED, CMD_RECORD_SEQUENCE}}));
    f6();
    EXPECT_EQ(documentLines(), std::vector<std::string>{"ab"});
}

TEST_F(RecorderTest, PlayingAnEmptySequenceOnlyRecordsItsOwnCommand) {
    setDocument({"q"});
    f6();
    EXPECT_EQ(documentLines(), std::vector<std::string>{"q"});
    EXPECT_EQ(latest(), (Event{MSG_COMMAND, CMD_PLAY_SEQUENCE}));
    EXPECT_TRUE(fake().sounds.empty());
    EXPECT_EQ(recorder.sequence, nullptr);
}

// Keys that change nothing in the document still become the latest event and are replayed.
TEST_F(RecorderTest, KeysThatChangeNothingAreRecordedAndReplayed) {
    setDocument({"text"});
    struct Case { int key; int modifiers; uint32_t action; };
    const Case cases[] = {
        {VKEY_ESCAPE, KEYMOD_NONE, 2057}, {VKEY_INSERT, KEYMOD_NONE, 2067}, {'L', KEYMOD_CTRL, 2070},
        {VKEY_LEFT, KEYMOD_CTRL_SHIFT, 2088}, {VKEY_RIGHT, KEYMOD_CTRL_SHIFT, 2090},
    };
    f7();
    for (const Case& c : cases) {
        press(c.key, c.modifiers);
        EXPECT_EQ(latest(), (Event{c.action, 0})) << c.key;
    }
    f7();
    std::vector<Event> expected;
    for (const Case& c : cases) expected.push_back({c.action, 0});
    expected.push_back({DISABLED, CMD_RECORD_SEQUENCE});
    EXPECT_EQ(sequence(), expected);
    f6();
    EXPECT_EQ(latest(), (Event{2090, 0}));
    EXPECT_EQ(previousEvent().message, 2088u);
}

// Input the user gives the window directly is recorded; the loop's Alt shortcuts, the
// mouse and window housekeeping are not.
TEST_F(RecorderTest, OnlyKeysCommandsAndCharactersAreRecorded) {
    setDocument({"abc def"});
    f7();
    struct Case { unsigned message; uintptr_t wParam; intptr_t lParam; bool recorded; };
    const Case cases[] = {
        {MSG_LBUTTONDOWN, 1, (10 << 16) | 30, false},
        {MSG_MOUSEMOVE, 1, (10 << 16) | 60, false},
        {MSG_LBUTTONUP, 0, (10 << 16) | 60, false},
        {MSG_SIZE, SIZE_TYPE_RESTORED, (600 << 16) | 800, false},
        {MSG_CHAR, 'q', 0, true},
        {MSG_IME_CHAR, 0xD6D0, 0, true},
        {MSG_CLEAR, 0, 0, true},
        {MSG_MOUSEWHEEL, 0x00780000u, 0, true},
        {MSG_VSCROLL, 1, 0, false},  // line down on the scroll bar
        {MSG_VSCROLL, 6, 0, false},  // to the top
    };
    for (const Case& c : cases) {
        const size_t before = sequence().size();
        handleMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(sequence().size() > before, c.recorded) << c.message;
    }
    const size_t before = sequence().size();
    beforeDispatch(FocusOwner::MainWindow, MSG_SYSKEYDOWN, 'I');  // Alt+I types "、"
    EXPECT_EQ(sequence().size(), before);
    EXPECT_TRUE(recorder.recording);
}

TEST_F(RecorderTest, TheBannerAreaIsRepaintedWithoutErasingOnStartAndStop) {
    setDocument({""});
    view.clientWidth = 640;
    for (bool recording : {true, false}) {
        fake().invalidatedRects.clear();
        f7();
        EXPECT_EQ(recorder.recording, recording);
        ASSERT_EQ(fake().invalidatedRects.size(), 1u);
        const InvalidatedRect& area = fake().invalidatedRects[0];
        EXPECT_EQ(area.left, 440);
        EXPECT_EQ(area.top, 33);
        EXPECT_EQ(area.right, 640);  // the banner, 187 px from the edge, may run to it
        EXPECT_EQ(area.bottom, 77);
        EXPECT_FALSE(area.erase);
    }
}

// The record and play menu items chosen without a document are recorded but do nothing,
// so they stay enabled in the sequence. Replaying them would free the sequence being
// played, or play it inside itself without end.
TEST_F(RecorderTest, RecordAndPlayCommandsRecordedWithoutADocumentAreNotReplayed) {
    setDocument({""});
    f7();
    closeDocument();
    handleMessage(MSG_COMMAND, CMD_RECORD_SEQUENCE, 0);
    handleMessage(MSG_COMMAND, CMD_PLAY_SEQUENCE, 0);
    EXPECT_TRUE(recorder.recording);
    setDocument({""});
    type("x");
    f7();
    EXPECT_EQ(sequence(), (std::vector<Event>{{MSG_COMMAND, CMD_RECORD_SEQUENCE},
                                              {MSG_COMMAND, CMD_PLAY_SEQUENCE},
                                              {MSG_CHAR, 'x'},
                                              {DISABLED, CMD_RECORD_SEQUENCE}}));
    f6();
    EXPECT_FALSE(recorder.recording);
    EXPECT_EQ(documentLines(), std::vector<std::string>{"xx"});
    EXPECT_EQ(sequence().size(), 4u);
}

TEST_F(RecorderTest, ALongSequencePlaysInALoop) {
    setDocument({"text"});
    constexpr int EVENTS = 200000;
    f7();
    for (int i = 0; i < EVENTS; ++i) press(i % 2 ? VKEY_INSERT : VKEY_ESCAPE);
    f7();
    EXPECT_EQ(sequence().size(), static_cast<size_t>(EVENTS) + 1);
    recordEvent(0, 0, 0);
    f6();
    EXPECT_EQ(latest(), (Event{2067, 0}));
    EXPECT_EQ(previousEvent().message, 2057u);
}
