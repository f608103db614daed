// Quoted-printable lines and bodies of any bytes: decoding never grows a line, and the body
// writer stops at the boundary line with the same output wherever the reader's blocks end.

#include "engine/mime/MailParser.h"
#include "engine/mime/StringSink.h"

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
    CMessageReader blocks;
    blocks.OpenText(text + "\n--b--\n", 1 + (size > 0 ? data[0] % 32 : 0));
    CStringSink blockOut;
    std::string blockNext;
    parser.WriteQuotedPrintableBody(blocks, blockOut, "--b");
    if (blockOut.GetData() != out.GetData() || !blocks.ReadLine(blockNext) || blockNext != next) {
        std::abort();
    }
    return 0;
}
