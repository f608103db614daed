// Real messages from public test suites, read in place: every one is summarised and walked
// part by part with the body writers, which must neither crash nor overrun (the sanitizer
// build checks the latter), and whose results must hold what the list and the record file
// rely on.

#include "engine/codec/Base64Decoder.h"
#include "engine/mime/MailParser.h"
#include "engine/mime/StringSink.h"
#include "platform/FileSystem.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Figures {
    int nMessages = 0;
    int nSummaries = 0;
    int nMultipart = 0;
    int nParts = 0;
    int nBase64Parts = 0;
    int nNamedParts = 0;
    std::size_t nBytes = 0;
};

// The base64 text of the body the reader stands at, lines joined, up to the boundary.
std::string GatherBase64Text(CMessageReader& reader, const std::string& boundaryLine) {
    std::string text;
    std::string line;
    while (reader.ReadLine(line) && !CMailParser::IsBoundaryStart(line, boundaryLine)) {
        text += line;
    }
    return text;
}

// The walk of one message: one level of parts, each attachment or nested message decoded.
void WalkMessage(const std::string& path, Figures& figures) {
    CMailParser parser;
    CMessageReader reader;
    ASSERT_TRUE(reader.Open(path)) << path;
    ++figures.nMessages;
    std::string from, subject, date, contentType;
    if (!parser.ReadMessageSummary(reader, from, subject, date, contentType)) {
        return;
    }
    ++figures.nSummaries;
    for (const std::string* text : {&from, &subject}) {
        EXPECT_FALSE(text->empty()) << path;
        EXPECT_EQ(text->find_first_of("\r\n"), std::string::npos) << path;
    }
    if (!date.empty()) {
        EXPECT_EQ(date.size(), std::string("2004年12月06日 10:20:30").size()) << path;
    }

    const ContentTypeKind kind = parser.GetContentTypeKind(contentType);
    const std::string boundary = parser.GetBoundary(contentType);
    if ((kind != ContentTypeKind::MultipartMixed && kind != ContentTypeKind::MultipartReport) ||
        boundary.empty()) {
        return;
    }
    ++figures.nMultipart;
    std::string line;
    while (true) {
        bool bBoundary = false;
        while (reader.ReadLine(line)) {
            if (line == boundary + "--") {
                return;
            }
            if (line == boundary) {
                bBoundary = true;
                break;
            }
        }
        std::string partType, encoding, disposition;
        if (!bBoundary || !parser.ReadPartHeader(reader, partType, encoding, disposition)) {
            return;
        }
        ++figures.nParts;
        if (!parser.IsAttachmentDisposition(disposition) &&
            parser.GetContentTypeKind(partType) != ContentTypeKind::MessageRfc822) {
            continue;
        }
        if (!parser.GetFileNameParam(disposition).empty()) {
            ++figures.nNamedParts;
        }
        CStringSink out;
        const std::uint64_t bodyStart = reader.Tell();
        switch (parser.GetTransferEncoding(encoding)) {
            case TransferEncoding::Base64: {
                EXPECT_TRUE(parser.WriteBase64Body(reader, out, boundary));
                ++figures.nBase64Parts;
                // Real bodies decode chunk by chunk exactly as their whole text does.
                const std::uint64_t bodyEnd = reader.Tell();
                reader.Seek(bodyStart);
                const std::string text = GatherBase64Text(reader, boundary);
                reader.Seek(bodyEnd);
                std::vector<unsigned char> whole(CBase64Decoder::GetDecodedBound(text.size()));
                const std::size_t count =
                    CBase64Decoder().Decode(text.data(), text.size(), whole.data());
                EXPECT_TRUE(out.GetData() ==
                            std::string(reinterpret_cast<const char*>(whole.data()), count))
                    << path;
                break;
            }
            case TransferEncoding::QuotedPrintable:
                EXPECT_TRUE(parser.WriteQuotedPrintableBody(reader, out, boundary));
                break;
            default:
                EXPECT_TRUE(parser.WritePlainBody(reader, out, boundary));
                break;
        }
        figures.nBytes += out.GetData().size();
    }
}

TEST(Corpus, EveryMessageIsReadAndWalked) {
    const std::vector<std::string> messages = test::CorpusMessages();
    if (messages.empty()) {
        GTEST_SKIP() << "no corpus at " << test::CorpusFolder();
    }
    Figures figures;
    for (const std::string& path : messages) {
        WalkMessage(path, figures);
    }
    std::printf(
        "corpus: %d messages, %d summaries, %d multipart, %d parts, %d base64, "
        "%d named attachments, %zu bytes written\n",
        figures.nMessages, figures.nSummaries, figures.nMultipart, figures.nParts,
        figures.nBase64Parts, figures.nNamedParts, figures.nBytes);
    EXPECT_EQ(figures.nMessages, static_cast<int>(messages.size()));
    EXPECT_GT(figures.nBase64Parts, 0);
}

}  // namespace
