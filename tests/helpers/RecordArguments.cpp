// A stand-in for an external program: it writes the arguments it was started with, one
// per line, into the file "arguments.txt" in the folder named by its first argument.

#include "platform/File.h"
#include "platform/Process.h"

#include <string>
#include <vector>

int main() {
    const std::vector<std::string> arguments = platform::ProgramArguments();
    if (arguments.size() < 2) {
        return 2;
    }
    std::string text;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        text += arguments[i] + "\n";
    }
    return platform::WriteWholeFile(arguments[1] + "\\arguments.txt", text) ? 0 : 1;
}
