// A multipart body of any bytes, walked part by part as the extraction does: part headers
// read and classified, parameters taken, bodies decoded by each writer.

#include "engine/mime/MailParser.h"
#include "engine/mime/StringSink.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMailParser parser;
    CMessageReader reader;
    reader.OpenText(std::string(reinterpret_cast<const char*>(data), size));
    std::string contentType;
    std::string encoding;
    std::string disposition;
    // A pass that reads nothing (a header ended by the delimiter line it stops before, and
    // a body that ends there too) reads past that line, as the walk's delimiter search does,
    // so the walk ends with the text.
    std::uint64_t start = reader.Tell();
    while (parser.ReadPartHeader(reader, contentType, encoding, disposition)) {
        parser.GetContentTypeKind(contentType);
        parser.IsAttachmentDisposition(disposition);
        parser.GetFileNameParam(disposition);
        parser.GetAttachmentName(disposition, contentType);
        CMailParser::GetMediaType(contentType);
        std::string boundary = parser.GetBoundary(contentType);
        if (boundary.empty()) {
            boundary = "--";
        }
        // The part's own boundary inside an outer one, as a nested walk has them.
        CBoundaryStack boundaries("--outer");
        boundaries.Push(boundary);
        CStringSink out;
        switch (parser.GetTransferEncoding(encoding)) {
            case TransferEncoding::Base64:
                parser.WriteBase64Body(reader, out, boundaries);
                break;
            case TransferEncoding::Uuencode:
                parser.WriteUuencodedBody(reader, out, boundaries);
                break;
            case TransferEncoding::QuotedPrintable:
                parser.WriteQuotedPrintableBody(reader, out, boundaries);
                break;
            default:
                parser.WritePlainBody(reader, out, boundaries);
                break;
        }
        if (reader.Tell() == start) {
            std::string line;
            reader.ReadLine(line);
        }
        start = reader.Tell();
    }
    return 0;
}
