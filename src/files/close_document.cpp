#include "files/close_document.h"

#include "document/document.h"
#include "files/recovery.h"
#include "platform/platform.h"
#include "view/layout.h"
#include "view/title.h"
#include "view/view_state.h"

void closeDocument() {
    discardRecovery();
    discardDocument();
    if (view.mouseDown) platform::releaseMouse();
    view.mouseDown = 0;
    view.dragSelection = 0;
    updateTitle();
    platform::hideCaret();
    platform::destroyCaret();
    updateScrollBar();
    platform::invalidateAll(true);
}
