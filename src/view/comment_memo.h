// The block-comment depth at the start of each line, remembered between paints.
//
// Colouring a window that starts inside a block comment needs the depth carried over
// from every line above it. Rescanning them all on every paint would make a paint at
// line 1,000,000 cost a million lines; instead the depths found are kept per line index
// and reused while documentChangeCount (which every change to the lines moves) stays
// where it was, or while every change since lay below them (changes located through
// keepLineStartsAbove). Otherwise the depths are found again, lazily, only as far down
// as a paint or an export asks; far down a document the nearest line above that settles
// the depth by itself (one with "*/" or an unclosed "/*") is enough.
#pragma once

#include <string>

#include "document/document.h"

// Comment depth at the start of `line` under the colouring rules (word wrap aside).
int commentDepthAtStart(const LineNode* line);
// Empty when every remembered depth that is still taken as current agrees with a fresh
// scan of the lines; otherwise what disagrees (the invariant the tests check).
std::string commentMemoViolation();
// Remembers the depth of every line of the document now.
void rememberAllCommentDepths();
