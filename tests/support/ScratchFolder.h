#pragma once

// Scratch folders for tests, named by Windows paths like everything in the program.

#include <string>

namespace test {

// Creates a new folder with a unique name in parent (which ends with a backslash) and
// returns its path without trailing backslash; empty on failure.
std::string MakeUniqueFolder(const std::string& parent, const std::string& prefix);

// Deletes a folder with everything in it.
void DeleteTree(const std::string& folder);

// Writes data into a new file; fails the test when it cannot.
void WriteFile(const std::string& path, const std::string& data);

// The contents of a file, or "<unreadable>".
std::string ReadFile(const std::string& path);

// A fresh folder for one test inside the sandbox, deleted with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string operator/(const std::string& name) const { return m_strPath + "\\" + name; }

private:
    std::string m_strPath;
};

}  // namespace test
