// A stand-in for the user's antivirus program, started as "<scanner>" "<folder>", or as
// Microsoft Defender's command-line scanner is, "<scanner>" -Scan -ScanType 3 -File "<folder>".
// It writes into "<folder>\scan.log" the arguments it was given, one per line after
// "argument: ", and every file it found below the folder ("found: " and the path relative to
// it). A file whose contents hold the marker MORVEK-TEST-INFECTED is deleted ("deleted: "), as
// an antivirus program removes what it finds infected. It ends with 1 when it deleted
// something (a result nobody reads), 2 when it was not given a folder. Started as Defender, it
// ends as Defender does: 0 clean, 2 when it removed something, and 5 (a scan that did not
// complete) when a file holds the marker MORVEK-TEST-SCAN-FAILS.

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"

#include <string>
#include <vector>

namespace {

constexpr char kMarker[] = "MORVEK-TEST-INFECTED";
constexpr char kFailMarker[] = "MORVEK-TEST-SCAN-FAILS";

bool Scan(const std::string& folder, const std::string& shown, std::string& log, bool& bFails) {
    bool bDeleted = false;
    std::vector<platform::FoundEntry> entries;
    platform::FindEntries(folder + "\\*.*", entries);
    for (const platform::FoundEntry& entry : entries) {
        const std::string path = folder + "\\" + entry.name;
        if (entry.isFolder) {
            bDeleted = Scan(path, shown + entry.name + "/", log, bFails) || bDeleted;
            continue;
        }
        log += "found: " + shown + entry.name + "\n";
        std::string data;
        bFails = bFails || (platform::ReadWholeFile(path, data) &&
                            data.find(kFailMarker) != std::string::npos);
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
    const bool bDefender = arguments.size() == 6 && arguments[1] == "-Scan" &&
                           arguments[2] == "-ScanType" && arguments[3] == "3" &&
                           arguments[4] == "-File";
    const std::string folder = bDefender ? arguments[5] : arguments[1];
    std::string log;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        log += "argument: " + arguments[i] + "\n";
    }
    bool bFails = false;
    const bool bDeleted = Scan(folder, "", log, bFails);
    platform::WriteWholeFile(folder + "\\scan.log", log);
    if (bDefender) {
        return bFails ? 5 : bDeleted ? 2 : 0;
    }
    return bDeleted ? 1 : 0;
}
