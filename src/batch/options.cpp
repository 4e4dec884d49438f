#include "batch/options.h"

#include <cstdlib>

namespace {

struct CommandName {
    const char* name;
    BatchCommand command;
    int operands;  // texts before the files
};

const CommandName COMMANDS[] = {
    {"replace", BatchCommand::Replace, 2}, {"find", BatchCommand::Find, 1},
    {"split", BatchCommand::Split, 1},     {"sort", BatchCommand::Sort, 0},
    {"tidy-statement", BatchCommand::TidyStatement, 0}, {"quiz", BatchCommand::Quiz, 0},
};

// A positive whole number, or 0 when `text` is not one.
int positiveNumber(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::atoi(text.c_str());
}

}  // namespace

const char* usageText() {
    return "Usage: kesh-batch COMMAND [OPTION]... OPERANDS... FILE...\n"
           "Runs one of Kesh's commands over files, with the editor's own code.\n"
           "\n"
           "Commands:\n"
           "  replace FIND TEMPLATE FILE...  Replace All; prints each file's count\n"
           "  find FIND FILE...              prints FILE:LINE:COLUMN:MATCH for every match\n"
           "  split NAME FILE...             a splitting command by its menu name or key\n"
           "                                 (ctrl-p, ctrl-1 ... ctrl-7), or 'indent'\n"
           "  sort FILE...                   sorts the lines (needs --column or --field)\n"
           "  tidy-statement FILE...         the statement tidy-up, fields ending with commas\n"
           "  quiz FILE...                   counts a question bank's questions by type\n"
           "FIND is a wildcard text or /expression/g, as in the Find dialog.\n"
           "\n"
           "Options:\n"
           "  -o, --output PATH   write the result to PATH ('-': standard output); one FILE only\n"
           "  -n, --dry-run       change no file; report what would change\n"
           "  -c, --count         find: print only each file's number of matches\n"
           "      --match-case    match upper and lower case exactly\n"
           "      --column N      sort by the text from byte column N (from 1)\n"
           "      --field N       sort by data field N (from 1) of the first line's separator\n"
           "      --descending    sort from the largest down\n"
           "  -h, --help          show this text\n"
           "\n"
           "Files are changed in place through a temporary file, as Kesh saves them.\n"
           "Exit status: 0 when every file was done, 1 when some file failed, 2 for bad usage.\n";
}

bool parseArguments(const std::vector<console::Argument>& arguments, BatchRequest& request, bool& help,
                    std::string& problem) {
    help = false;
    std::vector<console::Argument> operandArguments;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i].text;
        const bool takesValue = argument == "-o" || argument == "--output" || argument == "--column" ||
                                argument == "--field";
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            operandArguments.push_back(arguments[i]);
            operands.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            help = true;
            return true;
        } else if (argument == "-n" || argument == "--dry-run") {
            request.dryRun = true;
        } else if (argument == "-c" || argument == "--count") {
            request.countOnly = true;
        } else if (argument == "--match-case") {
            request.matchCase = true;
        } else if (argument == "--descending") {
            request.descending = true;
        } else if (takesValue) {
            if (i + 1 == arguments.size()) {
                problem = "option " + argument + " needs a value";
                return false;
            }
            const std::string& value = arguments[++i].text;
            if (argument == "-o" || argument == "--output") {
                request.output = arguments[i].fileName;
                continue;
            }
            int& number = argument == "--column" ? request.sortColumn : request.sortField;
            number = positiveNumber(value);
            if (number == 0) {
                problem = "option " + argument + " needs a number from 1";
                return false;
            }
        } else {
            problem = "unknown option " + argument;
            return false;
        }
    }
    if (operands.empty()) {
        problem = "no command given";
        return false;
    }
    const CommandName* chosen = nullptr;
    for (const CommandName& name : COMMANDS)
        if (operands[0] == name.name) chosen = &name;
    if (chosen == nullptr) {
        problem = "unknown command " + operands[0];
        return false;
    }
    request.command = chosen->command;
    const size_t firstFile = 1 + static_cast<size_t>(chosen->operands);
    if (operands.size() <= firstFile) {
        problem = std::string(chosen->name) + ": too few operands (see --help)";
        return false;
    }
    if (request.command == BatchCommand::Replace) {
        request.findText = operands[1];
        request.replaceTemplate = operands[2];
    } else if (request.command == BatchCommand::Find) {
        request.findText = operands[1];
    } else if (request.command == BatchCommand::Split) {
        request.splitName = operands[1];
    }
    for (size_t i = firstFile; i < operandArguments.size(); ++i) request.files.push_back(operandArguments[i].fileName);
    if (request.command == BatchCommand::Sort && (request.sortColumn > 0) == (request.sortField > 0)) {
        problem = "sort: give one of --column N and --field N";
        return false;
    }
    if (!request.output.empty() && request.files.size() != 1) {
        problem = "--output takes one FILE only";
        return false;
    }
    return true;
}
