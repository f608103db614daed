#pragma once

// Turns the file names that a message's part headers give into names that are safe to
// create in the message's staging folder, the same way on every platform:
//
//  1. only the text after the last "\", "/" or ":" is kept, so no name reaches outside
//     the folder;
//  2. trailing dots and spaces are removed, as Windows removes them when it creates the
//     file ("setup.exe." is tested, and stored, as "setup.exe");
//  3. a name that is now empty is no name;
//  4. the characters Windows refuses (< > " | ? * and control bytes) become "_";
//  5. a name that a device would answer to (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$,
//     CONOUT$, before the first ".") gets a "_" in front;
//  6. a name an earlier part of the same message already took gets "(1)", "(2)", ...
//     before its last ".", the first free one being taken.
//
// One namer serves one message.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

class CAttachmentNamer {
public:
    // The safe form of name by rules 1 to 5; empty when nothing is left of it.
    static std::string MakeSafe(const std::string& name);

    // The safe, unused form of name (rules 1 to 6), empty when nothing is left. isTaken,
    // when given, names further names to avoid (the extraction uses it to keep a name's
    // ".alert" form free as well).
    std::string Take(const std::string& name,
                     const std::function<bool(const std::string&)>& isTaken = nullptr);

    // Records a name as taken by a file of this message.
    void MarkTaken(const std::string& name);
    bool IsTaken(const std::string& name) const;

    // The name of an attachment that has none, by its media type (lower case):
    // "attachment.pdf", "attachment.jpg", ..., "attachment.bin" for other types.
    static std::string NameForType(std::string_view mediaType);

    // name with "(number)" before its last "." (at the end when it has none).
    static std::string WithNumber(const std::string& name, int number);

private:
    // Names taken, in lower case; and for each safe name the number to try next, so that a
    // message of many equal names is named in linear time.
    std::unordered_set<std::string> m_setTaken;
    std::unordered_map<std::string, int> m_mapNextNumber;
};
