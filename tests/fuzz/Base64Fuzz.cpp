// Base64 of any bytes decodes within the promised bound, the same whether it is decoded
// whole, as whole groups and a rest, or as a stream cut anywhere; the vector blocks decode
// what the table decoder decodes, within their room. And valid base64 cut into
// lines of any lengths, some far longer than the reader's block, comes out of the base64
// body writer as exactly the bytes that were encoded, whatever the reader's block size.

#include "engine/codec/Base64Decoder.h"
#include "engine/mime/MailParser.h"
#include "engine/mime/StringSink.h"
#include "engine/codec/vector/Base64Blocks.h"
#include "support/Base64Encode.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void DecodeWithinBound(const std::string& text) {
    CBase64Decoder decoder;
    const std::size_t bound = CBase64Decoder::GetDecodedBound(text.size());
    // An exact heap block: the address sanitizer reports any byte written beyond it.
    const std::unique_ptr<unsigned char[]> out(new unsigned char[bound]);
    const std::size_t count = decoder.Decode(text.data(), text.size(), out.get());
    const std::size_t whole = decoder.GetWholeGroupLength(text.data(), text.size());
    if (count > bound || whole > text.size()) {
        std::abort();
    }
    // Decoding stops and starts again at the end of the whole groups with the same result.
    const std::unique_ptr<unsigned char[]> parts(new unsigned char[2 * bound + 6]);
    std::size_t first = 0;
    if (decoder.DecodeWholeGroups(text.data(), text.size(), parts.get(), first) != whole) {
        std::abort();
    }
    const std::size_t second =
        decoder.Decode(text.data() + whole, text.size() - whole, parts.get() + first);
    if (first + second != count || !std::equal(out.get(), out.get() + count, parts.get())) {
        std::abort();
    }
    // The stream, fed two pieces cut where the first byte says.
    const std::size_t cut = text.empty() ? 0 : static_cast<unsigned char>(text[0]) % text.size();
    CBase64Stream stream;
    const std::unique_ptr<unsigned char[]> streamed(
        new unsigned char[CBase64Stream::GetOutputSize(cut) +
                          CBase64Stream::GetOutputSize(text.size() - cut) + 2]);
    std::size_t head = 0;
    std::size_t tail = 0;
    if (stream.Decode(text.data(), cut, streamed.get(), head) != cut ||
        stream.Decode(text.data() + cut, text.size() - cut, streamed.get() + head, tail) !=
            text.size() - cut) {
        std::abort();
    }
    const std::size_t end = head + tail + stream.Finish(streamed.get() + head + tail);
    if (end != count || !std::equal(out.get(), out.get() + count, streamed.get())) {
        std::abort();
    }
}

// The vector decoder decodes the whole groups up to the first byte outside the alphabet (or
// up to its last whole block), to the table decoder's bytes, writing only into its room.
void DecodeBlocksLikeTheTable(const std::string& text) {
    const std::unique_ptr<unsigned char[]> out(new unsigned char[text.size() / 4 * 3]);
    const std::size_t decoded = engine::DecodeBase64Blocks(
        reinterpret_cast<const unsigned char*>(text.data()), text.size(), out.get());
    std::size_t other = 0;
    while (other < text.size() &&
           CBase64Decoder::AlphabetValue(static_cast<unsigned char>(text[other])) >= 0) {
        ++other;
    }
    const std::size_t expected =
        engine::HasBase64Blocks() ? std::min(other, text.size() / 16 * 16) / 4 * 4 : 0;
    if (decoded != expected) {
        std::abort();
    }
    const std::unique_ptr<unsigned char[]> table(new unsigned char[decoded / 4 * 3 + 3]);
    std::size_t count = 0;
    CBase64Decoder().DecodeWholeGroups(text.data(), decoded, table.get(), count);
    if (count != decoded / 4 * 3 || !std::equal(table.get(), table.get() + count, out.get())) {
        std::abort();
    }
}

// The first bytes choose how much is encoded and how the text is cut into lines; the rest,
// repeated up to 128 KiB so that bodies span several chunks even from
// small inputs, is what gets encoded.
void RoundTripThroughTheBodyWriter(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kLayoutSize = 4;
    constexpr std::size_t kHead = 2 + kLayoutSize;
    if (size <= kHead) {
        return;
    }
    static const std::size_t kScales[] = {1, 37, 311, 2053};
    const std::size_t scale = kScales[data[1] % 4];
    const std::uint8_t* layout = data + 2;
    const std::string piece(reinterpret_cast<const char*>(data + kHead), size - kHead);
    const std::size_t total = std::min<std::size_t>(piece.size() * (1 + data[0] * 16), 1 << 17);
    std::string bytes;
    while (bytes.size() < total) {
        bytes += piece;
    }
    const std::string text = test::Base64Encode(bytes);
    std::string message;
    for (std::size_t pos = 0, i = 0; pos < text.size(); ++i) {
        const std::size_t length = 1 + layout[i % kLayoutSize] * scale;
        message += text.substr(pos, length);
        message += i % 2 ? "\r\n" : "\n";
        pos += length;
    }
    message += "--b--\r\n";
    // Without its padding, the text still decodes to every byte.
    if (data[0] & 1) {
        std::string unpadded;
        for (char c : message) {
            if (c != '=') {
                unpadded += c;
            }
        }
        message = unpadded;
    }

    CMailParser parser;
    CMessageReader reader;
    reader.OpenText(message, 1 + (data[1] >> 2) * 97);  // blocks of 1 to 6112 bytes
    CStringSink out;
    std::string next;
    if (!parser.WriteBase64Body(reader, out, "--b") || out.GetData() != bytes ||
        !reader.ReadLine(next) || next != "--b--") {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    DecodeWithinBound(text);
    DecodeBlocksLikeTheTable(text);
    RoundTripThroughTheBodyWriter(data, size);
    return 0;
}
