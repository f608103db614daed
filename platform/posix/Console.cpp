#include "platform/Console.h"

#include "platform/posix/Cp932.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace platform {

void ConsoleWrite(ConsoleStream stream, const std::string& text) {
    FILE* file = stream == ConsoleStream::Out ? stdout : stderr;
    const std::string utf8 = posix::SjisToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), file);
    std::fflush(file);
}

bool ConsoleReadLine(std::string& line) {
    std::string utf8;
    if (!std::getline(std::cin, utf8)) {
        return false;
    }
    if (!utf8.empty() && utf8.back() == '\r') {
        utf8.pop_back();
    }
    line = posix::Utf8ToSjis(utf8);
    return true;
}

bool ConsoleIsTerminal(ConsoleStream stream) {
    return isatty(stream == ConsoleStream::Out ? STDOUT_FILENO : STDERR_FILENO) != 0;
}

}  // namespace platform
