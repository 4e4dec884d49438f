#include "files/save.h"

#include <cstdio>
#include <cstring>

#include "document/document.h"
#include "document/file_encoding.h"
#include "files/file_writer.h"
#include "files/recovery.h"
#include "files/saved_text.h"
#include "platform/platform.h"
#include "view/title.h"

namespace {

constexpr char SAVE_DIALOG_TITLE[] = "指定另存文件名";
constexpr char TEXT_FILTER[] = "Text(.txt)|*.txt|All Files(*.*)|*.*|";

// Bytes converted for the file are written in pieces of about this size.
constexpr size_t WRITE_PIECE = 1 << 20;

// Writes every line in the text file format to `path`, through a temporary file, in the
// document's encoding. A byte the encoding cannot write stops it before the file is
// touched.
bool writeDocumentTo(const std::string& path, UnwritableByte& unwritable) {
    FileWriter writer;
    if (!openFileWriter(writer, path)) return false;
    std::string pending;
    const bool writable = forEachEncodedRun(
        doc.head,
        [&](const LineNode*, const char* bytes, size_t length) {
            if (documentEncoding == FileEncoding::Gbk) return writeBytes(writer, bytes, length);
            pending.append(bytes, length);
            if (pending.size() >= WRITE_PIECE) {
                writeBytes(writer, pending.data(), pending.size());
                pending.clear();
            }
            return !writer.failed;
        },
        &unwritable);
    if (!writable) {
        discardFileWriter(writer);
        return false;
    }
    writeBytes(writer, pending.data(), pending.size());
    return commitFileWriter(writer);
}

// The name part of the file name (after its last backslash) plus `extension`; just the
// extension when the name has no backslash.
std::string proposedName(const char* extension) {
    const char* slash = std::strrchr(fileName, '\\');
    return std::string(slash ? slash + 1 : "") + extension;
}

}  // namespace

void reportCannotSave(const std::string& name) {
    platform::showMessageBox("注意！不能保存 \"" + name + "\" !", "存盘失败", platform::BOX_OK);
}

void saveDocument() {
    UnwritableByte unwritable;
    if (writeDocumentTo(fileName, unwritable)) {
        doc.modified = 0;
        discardRecovery();
    } else if (unwritable.found) {
        char where[96];
        std::snprintf(where, sizeof where, "第 %ld 行第 %zu 列的字节 %02X 不是 GBK 字符，", unwritable.line,
                      unwritable.column, unwritable.byte);
        platform::showMessageBox("注意！不能保存 \"" + std::string(fileName) + "\" !\n" + where + "无法按 " +
                                     encodingTag(documentEncoding) + " 写入。请改正后再保存，文件没有被改动。",
                                 "存盘失败", platform::BOX_OK);
    } else {
        reportCannotSave(fileName);
    }
    updateTitle();
}

bool chooseSaveTarget(const char* filter, const char* extension, std::string& chosen) {
    platform::FileDialogRequest request;
    request.title = SAVE_DIALOG_TITLE;
    request.filter = filter;
    request.initialName = proposedName(extension);
    request.hideReadOnly = true;
    if (!platform::chooseFile(request, chosen)) return false;
    if (!chosen.empty() && chosen.front() == '"') chosen.erase(0, 1);
    if (!chosen.empty() && chosen.back() == '"') chosen.pop_back();
    return true;
}

bool adoptChosenName(const std::string& chosen) {
    std::string absolute;
    if (chosen.empty() || !platform::fullPath(chosen, absolute)) absolute = chosen;
    // A name cut to fit the buffer would name another file, and the save would go there.
    if (absolute.empty() || absolute.size() >= static_cast<size_t>(FILE_NAME_SIZE)) {
        reportCannotSave(absolute);
        return false;
    }
    setFileName(absolute.c_str());
    return true;
}

void saveDocumentAs() {
    std::string chosen;
    if (!chooseSaveTarget(TEXT_FILTER, ".txt", chosen)) return;
    if (adoptChosenName(chosen)) {
        saveDocument();
        return;
    }
    updateTitle();
}

bool askToSave() {
    if (!hasDocument() || !doc.modified) return true;
    const std::string question = std::string("保存修改到 \"") + fileName + "\"?";
    const int answer = platform::showMessageBox(question, "将退出编辑！！ 请确认：", platform::BOX_YES_NO_CANCEL);
    if (answer == platform::ANSWER_NO) return true;
    if (answer != platform::ANSWER_YES) return false;
    saveDocument();
    // A save that failed has shown its message; going on would throw the text away.
    return !doc.modified;
}
