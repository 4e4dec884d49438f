#include "document/undo_ring.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "document/line_storage.h"
#include "document/memory.h"

UndoRing undoRing;

namespace {

// How a record lies in a group's log: this header, then its text with its terminator
// (when it has one), then its line ends at the next int boundary; the next record starts
// at the next 8-byte boundary. A replacement costs about its header and its text.
struct PackedRecord {
    LineImage* images;  // owned by the log
    int kind, offset, offsetAfter;
    int textLength;  // -1: no text
    int lineEndCount, imageCount;
    uint32_t lineFlags;
    uint8_t softReturn;
};

size_t roundUp(size_t size, size_t to) { return (size + to - 1) / to * to; }

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

const PackedRecord* packedAt(const char* log, size_t start) { return reinterpret_cast<const PackedRecord*>(log + start); }

// Frees what the packed records of a log own: their line images.
void freeLog(char* log, const size_t* starts, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const PackedRecord* packed = packedAt(log, starts[i]);
        for (int k = 0; k < packed->imageCount; ++k) releaseLineText(packed->images[k].text);
        std::free(packed->images);
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
    const size_t endsAt = roundUp(sizeof(PackedRecord) + (record.text ? textLength + 1 : 0), alignof(int));
    const size_t size = roundUp(endsAt + sizeof(int) * static_cast<size_t>(record.lineEndCount), 8);
    const size_t start = group.log.count;
    group.log.extend(size);
    *group.starts.extend(1) = start;
    char* at = group.log.items + start;
    new (at) PackedRecord{record.images, record.kind, record.offset, record.offsetAfter,
                          record.text ? static_cast<int>(textLength) : -1, record.lineEndCount, record.imageCount,
                          record.lineFlags, static_cast<uint8_t>(record.softReturn ? 1 : 0)};
    if (record.text) std::memcpy(at + sizeof(PackedRecord), record.text, textLength + 1);
    if (record.lineEndCount > 0)
        std::memcpy(at + endsAt, record.lineEnds, sizeof(int) * static_cast<size_t>(record.lineEndCount));
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
    const char* at = group->groupLog + group->memberStarts[index];
    const PackedRecord* packed = packedAt(group->groupLog, group->memberStarts[index]);
    member = blankRecord();
    member.kind = packed->kind;
    member.offset = packed->offset;
    member.offsetAfter = packed->offsetAfter;
    member.lineFlags = packed->lineFlags;
    member.softReturn = packed->softReturn != 0;
    member.images = packed->images;
    member.imageCount = packed->imageCount;
    const size_t textBytes = packed->textLength < 0 ? 0 : static_cast<size_t>(packed->textLength) + 1;
    member.text = packed->textLength < 0 ? nullptr : const_cast<char*>(at + sizeof(PackedRecord));
    member.lineEndCount = packed->lineEndCount;
    if (packed->lineEndCount > 0)
        member.lineEnds = reinterpret_cast<int*>(const_cast<char*>(at) + roundUp(sizeof(PackedRecord) + textBytes, alignof(int)));
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
