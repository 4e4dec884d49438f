// The encoding of the document's file: what it was read from and what Save writes.
//
// The editor holds every document as GBK text. A file in UTF-8 or UTF-16 is converted to
// it when it loads (files/text_encoding.h) and back when it is saved; its encoding is
// kept here beside the file name and shown in the caption.
#pragma once

enum class FileEncoding {
    Gbk,           // code page 936 bytes, written as they are held
    Utf8,          // UTF-8 without a byte-order mark
    Utf8WithMark,  // UTF-8 beginning with EF BB BF
    Utf16Le,       // UTF-16 little-endian, beginning with FF FE
    Utf16Be,       // UTF-16 big-endian, beginning with FE FF
};

// The current document's encoding; GBK when no document is open.
extern FileEncoding documentEncoding;

// The caption's name of an encoding ("UTF-8", "UTF-8 BOM", "UTF-16 LE", "UTF-16 BE"); empty
// for GBK, which the caption does not name.
const char* encodingTag(FileEncoding encoding);
