#include "app/startup.h"

#include "app/key_bindings.h"
#include "app/recorder.h"
#include "document/document.h"
#include "document/undo_ring.h"
#include "files/loader.h"
#include "view/layout.h"
#include "files/close_document.h"

void startKesh(const char* commandLine) {
    initStyles();
    buildKeyBindingTable();
    initUndo();
    loadFile(commandLine ? commandLine : "");
}

void shutDownKesh() {
    if (hasDocument()) closeDocument();
    freeSequence();
    freeUndo();
    freeKeyBindingTable();
}
