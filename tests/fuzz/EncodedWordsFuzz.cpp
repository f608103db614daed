// Header values of any bytes: the header-text decoder and every charset conversion must
// neither crash nor overrun; text converted from Unicode is well-formed code page 932.

#include "engine/text/HeaderText.h"
#include "engine/mime/MailParser.h"
#include "platform/ShiftJis.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Every byte of 0x80 or above is a single-byte katakana or a lead byte with its trail byte.
void CheckWellFormedCp932(const std::string& text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c >= 0x80 && !(c >= 0xA1 && c <= 0xDF) && sjis::CharLength(text, pos) != 2) {
            std::abort();
        }
        pos += sjis::CharLength(text, pos);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CMailParser parser;
    parser.DecodeEncodedWords(text);
    engine::DecodeHeaderText(text);
    for (const char* charset : {"utf-8", "iso-8859-1", "iso-8859-7", "windows-1252", "koi8-r"}) {
        std::string out;
        if (!engine::ConvertToShiftJis(charset, text, out)) {
            std::abort();
        }
        CheckWellFormedCp932(out);
    }
    for (const char* charset : {"iso-2022-jp", "euc-jp", "shift_jis"}) {
        std::string out;
        engine::ConvertToShiftJis(charset, text, out);
    }
    return 0;
}
