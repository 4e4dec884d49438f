// The command line of kesh-batch, read into one request.
#pragma once

#include <string>
#include <vector>

#include "platform/console.h"

enum class BatchCommand { Replace, Find, Split, Sort, TidyStatement, Quiz };

struct BatchRequest {
    BatchCommand command = BatchCommand::Find;
    std::string findText;        // replace, find: GBK
    std::string replaceTemplate; // replace: GBK
    std::string splitName;       // split: a menu name, a key or "indent"
    bool matchCase = false;
    bool countOnly = false;      // find: one count per file
    int sortColumn = 0;          // sort by caret column: the column, from 1 (0: not chosen)
    int sortField = 0;           // sort by data field: the field, from 1 (0: not chosen)
    bool descending = false;
    bool dryRun = false;
    std::string output;          // another path for the result, "-" for standard output
    std::vector<std::string> files;  // names as the system takes them
};

// Reads the arguments (the program name left out) into `request`. False with `problem`
// set when they do not make a request; `help` set when help was asked for.
bool parseArguments(const std::vector<console::Argument>& arguments, BatchRequest& request, bool& help,
                    std::string& problem);

// The usage text printed by --help.
const char* usageText();
