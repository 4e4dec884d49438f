// Where lines live: their nodes and texts, carved from large blocks while a file loads.
//
// A line on its own costs two heap allocations, its node and its text, and the heap's
// bookkeeping of the two adds about half again to a file of short lines. While a
// LineCarving is open (the loader opens one), new line nodes and the texts stored through
// storeLineText are instead carved one after another out of blocks that grow from 64 KB
// to 4 MB. Each piece is still freed on its own: a block counts its live pieces and goes
// back to the heap when the last of them is released. Outside a carving everything comes
// from the heap as before.
//
// So a line's text or node is freed only through releaseLineText / releaseLineNode, which
// tell a carved piece from a heap allocation by its address. A text that is replaced
// (insertText, deleteText) goes the same way. Anyone who keeps a line's text after the
// line and frees it with std::free takes it through detachLineText first.
#pragma once

#include <cstddef>

struct LineNode;

// While one of these lives, new line nodes and stored line texts are carved. A failed
// block allocation ends the process with `exitStatus`. Carvings do not nest: an inner one
// changes nothing.
class LineCarving {
public:
    explicit LineCarving(int exitStatus);
    ~LineCarving();
    LineCarving(const LineCarving&) = delete;
    LineCarving& operator=(const LineCarving&) = delete;

private:
    bool outermost_;
};

// Memory for one LineNode (uninitialised): carved inside a carving, else from the heap.
LineNode* allocateLineNodeMemory();
// A NUL-terminated copy of the first `length` bytes of `bytes` for a line's text: carved
// inside a carving (very long texts still get an allocation of their own), else from the
// heap. Exhausted memory ends the process with `exitStatus`.
char* storeLineText(const char* bytes, size_t length, int exitStatus);
// Frees a line's text, carved or from the heap; null does nothing.
void releaseLineText(char* text);
// Gives `line` the heap string `text` (which it then owns) and releases the text it had.
void replaceLineText(LineNode* line, char* text);
// Frees a line node, carved or from the heap (not its text).
void releaseLineNode(LineNode* line);
// The text as a heap string that the caller frees with std::free: the text itself when it
// is on the heap already, else a heap copy, and the carved piece is released.
char* detachLineText(char* text);

// ---- Texts in place ----
// The loader reads a file whole into one image and turns its lines into line texts where
// they lie: each text is terminated in place and is a piece of the image, which goes back
// to the heap when the last of them is released. (Under AddressSanitizer each text is
// instead a fenced copy carved as above, so overruns and wrong frees are still caught.)

// A new image with room for `capacity` bytes; a failed allocation ends the process with
// `exitStatus`.
char* allocateTextImage(size_t capacity, int exitStatus);
// The image with room for `capacity` bytes (moved when needed, the bytes kept); only
// before texts are taken from it.
char* resizeTextImage(char* image, size_t capacity, int exitStatus);
// Frees an image no text was taken from.
void freeTextImage(char* image);
// Makes the image the one texts are taken from; a carving must be open.
void openTextImage(char* image);
// The line text of the `length` bytes at `start` inside the open image: start[length]
// becomes the terminator, so that byte must no longer be needed.
char* takeTextInPlace(char* start, size_t length, int exitStatus);
// No more texts are taken; an image none of whose texts lives is freed now.
void closeTextImage();

// ---- For tests and measurements ----
// True when `piece` lies inside a live carved block.
bool isCarvedPiece(const void* piece);
// Number of carved blocks still allocated.
size_t carvedBlockCount();
