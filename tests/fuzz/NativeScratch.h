#pragma once

// A native scratch folder for the fuzz targets that write files, made once per process,
// and the names in a native folder.

#include <dirent.h>

#include <cstdlib>
#include <set>
#include <string>

namespace fuzz {

// A new folder under /tmp, the same for every input of this process.
inline const std::string& ScratchParent() {
    static const std::string parent = [] {
        char pattern[] = "/tmp/morvek-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::abort();
        }
        return std::string(pattern);
    }();
    return parent;
}

// The names in folder, without "." and "..".
inline std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.insert(name);
            }
        }
        closedir(dir);
    }
    return names;
}

}  // namespace fuzz
