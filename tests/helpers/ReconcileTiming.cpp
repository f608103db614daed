// Times the reconciliation of large stores: for each count given (default 10000 and 20000)
// it builds a data folder with that many whole records in a scratch folder under the
// temporary path, half of them listed and half to be adopted, and times the first
// reconciliation (which adopts half) and a second one (which finds nothing to change, as at
// most start-ups). Each record is a record file and a folder with one file.
//
//   morvek_reconcile_timing [count...]

#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/SpecialFolders.h"
#include "store/RecordStore.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

double Now() {
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void DeleteTree(const std::string& folder) {
    CRecordStore::DeleteFolderTree(folder);
}

bool Measure(int count) {
    const std::string marker = platform::MakeUniqueTempFile(platform::TempPath(), "rct");
    if (marker.empty()) {
        return false;
    }
    const std::string folder = marker.substr(0, marker.size() - 4);
    const bool bMade = platform::MakeFolder(folder) == platform::MakeFolderResult::Created;
    platform::RemoveFile(marker);
    if (!bMade) {
        return false;
    }
    const std::string D = folder + "\\";
    CRecordStore store(D);
    for (int i = 0; i < count; ++i) {
        const std::string name = D + "record" + std::to_string(i);
        if (!platform::WriteWholeFile(name + ".att", "date\r\r\nfrom\r\r\nsubject\r\r\n") ||
            platform::MakeFolder(name) != platform::MakeFolderResult::Created ||
            !platform::WriteWholeFile(name + "\\a.txt", "a")) {
            std::fprintf(stderr, "cannot build the store in %s\n", folder.c_str());
            DeleteTree(folder);
            return false;
        }
        if (i % 2 == 0) {
            store.m_arrRecords.push_back(name + ".att");
        }
    }
    double start = Now();
    const bool bChanged = store.ReconcileRecords();
    const double adopting = Now() - start;
    start = Now();
    const bool bChangedAgain = store.ReconcileRecords();
    const double steady = Now() - start;
    std::printf("%6d records: %.3f s adopting half (%s), %.3f s in step (%s), %zu listed\n", count,
                adopting, bChanged ? "changed" : "unchanged", steady,
                bChangedAgain ? "changed" : "unchanged", store.m_arrRecords.size());
    DeleteTree(folder);
    return bChanged && !bChangedAgain &&
           store.m_arrRecords.size() == static_cast<std::size_t>(count);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {10000, 20000};
    }
    bool bOk = true;
    for (int count : counts) {
        bOk = Measure(count) && bOk;
    }
    return bOk ? 0 : 1;
}
