// The undo ring: 1000 records in a circle, each the kind, position and text of one
// primitive edit. Undo and redo, which read it, live in undo_redo.
#pragma once

#include <cstddef>
#include <cstdint>

// Kinds: the message codes of the keys that cause them.
constexpr int UNDO_EMPTY = 0;
constexpr int UNDO_JOIN = 46;
constexpr int UNDO_TYPE = 258;
constexpr int UNDO_DELETE_SELECTION = 768;
constexpr int UNDO_PASTE = 770;
constexpr int UNDO_DELETE_CHAR = 771;
constexpr int UNDO_SPLIT = 2079;
// A command that changed whole lines in place (their texts or flags, never their number).
constexpr int UNDO_LINES = 2080;
// The records of one command, undone and redone as one step.
constexpr int UNDO_GROUP = 2081;
// A whole line taken out of the document.
constexpr int UNDO_REMOVE_LINE = 2082;

constexpr int UNDO_RING_SIZE = 1000;

// One entry of UndoRecord::lineEnds.
constexpr int lineEndAt(int position, bool soft) { return position * 2 + (soft ? 1 : 0); }
constexpr int lineEndPosition(int entry) { return entry / 2; }
constexpr bool lineEndIsSoft(int entry) { return (entry & 1) != 0; }

// UNDO_LINES: one line of such a change as the record holds it. Undo and redo swap it with
// the document's line, so the record keeps the state the document does not show: the
// line before the change while it is done, after it while it is undone.
struct LineImage {
    int index;            // the line's index in the document
    uint32_t flags;       // its LN_HARD_RETURN, LN_BOOKMARK and style bits
    char* text;           // owned; released through the line storage (it may be carved)
    uint64_t shownHash;   // fingerprint of what the document's line holds meanwhile
};

struct UndoRecord {
    int kind;
    int offset;  // caretOffset of the edit
    char* text;  // owned, or null
    // UNDO_SPLIT and UNDO_JOIN: the line break made or removed was a soft return (a wrap
    // point, which is never saved) rather than a hard one; undo and redo re-create it so.
    bool softReturn;
    // UNDO_DELETE_SELECTION: the line ends the selection crossed, in order, each as
    // lineEndAt(position in `text`, soft); a hard one stands where its CR LF is in the
    // text, a soft one adds nothing to the text. Owned, or null when there were none.
    int* lineEnds;
    int lineEndCount;
    // UNDO_LINES: the changed lines in index order (owned), and the caret offset after the
    // change (`offset` is the one before it).
    LineImage* images;
    int imageCount;
    int offsetAfter;
    // UNDO_GROUP: the records the command made, oldest first, packed one after another
    // into `groupLog` (owned; read them with readGroupMember), where each begins at
    // `memberStarts` (owned); and the anchor's offset before and after the command (-1:
    // none). `offset` and `offsetAfter` hold the caret's.
    char* groupLog;
    size_t* memberStarts;
    int memberCount;
    int anchorOffset;
    int anchorOffsetAfter;
    // UNDO_REMOVE_LINE: the removed line's flags (`offset` is where it began, `text` its
    // text). UNDO_JOIN: the style the joined line had and the bookmark of the line it took.
    uint32_t lineFlags;
    UndoRecord* prev;
    UndoRecord* next;
    // Order of recording (0 for a slot never used): walking back from `newest`, serials
    // fall until the oldest record; a rise means the walk has come round the ring.
    uint64_t serial;
};

struct UndoRing {
    UndoRecord* slots = nullptr;  // the 1000 records, owned
    UndoRecord* newest = nullptr;
    UndoRecord* current = nullptr;
    int undoStreak = 0;  // undo steps since the last redo or new record
    int replaying = 0;   // while non-zero no edit records
    // Set by redo: `current` then stands one past the record redo went over, also when
    // that is `newest`, so the next undo steps back to it and a new record takes the
    // place of the record that was not redone.
    bool afterRedo = false;
    uint64_t recordsMade = 0;  // serial of the latest record
};

extern UndoRing undoRing;

// Allocates the records and links them into the circle (start-up).
void initUndo();
// Empties every record; called when the document is closed.
void resetUndo();
// Frees every record (program exit).
void freeUndo();
// Advances `current` to a fresh record that becomes `newest`, overwriting the oldest
// when the ring is full; the caller fills kind, offset and text. A new record ends any
// run of undos and redos.
UndoRecord* pushUndo();
// True when `older` was recorded before `newer`: undo may step back from `newer` to it.
inline bool isRecordedBefore(const UndoRecord* older, const UndoRecord* newer) {
    return older->serial < newer->serial;
}
// Records an edit of `kind` at `offset` with a copy of `text`, unless replaying; returns
// the record, or null when nothing was recorded.
UndoRecord* recordEdit(int kind, int offset, const char* text);
// Gives `record` a copy of `text` (null counts as empty) in place of the text it had.
void setRecordText(UndoRecord* record, const char* text);
// Gives `record` a copy of `count` line-end entries (see UndoRecord::lineEnds).
void setLineEnds(UndoRecord* record, const int* entries, int count);
// Empties one record (it becomes UNDO_EMPTY), freeing what it owns.
void clearUndoRecord(UndoRecord* record);
// Gives `record` the `count` line images of `images` (taking the array and its texts).
void setLineImages(UndoRecord* record, LineImage* images, int count);
// While a group is open (groups nest), every record goes into it instead of the ring;
// closing the outermost group puts them into the ring as one UNDO_GROUP record, however
// many there are, so a large command neither pushes the history out nor loses its own
// first records.
void openUndoGroup();
// Closes the innermost group. Closing the outermost returns the UNDO_GROUP record it made
// (the caller fills in the caret and anchor), or null when the command recorded nothing;
// null too while an outer group stays open.
UndoRecord* closeUndoGroup();
// The `index`-th record of a group (0: the oldest) into `member`. Its text and line
// images stay the group's (`member` may change the images' contents, but nothing of it may
// be freed or kept after the group); its line ends last until the next member is read.
void readGroupMember(const UndoRecord* group, int index, UndoRecord& member);
// Moves `current` one record on; at `newest` it pushes an empty record instead.
void stepForward();
