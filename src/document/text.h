// String primitives on GBK lines.
//
// Every primitive that returns a string returns a new heap string (malloc); a `src`
// argument that a primitive consumes is freed by it (through releaseLineText, so it may be
// a line text carved while loading, see document/line_storage.h), so a caller writes
// `line->text = insertText(line->text, at, piece)`. Exhausted memory ends the process.
#pragma once

// src[0..at) + piece + src[at..]; at = -1 means the end. Null src or piece count as empty.
// Consumes src.
char* insertText(char* src, int at, const char* piece);

// Removes `count` bytes from `at` (count = -1: to the end), widening the end by one byte
// when it would cut a double-byte character. A negative `at` is 0. Consumes src.
char* deleteText(int count, int at, char* src);

// Copies `count` bytes from `at` (count = 0: to the end). An `at` past the end is 0; an
// `at` inside a double-byte character moves back one byte; an end inside one moves on one
// byte. Does not consume src.
char* substring(int count, int at, const char* src);

// Number of printable characters (ASCII 0x21-0x7E and every double-byte character; a
// first byte alone at the end of the text is none); tells blank lines from text lines
// for auto-indent.
int countVisibleChars(const char* text);

// Removes leading white space (isspace) and full-width spaces (A1 A1), in place.
void stripLeadingBlanks(char* buf);

// Overwrites trailing spaces and tabs with NUL, in place. A space or tab byte that is the
// second byte of a double-byte character is no blank and stays with its first byte.
void trimTrailingBlanks(char* buf);

// Start of the n-th field (0-based) of `text` split at the byte `sep`, or -1 when the
// text has fewer fields. `start` and `end` (optional) receive the field's bounds. Only a
// `sep` that is a character of its own separates; a second byte equal to it does not.
int findField(int n, char sep, const char* text, int* start, int* end);
