#include "platform/Process.h"
#include "platform/ShiftJis.h"

namespace platform {

// The Windows C runtime's rules: white space separates arguments outside quotes; a quote
// toggles quoting; 2n backslashes before a quote give n backslashes and the quote toggles;
// 2n+1 backslashes before a quote give n backslashes and a literal quote; other
// backslashes are literal. A trail byte 0x5C is part of its character, not a backslash.
std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    const std::size_t size = commandLine.size();
    auto isSpace = [](char c) { return c == ' ' || c == '\t'; };
    while (true) {
        while (pos < size && isSpace(commandLine[pos])) {
            ++pos;
        }
        if (pos >= size) {
            break;
        }
        std::string argument;
        bool quoted = false;
        while (pos < size && (quoted || !isSpace(commandLine[pos]))) {
            const std::size_t length = sjis::CharLength(commandLine, pos);
            if (length == 2) {
                argument.append(commandLine, pos, 2);
                pos += 2;
                continue;
            }
            const char c = commandLine[pos];
            if (c == '\\') {
                std::size_t count = 0;
                while (pos < size && commandLine[pos] == '\\') {
                    ++count;
                    ++pos;
                }
                if (pos < size && commandLine[pos] == '"') {
                    argument.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        argument += '"';
                        ++pos;
                    }
                } else {
                    argument.append(count, '\\');
                }
                continue;
            }
            if (c == '"') {
                // Inside quotes, a doubled quote stands for one literal quote.
                if (quoted && pos + 1 < size && commandLine[pos + 1] == '"') {
                    argument += '"';
                    pos += 2;
                    continue;
                }
                quoted = !quoted;
                ++pos;
                continue;
            }
            argument += c;
            ++pos;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}

}  // namespace platform
