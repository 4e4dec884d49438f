#include "files/recovery.h"

#include <cstdint>
#include <cstdio>

#include "document/document.h"
#include "files/recovery_file.h"
#include "platform/platform.h"

namespace {

constexpr char RESTORE_CAPTION[] = "恢复未保存的修改";

uint64_t seenChangeCount = 0;
std::string lastChangeAt;
std::string ownCopy;  // the recovery file this window wrote or took over; empty: none
bool recoveryOn = true;

std::string timeText(const platform::LocalTime& time) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

void reportKept(const std::string& why, const std::string& recoveryPath) {
    platform::showMessageBox(why + "\n恢复副本已保留: \"" + recoveryPath + "\"", RESTORE_CAPTION,
                             platform::BOX_OK | platform::BOX_ICON_WARNING);
}

}  // namespace

void turnOffRecovery() { recoveryOn = false; }

void noteDocumentActivity() {
    if (!recoveryOn || documentChangeCount == seenChangeCount) return;
    seenChangeCount = documentChangeCount;
    if (!hasDocument() || !doc.modified || fileName[0] == '\0') return;
    lastChangeAt = timeText(platform::localTime());
    platform::setTimer(RECOVERY_TIMER_ID, RECOVERY_IDLE_MILLISECONDS);
}

void writeRecoveryNow() {
    platform::killTimer(RECOVERY_TIMER_ID);
    if (!hasDocument() || !doc.modified || fileName[0] == '\0') return;
    const std::string path = recoveryPathFor(fileName);
    if (path.empty()) return;
    // A failed write leaves the previous copy, which is still the best there is.
    if (!writeRecoveryFile(path, lastChangeAt)) return;
    // After Save As to a name that could not be written, the copy moved to the new name.
    if (!ownCopy.empty() && ownCopy != path) platform::removeFile(ownCopy);
    ownCopy = path;
}

void discardRecovery() {
    platform::killTimer(RECOVERY_TIMER_ID);
    if (!ownCopy.empty()) platform::removeFile(ownCopy);
    ownCopy.clear();
}

RestoreChoice askToRestore(const std::string& documentPath) {
    RestoreChoice choice;
    const std::string path = recoveryOn ? recoveryPathFor(documentPath) : "";
    RecoveryHeader header;
    if (path.empty()) return choice;
    const RecoveryRead read = readRecoveryHeader(path, documentPath, header);
    if (read == RecoveryRead::Missing) return choice;
    if (read == RecoveryRead::Unreadable) {
        reportKept("\"" + documentPath + "\" 的恢复副本无法读取，现打开磁盘上的文件。", path);
        return choice;
    }
    std::vector<FilePiece> pieces = recoveredPieces(path, header);
    if (pieces.empty()) {
        reportKept("\"" + documentPath + "\" 在磁盘上已被修改，恢复副本只记录了相对原文件的改动，无法重建。", path);
        return choice;
    }
    std::string question = "\"" + documentPath + "\" 有未保存的修改（最后修改于 " + header.changedAt + "）。\n";
    if (diskChangedSince(header)) question += "注意：磁盘上的文件在此之后已被修改。\n";
    question += "恢复这些修改吗？\n选“否”将删除恢复副本，打开磁盘上的文件。";
    const int answer =
        platform::showMessageBox(question, RESTORE_CAPTION, platform::BOX_YES_NO | platform::BOX_ICON_QUESTION);
    if (answer == platform::ANSWER_NO) platform::removeFile(path);
    if (answer != platform::ANSWER_YES) return choice;
    choice.recoveryPath = path;
    choice.changedAt = header.changedAt;
    choice.pieces = std::move(pieces);
    return choice;
}

void adoptRecovery(const RestoreChoice& choice) {
    ownCopy = choice.recoveryPath;
    lastChangeAt = choice.changedAt;
    // The copy already holds this text: nothing to write until the next change.
    seenChangeCount = documentChangeCount;
}
