#include "view/AntivirusProgram.h"

#include "platform/Process.h"

std::string CAntivirusProgram::MakeCommandLine(const std::string& program,
                                               const std::string& scanFolder) {
    return "\"" + program + "\" \"" + scanFolder + "\"";
}

bool CAntivirusProgram::Run(const std::string& program, const std::string& scanFolder) {
    return platform::RunAndWait(MakeCommandLine(program, scanFolder));
}
