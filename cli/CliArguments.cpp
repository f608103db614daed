#include "cli/CliArguments.h"

namespace {

struct CommandShape {
    const char* name;
    std::set<std::string> flags;
    std::set<std::string> valued;
    std::size_t minOperands;
    std::size_t maxOperands;
};

const CommandShape kCommands[] = {
    {"extract", {"--no-scan", "--keep", "--discard", "--quiet"}, {"--data-dir"}, 1, SIZE_MAX},
    {"list", {}, {"--data-dir"}, 0, 0},
    {"summary", {}, {}, 1, 1},
    {"unsent", {"--no-open"}, {}, 1, 1},
};

}  // namespace

std::string ParseCliArguments(const std::vector<std::string>& arguments, CliArguments& parsed) {
    parsed = {};
    if (arguments.empty()) {
        return "no command given";
    }
    parsed.strCommand = arguments[0];
    if (parsed.strCommand == "--help" || parsed.strCommand == "-h" || parsed.strCommand == "help") {
        parsed.strCommand = "help";
        return {};
    }
    const CommandShape* shape = nullptr;
    for (const CommandShape& command : kCommands) {
        if (parsed.strCommand == command.name) {
            shape = &command;
        }
    }
    if (shape == nullptr) {
        return "unknown command: " + parsed.strCommand;
    }
    bool bOptionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (bOptionsEnded || argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            parsed.arrOperands.push_back(argument);
        } else if (argument == "--") {
            bOptionsEnded = true;
        } else if (argument == "--help") {
            parsed.strCommand = "help";
            return {};
        } else if (shape->flags.count(argument) != 0) {
            parsed.arrFlags.insert(argument);
        } else if (shape->valued.count(argument) != 0) {
            if (i + 1 >= arguments.size()) {
                return argument + " needs a value";
            }
            parsed.arrValues[argument] = arguments[++i];
        } else {
            return "unknown option for " + parsed.strCommand + ": " + argument;
        }
    }
    const int answers = parsed.Has("--no-scan") + parsed.Has("--keep") + parsed.Has("--discard");
    if (answers > 1) {
        return "--no-scan, --keep and --discard exclude each other";
    }
    if (parsed.arrOperands.size() < shape->minOperands) {
        return parsed.strCommand + " needs " +
               (shape->maxOperands == 1 ? "a file" : "at least one file");
    }
    if (parsed.arrOperands.size() > shape->maxOperands) {
        return parsed.strCommand + " takes " +
               (shape->maxOperands == 0 ? "no file" : "one file only");
    }
    return {};
}
