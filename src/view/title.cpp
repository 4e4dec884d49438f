#include "view/title.h"

#include <string>

#include "document/document.h"
#include "document/file_encoding.h"
#include "platform/platform.h"

void updateTitle() {
    std::string title = doc.modified ? " * " : "";
    title += fileName[0] ? fileName : "(无文件)";
    if (fileName[0] && documentEncoding != FileEncoding::Gbk) title += std::string(" [") + encodingTag(documentEncoding) + "]";
    title += " - Kesh";
    platform::setWindowTitle(title);
}
