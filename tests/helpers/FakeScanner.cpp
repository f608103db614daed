// A stand-in for the user's antivirus program, started as "<scanner>" "<folder>". It writes
// into "<folder>\scan.log" the arguments it was given, one per line after "argument: ", and
// every file it found below the folder ("found: " and the path relative to it). A file whose
// contents hold the marker MORVEK-TEST-INFECTED is deleted ("deleted: "), as an antivirus
// program removes what it finds infected. It ends with 1 when it deleted something (a result
// nobody reads), 2 when it was not given a folder.

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"

#include <string>
#include <vector>

namespace {

constexpr char kMarker[] = "MORVEK-TEST-INFECTED";

bool Scan(const std::string& folder, const std::string& shown, std::string& log) {
    bool bDeleted = false;
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(folder + "\\*.*", entries);
    for (const platform::FoundEntry& entry : entries) {
        const std::string path = folder + "\\" + entry.name;
        if (entry.isFolder) {
            bDeleted = Scan(path, shown + entry.name + "/", log) || bDeleted;
            continue;
        }
        log += "found: " + shown + entry.name + "\n";
        std::string data;
        if (platform::ReadWholeFile(path, data) && data.find(kMarker) != std::string::npos &&
            platform::RemoveFile(path)) {
            log += "deleted: " + shown + entry.name + "\n";
            bDeleted = true;
        }
    }
    return bDeleted;
}

}  // namespace

int main() {
    const std::vector<std::string> arguments = platform::ProgramArguments();
    if (arguments.size() < 2) {
        return 2;
    }
    std::string log;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        log += "argument: " + arguments[i] + "\n";
    }
    const bool bDeleted = Scan(arguments[1], "", log);
    platform::WriteWholeFile(arguments[1] + "\\scan.log", log);
    return bDeleted ? 1 : 0;
}
