// The key-sequence recorder: remembers the latest two input events and, while recording,
// appends every event to a sequence that F6 plays back through the window procedure.
#pragma once

#include <cstdint>

struct RecordedEvent {
    uint32_t message;  // 0: disabled, skipped by playback
    uint32_t wParam;
    uint32_t lParam;
    RecordedEvent* next;
};

struct RecordedSlot {
    uint32_t message;
    uint32_t wParam;
    uint32_t lParam;
};

struct Recorder {
    RecordedEvent* sequence = nullptr;  // owned, in recording order
    RecordedEvent* last = nullptr;      // the sequence's last event, so appending is O(1)
    bool recording = false;
    bool playing = false;      // a sequence is being played back
    bool stopRequest = false;  // set by a search that found nothing
    int latestSlot = 0;
    RecordedSlot slots[2] = {};
};

extern Recorder recorder;

// Called at the start of every recorded input event: the event becomes the latest and,
// while recording, is appended to the sequence.
void recordEvent(uint32_t message, uint32_t wParam, uint32_t lParam);
// The latest event and the one before it (find again reads the one before it).
const RecordedSlot& latestEvent();
const RecordedSlot& previousEvent();
// Frees the recorded sequence.
void freeSequence();

// F7: starts a recording (dropping the last one) or ends it, with a click sound, the
// menu check and the banner.
void toggleRecording();
// F6: plays the recorded sequence through the window procedure until it ends or a failed
// search asks it to stop.
void playSequence();
