// Paragraphs from numbering markers: the commands that break a line before every marker
// such as "一、", "（一）", "3." or "第一章" that does not already begin a line, and the
// command that decides paragraph ends by indentation instead.
//
// All of them work on the whole document, never only on the selection.
#pragma once

// Which characters make up a marker, one or more of them in a row.
enum class MarkerKind {
    Digits = 0,                 // ASCII 0-9
    ChineseNumerals = 1,        // 一二三 ... 〇○
    UpperLetters = 2,           // ASCII A-Z
    LowerLetters = 3,           // ASCII a-z
    Stems = 11,                 // 甲乙丙 ... 戌亥
    RomanUpper = 12,            // Ⅰ to Ⅻ
    RomanLower = 13,            // ⅰ to ⅹ
    BracketedNumerals = 14,     // ㈠ to ㈩
    FullStopNumbers = 15,       // ⒈ to ⒛
    ParenthesisedNumbers = 16,  // ⑴ to ⒇
    CircledNumbers = 17,        // ① to ⑩
    GreekUpper = 18,
    GreekLower = 19,
};

// One pass over the whole document: a line break goes in front of every `prefix`, run of
// `kind` characters and `suffix` (either may be empty) that does not stand at the start
// of a line. Each break is an undoable line split; the caret ends at the end of the
// document and is brought into view.
void splitAtMarkers(const char* prefix, MarkerKind kind, const char* suffix);

// Runs the passes of a splitting command (32794-32831 of the "按数字标题分段" menu), in
// their order; any other command ID does nothing.
void splitAtMarkers(int commandId);

// Command 32792: a line indented by two full-width or four ASCII spaces begins a
// paragraph, every other line continues the line above it (soft return). The caret goes
// to the top. The command then shows the paragraphs wrapped (the caller switches word
// wrap on).
void markIndentedParagraphs();
