// Sorting the line block (the run of selected lines from the first one) in place, by the
// text at the caret's column or by the data field the caret stands in.
//
// Sorting exchanges the lines' texts, hard-return bits and styles; the selection and the
// bookmarks stay on their rows. Holding Shift sorts in descending order. While line
// numbers are shown, keys that begin with a number compare by value. Neither sort is
// recorded for undo.
#pragma once

// True when a number stands at `pos` of `text`: an ASCII digit there, or a "." right
// after a digit. `pos` must be a character boundary.
bool isNumberAt(const char* text, int pos);

// The number that `pos` lies in, read whole (from the first of its digits and dots, as
// atof reads it, so 1.2.3 is 1.2); 0 when it begins with ".". `pos` must be a boundary.
double numberAt(const char* text, int pos);

// The separator of a data line: the first of tab, ",", space, ":" and ";" (in this order
// of preference) that occurs in `text`; '\0' when none does.
char findSeparator(const char* text);

// Command 32838: sorts the block by the text from the caret's column to the line end;
// lines too short to reach the column gather at the top, the longest first.
void sortByCaretColumn();

// Command 32868: sorts the block by the field, of the caret line's separator, in which
// the caret stands; lines without that field gather at the top in their old order.
// Without a separator in the caret line it does nothing.
void sortByDataColumn();

// How the sorts work out the order: the plain selection sort of their rule, or the
// equivalent faster computation (the default). The tests compare the two.
enum class SortMethod { Fast, PlainSelection };
extern SortMethod sortMethod;
