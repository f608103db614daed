#pragma once

// The terminal of a command-line program: text in and out in the terminal's own encoding
// (UTF-8 on Linux, the console's code page or UTF-16 on Windows), Shift_JIS inside.

#include <string>

namespace platform {

enum class ConsoleStream { Out, Err };

void ConsoleWrite(ConsoleStream stream, const std::string& text);

// Reads one line from standard input, without its line end; false at its end.
bool ConsoleReadLine(std::string& line);

// True when the stream is a terminal rather than a file or a pipe.
bool ConsoleIsTerminal(ConsoleStream stream);

}  // namespace platform
