// New: a file named after the local date and time, created in the working directory
// and loaded at once.
#pragma once

#include <string>

// The name of a new file made at this local time: "Kesh%4d%02d%02d_%02d%02d%02d.txt".
std::string newFileName();
// Creates the new file holding one Ctrl-Z byte and loads it as a one-line document. A
// file of that name that exists already is loaded as it is, never emptied.
void createNewFile();
