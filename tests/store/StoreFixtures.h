#pragma once

// Records on disk for the store and run tests, in a data folder given with its trailing
// backslash.

#include <set>
#include <string>
#include <vector>

namespace test {

// Writes the record file D + name + ".att" and, unless files is empty and bMakeFolder is
// false, the record folder D + name holding one file per name in files.
void MakeRecord(const std::string& dataFolder, const std::string& name,
                const std::vector<std::string>& files, bool bMakeFolder = true);

// Every entry below folder (which ends with a backslash) as a relative path joined with "/",
// folders ending in "/".
std::set<std::string> Tree(const std::string& folder);

// Whether a file or folder exists.
bool Exists(const std::string& path);

// The record list as "morvek.atd" holds it, or {"<unreadable>"}.
std::vector<std::string> ListFileOf(const std::string& dataFolder);

}  // namespace test
