#include "cli/CliConsole.h"
#include "cli/MorvekCli.h"
#include "platform/Process.h"

int main() {
    std::vector<std::string> arguments = platform::ProgramArguments();
    const std::string programName = arguments.empty() ? "morvek-cli" : arguments.front();
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());
    }
    CSystemConsole console;
    return CMorvekCli(programName, std::move(arguments), console).Run();
}
