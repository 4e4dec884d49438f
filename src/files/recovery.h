// Unsaved work survives a crash: a recovery copy written when the user pauses, removed
// when it is no longer needed, and offered back when its file is opened again.
//
// The copy is written 2 seconds after the last change (an idle timer, restarted by every
// change), never on each key. Save, Close, New, loading another file and a clean exit
// remove it; a kill or a power cut leaves it for the next start. See files/recovery_file.h
// for where it lives and what it holds.
#pragma once

#include <string>
#include <vector>

#include "files/loader.h"

constexpr int RECOVERY_TIMER_ID = 0x4B45;
constexpr unsigned RECOVERY_IDLE_MILLISECONDS = 2000;

// For kesh-batch: no copy is written, offered or removed (a window's unsaved work on a
// file stays that window's).
void turnOffRecovery();
// Called after every message: when the modified document changed since the last call,
// notes the time and restarts the idle timer.
void noteDocumentActivity();
// The idle timer fired: writes the modified document's recovery copy.
void writeRecoveryNow();
// Removes the recovery copy this window wrote or restored from, if any.
void discardRecovery();

// What the user chose for a recovery copy found when a file is opened.
struct RestoreChoice {
    std::string recoveryPath;
    std::string changedAt;
    std::vector<FilePiece> pieces;  // the recovered text; empty: open the file as it is
};
// Asks whether to restore the unsaved changes kept for `documentPath`. No deletes the
// copy; a copy that cannot be read or rebuilt is reported and kept.
RestoreChoice askToRestore(const std::string& documentPath);
// The recovered text was loaded: its copy now belongs to this window.
void adoptRecovery(const RestoreChoice& choice);
