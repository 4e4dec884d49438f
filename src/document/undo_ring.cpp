#include "document/undo_ring.h"

#include <cstdlib>
#include <cstring>
#include <deque>

#include "document/line_storage.h"
#include "document/memory.h"

UndoRing undoRing;

namespace {

// The group being recorded: its records, and the ring's own place while they are made.
struct OpenGroup {
    int depth = 0;
    std::deque<UndoRecord> members;  // a deque: a record stays where it is while more come
    UndoRecord* ringNewest = nullptr;
    UndoRecord* ringCurrent = nullptr;
    int ringUndoStreak = 0;
    bool ringAfterRedo = false;
};
OpenGroup group;

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
    if (record.members) {
        for (int i = 0; i < record.memberCount; ++i) clearRecord(record.members[i]);
        std::free(record.members);
    }
    record.members = nullptr;
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

}  // namespace

void initUndo() {
    if (undoRing.slots) return;
    undoRing.slots = static_cast<UndoRecord*>(allocateOrExit(sizeof(UndoRecord) * UNDO_RING_SIZE));
    for (int i = 0; i < UNDO_RING_SIZE; ++i) {
        UndoRecord& record = undoRing.slots[i];
        record.kind = UNDO_EMPTY;
        record.offset = 0;
        record.text = nullptr;
        record.softReturn = false;
        record.lineEnds = nullptr;
        record.lineEndCount = 0;
        record.images = nullptr;
        record.imageCount = 0;
        record.offsetAfter = 0;
        record.members = nullptr;
        record.memberCount = 0;
        record.anchorOffset = record.anchorOffsetAfter = -1;
        record.lineFlags = 0;
        record.serial = 0;
        record.next = &undoRing.slots[(i + 1) % UNDO_RING_SIZE];
        record.prev = &undoRing.slots[(i + UNDO_RING_SIZE - 1) % UNDO_RING_SIZE];
    }
    undoRing.newest = undoRing.current = &undoRing.slots[0];
    undoRing.undoStreak = undoRing.replaying = 0;
    undoRing.afterRedo = false;
}

void resetUndo() {
    for (UndoRecord& member : group.members) clearRecord(member);
    group = OpenGroup{};
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
        group.members.push_back(blankRecord());
        UndoRecord* record = &group.members.back();  // not in the ring: no serial of its own
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
    record->text = copyStringOrExit(text);
    return record;
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
    if (group.members.empty()) return nullptr;
    const size_t count = group.members.size();
    auto* members = static_cast<UndoRecord*>(allocateOrExit(sizeof(UndoRecord) * count));
    for (size_t i = 0; i < count; ++i) members[i] = group.members[i];  // the texts move with them
    group.members.clear();
    UndoRecord* record = pushUndo();
    record->kind = UNDO_GROUP;
    record->members = members;
    record->memberCount = static_cast<int>(count);
    return record;
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
