#include "document/file_encoding.h"

FileEncoding documentEncoding = FileEncoding::Gbk;

const char* encodingTag(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Utf8: return "UTF-8";
        case FileEncoding::Utf8WithMark: return "UTF-8 BOM";
        case FileEncoding::Utf16Le: return "UTF-16 LE";
        case FileEncoding::Utf16Be: return "UTF-16 BE";
        case FileEncoding::Gbk: break;
    }
    return "";
}
