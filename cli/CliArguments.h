#pragma once

// One command line of the tool: the command, its options and its operands.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct CliArguments {
    std::string strCommand;
    std::set<std::string> arrFlags;                // "--keep"
    std::map<std::string, std::string> arrValues;  // "--data-dir" -> "DIR"
    std::vector<std::string> arrOperands;          // files

    bool Has(const std::string& flag) const { return arrFlags.count(flag) != 0; }
};

// Splits arguments (without the program name) by what the command accepts: flags without
// a value and options with one. Returns an empty text, or a one-line reason why the command
// line is wrong. "--" ends the options.
std::string ParseCliArguments(const std::vector<std::string>& arguments, CliArguments& parsed);
