// A message header of any bytes: the summary's sender and subject never hold a line break
// and are never empty once the header ended; the date is one of a bounded size.

#include "engine/mime/MailParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMailParser parser;
    CMessageReader reader;
    reader.OpenText(std::string(reinterpret_cast<const char*>(data), size));
    std::string from;
    std::string subject;
    std::string date;
    std::string contentType;
    const bool bComplete = parser.ReadMessageSummary(reader, from, subject, date, contentType);
    if (from.find_first_of("\r\n") != std::string::npos ||
        subject.find_first_of("\r\n") != std::string::npos || date.size() > 127 ||
        (bComplete && (from.empty() || subject.empty()))) {
        std::abort();
    }
    return 0;
}
