#pragma once

// The terminal the command-line tool talks through; tests give it a recording one.

#include "platform/Console.h"

#include <string>

class ICliConsole {
public:
    virtual ~ICliConsole() = default;
    virtual void Write(platform::ConsoleStream stream, const std::string& text) = 0;
    virtual bool ReadLine(std::string& line) = 0;
    virtual bool IsTerminal(platform::ConsoleStream stream) const = 0;
};

// The process's own terminal.
class CSystemConsole : public ICliConsole {
public:
    void Write(platform::ConsoleStream stream, const std::string& text) override {
        platform::ConsoleWrite(stream, text);
    }
    bool ReadLine(std::string& line) override { return platform::ConsoleReadLine(line); }
    bool IsTerminal(platform::ConsoleStream stream) const override {
        return platform::ConsoleIsTerminal(stream);
    }
};
