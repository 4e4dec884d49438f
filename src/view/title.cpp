#include "view/title.h"

#include <string>

#include "document/document.h"
#include "platform/platform.h"

void updateTitle() {
    std::string title = doc.modified ? " * " : "";
    title += fileName[0] ? fileName : "(无文件)";
    title += " - Kesh";
    platform::setWindowTitle(title);
}
