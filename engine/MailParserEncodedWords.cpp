// Encoded words: only ISO-2022-JP with the B encoding is converted; every other word, and
// all text outside words, is copied as it stands.

#include "engine/Base64Decoder.h"
#include "engine/MailParser.h"
#include "platform/ShiftJis.h"

#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kStartMarker = "=?ISO-2022-JP?B?";
constexpr std::string_view kEndMarker = "?=";

}  // namespace

std::string CMailParser::DecodeEncodedWords(std::string_view text) {
    std::string result;
    std::size_t pos = 0;
    while (true) {
        const std::size_t start = sjis::FindNoCase(text, kStartMarker, pos);
        if (start == std::string_view::npos) {
            result.append(text.substr(pos));
            return result;
        }
        result.append(text.substr(pos, start - pos));
        const std::size_t encodedStart = start + kStartMarker.size();
        const std::size_t end = sjis::Find(text, kEndMarker, encodedStart);
        if (end == std::string_view::npos) {
            return {};  // a word without its end: the whole value is given up
        }
        const std::string_view encoded = text.substr(encodedStart, end - encodedStart);
        CBase64Decoder decoder;
        // A word of fewer than four characters still decodes to one group of three bytes.
        std::vector<unsigned char> decoded(CBase64Decoder::GetDecodedBound(encoded.size()));
        const std::size_t count = decoder.Decode(encoded.data(), encoded.size(), decoded.data());
        result += decoder.JisToSjis(
            std::string_view(reinterpret_cast<const char*>(decoded.data()), count));
        pos = end + kEndMarker.size();
    }
}
