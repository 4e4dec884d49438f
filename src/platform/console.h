// What the console front end needs from the system beyond the seam of platform.h: its
// arguments and messages in the right character set, binary standard streams and a
// scratch file. Implemented once for POSIX systems and once for Windows.
#pragma once

#include <string>
#include <vector>

namespace console {

// Sets the standard streams to pass bytes unchanged (no CR LF translation).
void prepareStandardStreams();
// One command-line argument read two ways: as text and as the name of a file.
struct Argument {
    std::string text;      // GBK
    std::string fileName;  // as platform::openFile takes a name on this system
};
// The command-line arguments after the program name.
std::vector<Argument> arguments(int argc, char** argv);
// A GBK text as the terminal shows it (the locale's character set).
std::string forTerminal(const std::string& gbk);
// Creates an empty file of a unique name in the system's temporary folder and returns its
// name; empty when none can be made.
std::string makeScratchFile();

}  // namespace console
