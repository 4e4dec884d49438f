#include "document/undo_ring.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "document/line_storage.h"
#include "document/memory.h"

UndoRing undoRing;

namespace {

// How a record lies in a group's log, byte after byte with no padding: its offset (4
// bytes), kind (2) and a byte of the parts that follow, each only when the record has it:
// the text (its length in 4 bytes, then its bytes and terminator), the line ends (a count
// in 4 bytes, then the entries), the line images (a pointer the log owns and a count), and
// the caret offset after and line flags. A replacement thus costs 11 bytes and its text.
constexpr uint8_t PACKED_TEXT = 1, PACKED_SOFT_RETURN = 2, PACKED_LINE_ENDS = 4, PACKED_IMAGES = 8,
                  PACKED_AFTER = 16;

template <typename T>
void put(char*& at, const T& value) {
    std::memcpy(at, &value, sizeof value);
    at += sizeof value;
}

template <typename T>
T take(const char*& at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

// The record packed at `at` into `record` (text pointing into the log, line ends copied to
// `ends`); returns where the next record begins.
const char* unpack(const char* at, UndoRecord& record, std::vector<int>& ends) {
    record.offset = take<int32_t>(at);
    record.kind = take<uint16_t>(at);
    const uint8_t parts = take<uint8_t>(at);
    record.softReturn = (parts & PACKED_SOFT_RETURN) != 0;
    if (parts & PACKED_TEXT) {
        const uint32_t length = take<uint32_t>(at);
        record.text = const_cast<char*>(at);
        at += length + 1;
    }
    if (parts & PACKED_LINE_ENDS) {
        record.lineEndCount = take<int32_t>(at);
        ends.resize(static_cast<size_t>(record.lineEndCount));
        std::memcpy(ends.data(), at, sizeof(int) * ends.size());
        at += sizeof(int) * ends.size();
        record.lineEnds = ends.data();
    }
    if (parts & PACKED_IMAGES) {
        record.images = take<LineImage*>(at);
        record.imageCount = take<int32_t>(at);
    }
    if (parts & PACKED_AFTER) {
        record.offsetAfter = take<int32_t>(at);
        record.lineFlags = take<uint32_t>(at);
    }
    return at;
}

// A growing block of malloc'd memory whose ownership passes to the group record whole.
template <typename T>
struct GrowingArray {
    T* items = nullptr;
    size_t count = 0, capacity = 0;
    T* extend(size_t more) {
        if (count + more > capacity) {
            capacity = (count + more) * 2;
            T* grown = static_cast<T*>(std::realloc(items, capacity * sizeof(T)));
            if (grown == nullptr) std::exit(EXIT_STATUS_CORE);
            items = grown;
        }
        T* at = items + count;
        count += more;
        return at;
    }
};

// The group being recorded: the records packed so far, the newest one still open to its
// maker (it is packed when the next comes or the group closes), and the ring's own place.
struct OpenGroup {
    int depth = 0;
    bool staged = false;
    UndoRecord stage{};
    // The staged record's text lives here rather than in an allocation of its own: a
    // replace-all of a million matches packs a million texts.
    std::string stageText;
    bool stageTextInBuffer = false;
    GrowingArray<char> log;
    GrowingArray<size_t> starts;
    UndoRecord* ringNewest = nullptr;
    UndoRecord* ringCurrent = nullptr;
    int ringUndoStreak = 0;
    bool ringAfterRedo = false;
};
OpenGroup group;

// Frees what the packed records of a log own: their line images.
void freeLog(char* log, const size_t* starts, size_t count) {
    std::vector<int> ends;
    for (size_t i = 0; i < count; ++i) {
        UndoRecord packed{};
        unpack(log + starts[i], packed, ends);
        for (int k = 0; k < packed.imageCount; ++k) releaseLineText(packed.images[k].text);
        std::free(packed.images);
    }
    std::free(log);
    std::free(const_cast<size_t*>(starts));
}

// A record that owns nothing yet.
UndoRecord blankRecord() {
    UndoRecord record{};
    record.kind = UNDO_EMPTY;
    record.anchorOffset = record.anchorOffsetAfter = -1;
    return record;
}

// Empties one slot, freeing what it owns.
void clearRecord(UndoRecord& record) {
    // Most of the ring is empty; skipping free(nullptr) keeps a reset cheap under
    // allocators that record a stack trace for every call.
    if (record.text) std::free(record.text);
    if (record.lineEnds) std::free(record.lineEnds);
    if (record.images) {
        for (int i = 0; i < record.imageCount; ++i) releaseLineText(record.images[i].text);
        std::free(record.images);
    }
    record.images = nullptr;
    record.imageCount = 0;
    if (record.groupLog) freeLog(record.groupLog, record.memberStarts, static_cast<size_t>(record.memberCount));
    record.groupLog = nullptr;
    record.memberStarts = nullptr;
    record.memberCount = 0;
    record.anchorOffset = record.anchorOffsetAfter = -1;
    record.offsetAfter = 0;
    record.lineFlags = 0;
    record.text = nullptr;
    record.lineEnds = nullptr;
    record.lineEndCount = 0;
    record.softReturn = false;
    record.kind = UNDO_EMPTY;
}

// Packs the staged record into the log, which takes what it owns.
void packStage() {
    if (!group.staged) return;
    UndoRecord& record = group.stage;
    const size_t textLength = record.text ? std::strlen(record.text) : 0;
    const uint8_t parts = (record.text ? PACKED_TEXT : 0) | (record.softReturn ? PACKED_SOFT_RETURN : 0) |
                          (record.lineEndCount > 0 ? PACKED_LINE_ENDS : 0) | (record.images ? PACKED_IMAGES : 0) |
                          (record.offsetAfter != 0 || record.lineFlags != 0 ? PACKED_AFTER : 0);
    size_t size = sizeof(int32_t) + sizeof(uint16_t) + sizeof(uint8_t);
    if (parts & PACKED_TEXT) size += sizeof(uint32_t) + textLength + 1;
    if (parts & PACKED_LINE_ENDS) size += sizeof(int32_t) + sizeof(int) * static_cast<size_t>(record.lineEndCount);
    if (parts & PACKED_IMAGES) size += sizeof(LineImage*) + sizeof(int32_t);
    if (parts & PACKED_AFTER) size += sizeof(int32_t) + sizeof(uint32_t);
    const size_t start = group.log.count;
    group.log.extend(size);
    *group.starts.extend(1) = start;
    char* at = group.log.items + start;
    put(at, static_cast<int32_t>(record.offset));
    put(at, static_cast<uint16_t>(record.kind));
    put(at, parts);
    if (parts & PACKED_TEXT) {
        put(at, static_cast<uint32_t>(textLength));
        std::memcpy(at, record.text, textLength + 1);
        at += textLength + 1;
    }
    if (parts & PACKED_LINE_ENDS) {
        put(at, static_cast<int32_t>(record.lineEndCount));
        std::memcpy(at, record.lineEnds, sizeof(int) * static_cast<size_t>(record.lineEndCount));
        at += sizeof(int) * static_cast<size_t>(record.lineEndCount);
    }
    if (parts & PACKED_IMAGES) {
        put(at, record.images);
        put(at, static_cast<int32_t>(record.imageCount));
    }
    if (parts & PACKED_AFTER) {
        put(at, static_cast<int32_t>(record.offsetAfter));
        put(at, record.lineFlags);
    }
    record.images = nullptr;  // the log owns them now
    record.imageCount = 0;
    if (group.stageTextInBuffer) record.text = nullptr;
    group.stageTextInBuffer = false;
    clearRecord(record);
    group.staged = false;
}

// Drops an open group and everything it recorded.
void dropOpenGroup() {
    if (group.stageTextInBuffer) group.stage.text = nullptr;
    if (group.staged) clearRecord(group.stage);
    freeLog(group.log.items, group.starts.items, group.starts.count);
    group = OpenGroup{};
}

}  // namespace

void initUndo() {
    if (undoRing.slots) return;
    undoRing.slots = static_cast<UndoRecord*>(allocateOrExit(sizeof(UndoRecord) * UNDO_RING_SIZE));
    for (int i = 0; i < UNDO_RING_SIZE; ++i) {
        UndoRecord& record = undoRing.slots[i];
        record = blankRecord();
        record.next = &undoRing.slots[(i + 1) % UNDO_RING_SIZE];
        record.prev = &undoRing.slots[(i + UNDO_RING_SIZE - 1) % UNDO_RING_SIZE];
    }
    undoRing.newest = undoRing.current = &undoRing.slots[0];
    undoRing.undoStreak = undoRing.replaying = 0;
    undoRing.afterRedo = false;
}

void resetUndo() {
    dropOpenGroup();
    if (undoRing.slots == nullptr) {
        initUndo();
        return;
    }
    for (int i = 0; i < UNDO_RING_SIZE; ++i) {
        clearRecord(undoRing.slots[i]);
        undoRing.slots[i].offset = 0;
        undoRing.slots[i].serial = 0;
    }
    undoRing.newest = undoRing.current = &undoRing.slots[0];
    undoRing.undoStreak = undoRing.replaying = 0;
    undoRing.afterRedo = false;
}

void freeUndo() {
    if (undoRing.slots == nullptr) return;
    for (int i = 0; i < UNDO_RING_SIZE; ++i) clearRecord(undoRing.slots[i]);
    std::free(undoRing.slots);
    undoRing = UndoRing{};
}

UndoRecord* pushUndo() {
    if (undoRing.slots == nullptr) initUndo();
    if (group.depth > 0) {
        packStage();
        group.stage = blankRecord();  // not in the ring: no serial of its own
        group.staged = true;
        UndoRecord* record = &group.stage;
        // The group's newest record stands for the ring's while the command runs, so
        // typing that completes a character finds the record of its first byte.
        undoRing.newest = undoRing.current = record;
        undoRing.undoStreak = 0;
        undoRing.afterRedo = false;
        return record;
    }
    // After a redo `current` is the record to redo next, which is not in the text: the
    // new record takes its place instead of following it.
    if (!undoRing.afterRedo) undoRing.current = undoRing.current->next;
    undoRing.newest = undoRing.current;
    clearRecord(*undoRing.current);
    undoRing.current->serial = ++undoRing.recordsMade;
    undoRing.undoStreak = 0;
    undoRing.afterRedo = false;
    return undoRing.current;
}

UndoRecord* recordEdit(int kind, int offset, const char* text) {
    if (undoRing.replaying != 0) return nullptr;
    UndoRecord* record = pushUndo();
    record->kind = kind;
    record->offset = offset;
    setRecordText(record, text);
    return record;
}

void setRecordText(UndoRecord* record, const char* text) {
    if (group.depth > 0 && record == &group.stage) {
        group.stageText.assign(text ? text : "");
        if (record->text && !group.stageTextInBuffer) std::free(record->text);
        record->text = &group.stageText[0];
        group.stageTextInBuffer = true;
        return;
    }
    std::free(record->text);
    record->text = copyStringOrExit(text);
}

void setLineEnds(UndoRecord* record, const int* entries, int count) {
    std::free(record->lineEnds);
    record->lineEnds = nullptr;
    record->lineEndCount = 0;
    if (count <= 0) return;
    record->lineEnds = static_cast<int*>(allocateOrExit(sizeof(int) * static_cast<size_t>(count)));
    std::memcpy(record->lineEnds, entries, sizeof(int) * static_cast<size_t>(count));
    record->lineEndCount = count;
}

void clearUndoRecord(UndoRecord* record) { clearRecord(*record); }

void openUndoGroup() {
    if (group.depth++ > 0) return;
    if (undoRing.slots == nullptr) initUndo();
    group.ringNewest = undoRing.newest;
    group.ringCurrent = undoRing.current;
    group.ringUndoStreak = undoRing.undoStreak;
    group.ringAfterRedo = undoRing.afterRedo;
}

UndoRecord* closeUndoGroup() {
    if (group.depth == 0 || --group.depth > 0) return nullptr;
    undoRing.newest = group.ringNewest;
    undoRing.current = group.ringCurrent;
    undoRing.undoStreak = group.ringUndoStreak;
    undoRing.afterRedo = group.ringAfterRedo;
    packStage();
    const size_t count = group.starts.count;
    char* log = group.log.items;
    size_t* starts = group.starts.items;
    group = OpenGroup{};
    if (count == 0) {
        freeLog(log, starts, 0);
        return nullptr;
    }
    UndoRecord* record = pushUndo();
    record->kind = UNDO_GROUP;
    record->groupLog = log;
    record->memberStarts = starts;
    record->memberCount = static_cast<int>(count);
    return record;
}

void readGroupMember(const UndoRecord* group, int index, UndoRecord& member) {
    // The line ends are copied out of the log, where they may stand unaligned; the copy
    // lasts until the next member is read.
    static std::vector<int> ends;
    member = blankRecord();
    unpack(group->groupLog + group->memberStarts[index], member, ends);
}

void setLineImages(UndoRecord* record, LineImage* images, int count) {
    record->images = images;
    record->imageCount = count;
}

void stepForward() {
    if (undoRing.slots == nullptr) initUndo();
    if (undoRing.current == undoRing.newest)
        pushUndo();
    else
        undoRing.current = undoRing.current->next;
}
