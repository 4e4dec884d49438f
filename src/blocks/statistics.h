// Three commands that read the text and report on it: counts of lines and characters by
// class, the sum of the numbers in the selection, and a copy of one data column.
#pragma once

#include <string>

// ---- Statistics of the whole document ----
struct TextStatistics {
    long long lines = 0;       // stored lines; with word wrap on, every displayed row
    long long characters = 0;  // a double-byte character once, every other byte once
    long long chinese = 0;     // double-byte characters except the full-width space
    long long halfWidth = 0;   // single bytes that are not white space
    long long letters = 0;     // A-Z, a-z
    long long digits = 0;      // 0-9
    long long spaces = 0;      // single-byte white space and full-width spaces
};
// Counts the document's lines and characters by class.
TextStatistics countStatistics();
// The report the statistics box shows: one counter a line, labelled.
std::string statisticsReport(const TextStatistics& counts);
// Shows the report in a message box captioned "统计结果".
void showStatistics();

// ---- Sum of the selected numbers ----
struct NumberSum {
    int count = 0;
    double sum = 0.0;
};
// Adds up the runs of selected digits and dots (as atof reads them) of the selected
// lines. Signs are not read; a number never continues onto the next line; a number is
// read whole however long it is.
NumberSum sumSelectedNumbers();
// " 共%d个数字, 累加和：%.2f " with the count and the sum.
std::string sumReport(const NumberSum& total);
// Puts the sum report on the clipboard and pastes it at the caret.
void sumNumbers();

// ---- Data column ----
// The field of every selected line in which the caret stands in the caret line, each
// followed by CR LF (a line without that field gives an empty line). Fields are split at
// the caret line's separator; without one every line is a single field.
std::string dataColumnText();
// Replaces the clipboard's content with the data column. The document does not change.
void copyDataColumn();
