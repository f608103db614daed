#pragma once

// The reader of a record file (name + ".att"): three text lines, the message's date, sender
// and subject, as the extraction wrote them (each followed by CR CR LF on disk).
//
// The file is read as a text-mode stream reads it: a CR LF pair becomes one line end, so
// each value arrives with one CR at its end. Trailing CRs and LFs are removed from the date
// and the sender; the subject is kept as read, its trailing CR included (it draws nothing).
// A missing line reads as empty text.

#include <string>

struct RecordFileText {
    std::string dateText;
    std::string fromText;
    std::string subjectText;
};

// Fills text from the record file at path. False, with every line empty, when the file
// cannot be opened.
bool ReadRecordFile(const std::string& path, RecordFileText& text);
