// How raw GBK bytes (a file being loaded, text being pasted) are cut into lines.
//
// Bytes are read from a character boundary on. A byte that begins a character and is
// followed by a byte that can be a second byte (0x40-0x7E, 0x80-0xFE) is stored with it,
// whatever either byte's value: 學 (8C 57), 對 (8C A6) and 皧 (B0 8A) are characters, not
// line ends. Outside such a pair, CR, 0x8C, 0x8D and form feed end a line, and so do LF
// and 0x8A, except an LF or 0x8A directly after one of the first kind: CR LF is one line
// end, while every LF of a file that uses LF alone is one (its blank lines stay). A first
// byte followed by a byte that cannot be its second byte is a single byte of its own; the
// byte after it is read afresh, so nothing is lost and no state passes a line end.
#pragma once

// True for a control byte that neither ends a line (CR, LF, form feed), ends the text
// (Ctrl-Z) nor is a tab: loading and pasting drop it. It is dropped before pairs are
// formed, so a first byte and the byte after a dropped one are read as they will be
// stored, and a reload of the saved text reads the same characters.
inline bool isDroppedControlByte(int byte) {
    return byte >= 0 && byte < 0x20 && byte != 0x09 && byte != 0x0A && byte != 0x0C && byte != 0x0D && byte != 0x1A;
}

enum class RawByteRole {
    Pair,             // this byte and the next are one character
    Single,           // one byte, for the caller's own rules (tabs, control bytes, text)
    LineEnd,          // ends the line
    SkippedLineFeed,  // the LF half of a CR LF pair: dropped
};

class RawLineReader {
public:
    // The role of `byte`, which stands at a character boundary; `next` is the byte after
    // it, or -1 when there is none.
    RawByteRole roleOf(int byte, int next);
    // The caller ended a line by a rule of its own that counts as a carriage return, so
    // an LF directly after it is dropped.
    void endedLineAsCarriageReturn() { afterCarriageReturn_ = true; }

private:
    bool afterCarriageReturn_ = false;
};
