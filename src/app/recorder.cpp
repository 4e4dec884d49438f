#include "app/recorder.h"

#include <cstdlib>

Recorder recorder;

void recordEvent(uint32_t message, uint32_t wParam, uint32_t lParam) {
    recorder.latestSlot ^= 1;
    recorder.slots[recorder.latestSlot] = RecordedSlot{message, wParam, lParam};
    if (!recorder.recording) return;
    auto* event = static_cast<RecordedEvent*>(std::malloc(sizeof(RecordedEvent)));
    if (event == nullptr) return;  // the event is not appended
    *event = RecordedEvent{message, wParam, lParam, nullptr};
    RecordedEvent** tail = &recorder.sequence;
    while (*tail) tail = &(*tail)->next;
    *tail = event;
}

const RecordedSlot& latestEvent() { return recorder.slots[recorder.latestSlot]; }
const RecordedSlot& previousEvent() { return recorder.slots[recorder.latestSlot ^ 1]; }

void freeSequence() {
    while (recorder.sequence) {
        RecordedEvent* next = recorder.sequence->next;
        std::free(recorder.sequence);
        recorder.sequence = next;
    }
}
