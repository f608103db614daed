#pragma once

// The check of the fuzz targets that extract one message file in a scratch data folder:
// nothing may be written anywhere but the record file, the message file itself and plain
// files in the message's staging folder. Clears the data folder afterwards.

#include "fuzz/NativeScratch.h"

#include <ftw.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace fuzz {

inline void FailOutside(const std::string& what) {
    std::fprintf(stderr, "written outside the staging folder: %s\n", what.c_str());
    std::abort();
}

// native: the native data folder; base: the message's base name; message: its file name.
inline void CheckOnlyStagingWritten(const std::string& native, const std::string& base,
                                    const std::string& message) {
    if (Entries(ScratchParent()) != std::set<std::string>{"data"}) {
        FailOutside("beside the data folder");
    }
    for (const std::string& name : Entries(native)) {
        if (name != "scanvirus" && name != base + ".att" && name != message) {
            FailOutside(name);
        }
    }
    for (const std::string& name : Entries(native + "/scanvirus")) {
        if (name != base) {
            FailOutside(name);
        }
    }
    for (const std::string& name : Entries(native + "/scanvirus/" + base)) {
        struct stat st;
        if (lstat((native + "/scanvirus/" + base + "/" + name).c_str(), &st) != 0 ||
            !S_ISREG(st.st_mode)) {
            FailOutside(name);
        }
    }
    nftw(
        native.c_str(),
        [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

}  // namespace fuzz
