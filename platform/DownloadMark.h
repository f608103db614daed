#pragma once

// The mark of the web: what tells Windows that a file came from outside the computer. A file
// with the mark is checked by SmartScreen before it runs, Office opens it in Protected View
// with its macros blocked, and the shell warns before it runs a script. Browsers and mail
// programs put the mark on every file they save; the program does the same for every file it
// writes from a message, so that an extracted attachment is no more trusted than the same
// file saved from the mail program.
//
// On Windows the mark is the named stream "Zone.Identifier" of the file, holding
// "[ZoneTransfer]" and "ZoneId=3" (the internet zone). Only volumes that keep named streams
// (NTFS, ReFS) can hold it: the volume is asked first, and on FAT, exFAT or Wine's drives
// (which answer that they keep none) nothing is written. Elsewhere there is no mark.
//
// A mark that cannot be written is no error: the file stays as it is, and callers go on.
// The results say what happened, for tests and nothing else.

#include <string>

namespace platform {

class DownloadMarker {
public:
    virtual ~DownloadMarker() = default;

    // Marks the file at path as downloaded from the internet. The file must be complete and
    // closed. True when the mark was written.
    virtual bool Mark(const std::string& path) = 0;

    // Gives the file at to the mark the file at from has, as it is (its zone and any origin
    // it names). True when from had a mark and to got it; nothing changes when from has none.
    virtual bool CopyMark(const std::string& from, const std::string& to) = 0;
};

// The marker in use: the backend's, unless a test has put another in its place.
DownloadMarker& CurrentDownloadMarker();

// Puts marker in place of the one in use (nullptr brings back the backend's) and returns the
// one it replaced, nullptr for the backend's. For tests.
DownloadMarker* ReplaceDownloadMarker(DownloadMarker* marker);

// The calls the writers make.
inline bool MarkAsDownloaded(const std::string& path) {
    return CurrentDownloadMarker().Mark(path);
}
inline bool CopyDownloadMark(const std::string& from, const std::string& to) {
    return CurrentDownloadMarker().CopyMark(from, to);
}

namespace detail {
// The backend's marker (the backend implements it).
DownloadMarker& BackendDownloadMarker();
}  // namespace detail

}  // namespace platform
