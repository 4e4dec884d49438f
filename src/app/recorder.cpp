#include "app/recorder.h"

#include <cstdlib>

#include "app/dispatcher.h"
#include "app/messages.h"
#include "app/window_proc.h"
#include "platform/platform.h"
#include "view/view_state.h"

Recorder recorder;

namespace {

// The band at the top right of the window where the banner is drawn while recording.
// It reaches the right edge: the banner starts 187 px left of it and its width is that of
// the body font, which in a wide face runs into the last 33 px; a band stopping short of
// them would leave a red strip there after recording stops.
constexpr int BANNER_AREA_LEFT_OFFSET = 200;
constexpr int BANNER_AREA_TOP = 33;
constexpr int BANNER_AREA_BOTTOM = 77;

bool isCommand(const RecordedEvent* event, int commandId) {
    return event != nullptr && event->message == MSG_COMMAND && event->wParam == static_cast<uint32_t>(commandId);
}

// Disables the sequence's last event when it is this command, so playback skips it.
void disableLastEventIfCommand(int commandId) {
    if (isCommand(recorder.last, commandId)) recorder.last->message = 0;
}

// The record and play commands are never replayed. The recorder disables the ones that
// start, stop or play; one can only stay enabled when it was recorded while no document
// was open, where it did nothing. Replayed, it would free the sequence being walked or
// start the same playback again inside itself.
bool isReplayable(const RecordedEvent* event) {
    return event->message != 0 && !isCommand(event, CMD_RECORD_SEQUENCE) && !isCommand(event, CMD_PLAY_SEQUENCE);
}

// Marks a playback as running for as long as it lives, also when a step throws.
struct PlaybackMark {
    PlaybackMark() { recorder.playing = true; }
    ~PlaybackMark() { recorder.playing = false; }
    PlaybackMark(const PlaybackMark&) = delete;
    PlaybackMark& operator=(const PlaybackMark&) = delete;
};

void invalidateBannerArea() {
    platform::invalidateRect(view.clientWidth - BANNER_AREA_LEFT_OFFSET, BANNER_AREA_TOP, view.clientWidth,
                             BANNER_AREA_BOTTOM, false);
}

}  // namespace

// ==== The two slots and the sequence ====

void recordEvent(uint32_t message, uint32_t wParam, uint32_t lParam) {
    recorder.latestSlot ^= 1;
    recorder.slots[recorder.latestSlot] = RecordedSlot{message, wParam, lParam};
    if (!recorder.recording) return;
    auto* event = static_cast<RecordedEvent*>(std::malloc(sizeof(RecordedEvent)));
    if (event == nullptr) return;  // the event is not appended
    *event = RecordedEvent{message, wParam, lParam, nullptr};
    if (recorder.last != nullptr)
        recorder.last->next = event;
    else
        recorder.sequence = event;
    recorder.last = event;
}

const RecordedSlot& latestEvent() { return recorder.slots[recorder.latestSlot]; }
const RecordedSlot& previousEvent() { return recorder.slots[recorder.latestSlot ^ 1]; }

void freeSequence() {
    while (recorder.sequence) {
        RecordedEvent* next = recorder.sequence->next;
        std::free(recorder.sequence);
        recorder.sequence = next;
    }
    recorder.last = nullptr;
}

// ==== F7 and F6 ====

// The dispatcher has recorded this command already: the command that starts a recording
// is therefore not part of it, and the one that stops it is its last event.
void toggleRecording() {
    // Defensive: starting a recording frees the sequence, which a playback may be walking.
    if (recorder.playing) return;
    platform::playSound(RESOURCE_SOUND_CLICK);
    recorder.recording = !recorder.recording;
    view.recordingBanner = recorder.recording;
    if (recorder.recording)
        freeSequence();
    else
        disableLastEventIfCommand(CMD_RECORD_SEQUENCE);
    platform::checkMenuItem(CMD_RECORD_SEQUENCE, recorder.recording);
    invalidateBannerArea();
}

// Each event goes through handleMessage, as if sent to the main window again, so it is
// routed, recorded into the two slots and handled exactly like the original. The walk is
// a loop: a long sequence does not deepen the stack.
void playSequence() {
    if (recorder.playing) return;  // defensive: playback never nests
    if (recorder.recording) {
        disableLastEventIfCommand(CMD_PLAY_SEQUENCE);
        dispatchCommand(CMD_RECORD_SEQUENCE, 0);
    }
    recorder.stopRequest = false;
    const PlaybackMark mark;
    for (const RecordedEvent* event = recorder.sequence; event != nullptr; event = event->next) {
        if (isReplayable(event)) handleMessage(event->message, event->wParam, static_cast<intptr_t>(event->lParam));
        if (recorder.stopRequest) break;
    }
}
