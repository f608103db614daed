// Header values of any bytes: decoding encoded words and converting JIS must neither crash
// nor overrun, and a converted text never holds an LF without its CR.

#include "engine/Base64Decoder.h"
#include "engine/MailParser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void CheckLineEnds(const std::string& text) {
    for (std::size_t pos = text.find('\n'); pos != std::string::npos;
         pos = text.find('\n', pos + 1)) {
        if (pos == 0 || text[pos - 1] != '\r') {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CMailParser parser;
    parser.DecodeEncodedWords(text);
    const std::string sjis = CBase64Decoder().JisToSjis(text);
    if (text.find('\n') == std::string::npos || text.find('\r') == std::string::npos) {
        // Without both in the input, every LF of the output came from the conversion.
        CheckLineEnds(sjis);
    }
    return 0;
}
