// Header fields and part headers: field recognition, the value rule, unfolding, and the
// classifiers of Content-Type, Content-Transfer-Encoding and Content-Disposition.

#include "engine/MailParser.h"
#include "platform/ShiftJis.h"

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text between the double quotes that follow parameter (name, "=" and the opening
// quote), as written in value; empty when the parameter or its closing quote is missing.
bool FindQuotedParameter(std::string_view value, std::string_view parameter,
                         std::string_view& found) {
    const std::size_t start = sjis::FindNoCase(value, parameter);
    if (start == std::string_view::npos) {
        return false;
    }
    const std::size_t open = start + parameter.size();
    const std::size_t close = sjis::FindFirstOf(value, "\"", open);
    if (close == std::string_view::npos) {
        return false;
    }
    found = value.substr(open, close - open);
    return true;
}

}  // namespace

bool CMailParser::IsField(std::string_view line, std::string_view name) {
    return sjis::StartsWithNoCase(line, name);
}

std::string_view CMailParser::TrimLeftWhiteSpace(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsWhiteSpace(text[pos])) {
        ++pos;
    }
    return text.substr(pos);
}

std::string CMailParser::ReadFieldValue(CMessageReader& reader, std::string_view line,
                                        std::string_view name) {
    // Decoding comes before the trim; the continuation is appended after it.
    const std::string decoded = DecodeEncodedWords(line.substr(name.size()));
    std::string value(TrimLeftWhiteSpace(decoded));
    value += ReadContinuation(reader);
    return value;
}

std::string CMailParser::ReadContinuation(CMessageReader& reader) {
    std::string result;
    std::string line;
    char byte = 0;
    while (reader.ReadByte(byte)) {
        if (byte != ' ' && byte != '\t') {
            reader.StepBack();  // it begins the next line
            break;
        }
        reader.ReadLine(line);  // the rest of the folded line (empty at the end of the file)
        result += DecodeEncodedWords(TrimLeftWhiteSpace(line));
    }
    return result;
}

bool CMailParser::ReadPartHeader(CMessageReader& reader, std::string& contentType,
                                 std::string& transferEncoding, std::string& disposition) {
    contentType.clear();
    transferEncoding.clear();
    disposition.clear();
    std::string line;
    while (reader.ReadLine(line)) {
        if (line.empty()) {
            return true;
        }
        // Continuation lines of other fields begin with white space and match none of these.
        if (IsField(line, "Content-Type:")) {
            contentType = ReadFieldValue(reader, line, "Content-Type:");
        } else if (IsField(line, "Content-Transfer-Encoding:")) {
            transferEncoding = ReadFieldValue(reader, line, "Content-Transfer-Encoding:");
        } else if (IsField(line, "Content-Disposition:")) {
            disposition = ReadFieldValue(reader, line, "Content-Disposition:");
        }
    }
    return false;
}

ContentTypeKind CMailParser::GetContentTypeKind(std::string_view value) const {
    if (sjis::StartsWithNoCase(value, "MULTIPART/MIXED")) {
        return ContentTypeKind::MultipartMixed;
    }
    if (sjis::StartsWithNoCase(value, "MESSAGE/RFC822")) {
        return ContentTypeKind::MessageRfc822;
    }
    if (sjis::StartsWithNoCase(value, "MULTIPART/REPORT")) {
        return ContentTypeKind::MultipartReport;
    }
    return ContentTypeKind::Other;
}

TransferEncoding CMailParser::GetTransferEncoding(std::string_view value) const {
    if (sjis::StartsWithNoCase(value, "BASE64")) {
        return TransferEncoding::Base64;
    }
    if (sjis::StartsWithNoCase(value, "QUOTED-PRINTABLE")) {
        return TransferEncoding::QuotedPrintable;
    }
    if (sjis::StartsWithNoCase(value, "7BIT")) {
        return TransferEncoding::SevenBit;
    }
    if (sjis::StartsWithNoCase(value, "8BIT")) {
        return TransferEncoding::EightBit;
    }
    return TransferEncoding::Unrecognised;
}

bool CMailParser::IsAttachmentDisposition(std::string_view value) const {
    return sjis::StartsWithNoCase(value, "ATTACHMENT") || sjis::StartsWithNoCase(value, "INLINE");
}

std::string CMailParser::GetBoundary(std::string_view contentType) const {
    std::string_view boundary;
    if (!FindQuotedParameter(contentType, "BOUNDARY=\"", boundary)) {
        return {};
    }
    return "--" + std::string(boundary);
}

std::string CMailParser::GetFileNameParam(std::string_view disposition) {
    std::string_view name;
    if (!FindQuotedParameter(disposition, "FILENAME=\"", name)) {
        return {};
    }
    return DecodeEncodedWords(name);
}
