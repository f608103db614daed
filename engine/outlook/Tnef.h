#pragma once

// TNEF streams ("winmail.dat", content type application/ms-tnef): the form in which
// Outlook sends a message's attachments to other mail programs. The reader gives the files
// inside: each with its name (the long file name of its MAPI properties, else its title,
// else its short or display name) and bytes. An attached message (a TNEF stream of its
// own) gives its files in turn; an OLE object gives its data as a file.
//
// Every length and count is checked against the stream; a stream that is cut short or
// malformed gives false and no files, so the caller keeps it as it came.

#include <string>
#include <string_view>
#include <vector>

struct TnefAttachment {
    std::string name;  // Shift_JIS, as the stream names it (not yet made safe)
    std::string data;
};

namespace engine {

bool ReadTnef(std::string_view stream, std::vector<TnefAttachment>& attachments);

// Whether an attachment is a TNEF stream by its file name ("winmail.dat") or its content
// type ("application/ms-tnef"), letter case aside. Either may be empty.
bool IsTnefAttachment(const std::string& fileName, const std::string& contentType);

}  // namespace engine
