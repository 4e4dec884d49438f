// The tables of the syntax colouring: tokens tried in order, and keywords by colour.
#pragma once

struct ColourToken {
    const char* text;  // GBK
    int length;        // bytes
    int colour;        // palette index
};

constexpr int TOKEN_COUNT = 59;
// Tried in this order at every position that does not start a word; the first whose text
// stands there wins ("//" and "/*" before "/", "->" before "-").
extern const ColourToken TokenTable[TOKEN_COUNT];

struct ColourKeyword {
    const char* word;
    int colour;  // palette index
};

constexpr int KEYWORD_COUNT = 388;
extern const ColourKeyword KeywordTable[KEYWORD_COUNT];

// Palette index of a keyword (exact, case-sensitive), or -1 when the word is none.
int keywordColour(const char* word, int length);
