// The splitting commands by the names a user knows them by: the menu text, its first
// word, or the key (ctrl-p, ctrl-1 ... ctrl-7); "indent" for the indentation rule.
#pragma once

#include <string>

// The command ID for `name` (GBK, compared without regard to ASCII case); 0 when no
// splitting command has that name.
int splitCommandNamed(const std::string& name);
// The names one can give, one command a line, for a message (GBK).
std::string splitCommandNames();
