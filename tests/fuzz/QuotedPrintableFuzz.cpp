// Quoted-printable lines and bodies of any bytes: decoding never grows a line, and the body
// writer stops at the boundary line.

#include "engine/MailParser.h"
#include "engine/StringSink.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CMailParser parser;
    bool bSoftBreak = false;
    const std::string decoded = parser.DecodeQuotedPrintableLine(text, bSoftBreak);
    if (decoded.size() > text.size() || (bSoftBreak && text.back() != '=')) {
        std::abort();
    }

    CMessageReader reader;
    reader.OpenText(text + "\n--b--\n");
    CStringSink out;
    std::string next;
    parser.WriteQuotedPrintableBody(reader, out, "--b");
    if (!reader.ReadLine(next) || next.compare(0, 3, "--b") != 0) {
        std::abort();
    }
    return 0;
}
