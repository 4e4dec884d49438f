#include "document/undo_ring.h"

#include <cstdlib>

#include "document/memory.h"

UndoRing undoRing;

void initUndo() {
    if (undoRing.slots) return;
    undoRing.slots = static_cast<UndoRecord*>(allocateOrExit(sizeof(UndoRecord) * UNDO_RING_SIZE));
    for (int i = 0; i < UNDO_RING_SIZE; ++i) {
        UndoRecord& record = undoRing.slots[i];
        record.kind = UNDO_EMPTY;
        record.offset = 0;
        record.text = nullptr;
        record.serial = 0;
        record.next = &undoRing.slots[(i + 1) % UNDO_RING_SIZE];
        record.prev = &undoRing.slots[(i + UNDO_RING_SIZE - 1) % UNDO_RING_SIZE];
    }
    undoRing.newest = undoRing.current = &undoRing.slots[0];
    undoRing.undoStreak = undoRing.replaying = 0;
    undoRing.afterRedo = false;
}

void resetUndo() {
    if (undoRing.slots == nullptr) {
        initUndo();
        return;
    }
    for (int i = 0; i < UNDO_RING_SIZE; ++i) {
        std::free(undoRing.slots[i].text);
        undoRing.slots[i].text = nullptr;
        undoRing.slots[i].kind = UNDO_EMPTY;
        undoRing.slots[i].offset = 0;
        undoRing.slots[i].serial = 0;
    }
    undoRing.newest = undoRing.current = &undoRing.slots[0];
    undoRing.undoStreak = undoRing.replaying = 0;
    undoRing.afterRedo = false;
}

void freeUndo() {
    if (undoRing.slots == nullptr) return;
    for (int i = 0; i < UNDO_RING_SIZE; ++i) std::free(undoRing.slots[i].text);
    std::free(undoRing.slots);
    undoRing = UndoRing{};
}

UndoRecord* pushUndo() {
    if (undoRing.slots == nullptr) initUndo();
    // After a redo `current` is the record to redo next, which is not in the text: the
    // new record takes its place instead of following it.
    if (!undoRing.afterRedo) undoRing.current = undoRing.current->next;
    undoRing.newest = undoRing.current;
    std::free(undoRing.current->text);
    undoRing.current->text = nullptr;
    undoRing.current->kind = UNDO_EMPTY;
    undoRing.current->serial = ++undoRing.recordsMade;
    undoRing.undoStreak = 0;
    undoRing.afterRedo = false;
    return undoRing.current;
}

void recordEdit(int kind, int offset, const char* text) {
    if (undoRing.replaying != 0) return;
    UndoRecord* record = pushUndo();
    record->kind = kind;
    record->offset = offset;
    record->text = copyStringOrExit(text);
}

void stepForward() {
    if (undoRing.slots == nullptr) initUndo();
    if (undoRing.current == undoRing.newest)
        pushUndo();
    else
        undoRing.current = undoRing.current->next;
}
