// Header fields and part headers: field recognition, the value rule, unfolding, and the
// classifiers of Content-Type, Content-Transfer-Encoding and Content-Disposition.

#include "engine/mime/MailParser.h"
#include "engine/text/HeaderText.h"
#include "platform/ShiftJis.h"

#include <algorithm>
#include <vector>

namespace {

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// One parameter as written: its name in lower case (with the section and "*" marks of
// RFC 2231 taken apart) and its value, unquoted.
struct RawParameter {
    std::string strName;
    int nSection = -1;       // -1: no "*n" section
    bool bExtended = false;  // "*" at the end: charset'language'%XX text
    std::string strValue;
};

// Splits the parameters of a field value ("type/subtype; a=1; b=\"2\"") apart. Values are
// quoted or bare up to the next ";". In a quoted value a backslash escapes a quote or a
// backslash and is otherwise itself, so that a Windows path keeps its separators (its last
// name is what the name rules keep); a trail byte is never a backslash. The scan follows the double-byte rule, so a stray lead byte
// never swallows a quote or a semicolon.
std::vector<RawParameter> SplitParameters(std::string_view value) {
    std::vector<RawParameter> parameters;
    std::size_t pos = sjis::FindFirstOf(value, ";");
    while (pos != std::string_view::npos && pos < value.size()) {
        ++pos;  // the ";"
        while (pos < value.size() && IsWhiteSpace(value[pos])) {
            ++pos;
        }
        const std::size_t equals = sjis::FindFirstOf(value, "=;", pos);
        if (equals == std::string_view::npos || value[equals] == ';') {
            pos = equals;
            continue;  // no value: not a parameter
        }
        std::string_view name = value.substr(pos, equals - pos);
        while (!name.empty() && IsWhiteSpace(name.back())) {
            name.remove_suffix(1);
        }
        RawParameter parameter;
        if (!name.empty() && name.back() == '*') {
            parameter.bExtended = true;
            name.remove_suffix(1);
        }
        const std::size_t star = name.find('*');
        if (star != std::string_view::npos) {
            const std::string_view digits = name.substr(star + 1);
            int section = 0;
            bool bDigits = !digits.empty() && digits.size() <= 4;
            for (char c : digits) {
                bDigits = bDigits && c >= '0' && c <= '9';
                if (!bDigits) {
                    break;  // no section number (at most four digits)
                }
                section = section * 10 + (c - '0');
            }
            if (bDigits) {
                parameter.nSection = section;
                name = name.substr(0, star);
            }
        }
        parameter.strName = sjis::ToLowerAscii(name);
        pos = equals + 1;
        while (pos < value.size() && IsWhiteSpace(value[pos])) {
            ++pos;
        }
        if (pos < value.size() && value[pos] == '"') {
            ++pos;
            while (pos < value.size() && value[pos] != '"') {
                const std::size_t length = sjis::CharLength(value, pos);
                if (length == 1 && value[pos] == '\\' && pos + 1 < value.size() &&
                    (value[pos + 1] == '"' || value[pos + 1] == '\\')) {
                    ++pos;  // the escaped character follows
                    const std::size_t escaped = sjis::CharLength(value, pos);
                    parameter.strValue.append(value.substr(pos, escaped));
                    pos += escaped;
                    continue;
                }
                parameter.strValue.append(value.substr(pos, length));
                pos += length;
            }
            pos = sjis::FindFirstOf(value, ";", std::min(pos + 1, value.size()));
        } else {
            const std::size_t end = sjis::FindFirstOf(value, ";", pos);
            std::string_view bare =
                value.substr(pos, end == std::string_view::npos ? value.size() - pos : end - pos);
            while (!bare.empty() && IsWhiteSpace(bare.back())) {
                bare.remove_suffix(1);
            }
            parameter.strValue = bare;
            pos = end;
        }
        parameters.push_back(std::move(parameter));
    }
    return parameters;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "%XX" escapes of an extended value decoded.
std::string PercentDecode(std::string_view text) {
    std::string bytes;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] == '%' && pos + 2 < text.size() && HexValue(text[pos + 1]) >= 0 &&
            HexValue(text[pos + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[pos + 1]) << 4 | HexValue(text[pos + 2]));
            pos += 2;
        } else {
            bytes += text[pos];
        }
    }
    return bytes;
}

// The RFC 2231 value of name (from "name*" or the sections "name*0", "name*1*", ...),
// converted to Shift_JIS; false when there is none.
bool FindExtendedParameter(const std::vector<RawParameter>& parameters, const std::string& name,
                           std::string& value) {
    // A single "name*" first.
    const RawParameter* single = nullptr;
    std::vector<const RawParameter*> sections;
    for (const RawParameter& parameter : parameters) {
        if (parameter.strName != name) {
            continue;
        }
        if (parameter.nSection < 0 && parameter.bExtended && !single) {
            single = &parameter;
        } else if (parameter.nSection >= 0) {
            sections.push_back(&parameter);
        }
    }
    std::vector<const RawParameter*> ordered;
    if (single) {
        ordered.push_back(single);
    } else {
        // Sections 0, 1, 2, ... as far as they go without a gap.
        for (int section = 0;; ++section) {
            const auto found =
                std::find_if(sections.begin(), sections.end(),
                             [&](const RawParameter* p) { return p->nSection == section; });
            if (found == sections.end()) {
                break;
            }
            ordered.push_back(*found);
        }
    }
    if (ordered.empty()) {
        return false;
    }
    std::string charset;
    std::string bytes;
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        std::string_view text = ordered[i]->strValue;
        if (!ordered[i]->bExtended) {
            bytes += text;
            continue;
        }
        if (i == 0) {
            // charset'language'text
            const std::size_t first = text.find('\'');
            const std::size_t second =
                first == std::string_view::npos ? first : text.find('\'', first + 1);
            if (second != std::string_view::npos) {
                charset = text.substr(0, first);
                text = text.substr(second + 1);
            }
        }
        bytes += PercentDecode(text);
    }
    value.clear();
    if (charset.empty() || !engine::ConvertToShiftJis(charset, bytes, value)) {
        value = engine::ConvertRawHeaderText(bytes);
    }
    value = engine::DropControlCharacters(std::move(value));
    return true;
}

// Whether a line can belong to a header block: a continuation (it begins with white
// space) or a field, whose name of printable ASCII is followed by its colon (white space
// before the colon allowed, as old mail writes it).
bool CanBeHeaderLine(std::string_view line) {
    if (line[0] == ' ' || line[0] == '\t') {
        return true;
    }
    std::size_t pos = 0;
    while (pos < line.size() && line[pos] > ' ' && line[pos] < 0x7F && line[pos] != ':') {
        ++pos;
    }
    if (pos == 0) {
        return false;
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
        ++pos;
    }
    return pos < line.size() && line[pos] == ':';
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
    // A decoded word can begin with white space; it goes like the written one.
    return std::string(
        TrimLeftWhiteSpace(engine::DecodeHeaderText(ReadRawFieldValue(reader, line, name))));
}

std::string CMailParser::ReadRawFieldValue(CMessageReader& reader, std::string_view line,
                                           std::string_view name) {
    std::string value(TrimLeftWhiteSpace(line.substr(name.size())));
    value += ReadRawContinuation(reader);
    return value;
}

std::string CMailParser::ReadUnfoldedFieldValue(CMessageReader& reader, std::string_view line,
                                                std::string_view name) {
    std::string value(TrimLeftWhiteSpace(line.substr(name.size())));
    std::string next;
    char byte = 0;
    while (reader.ReadByte(byte)) {
        if (byte != ' ' && byte != '\t') {
            reader.StepBack();  // it begins the next line
            break;
        }
        reader.ReadLine(next);
        value += byte;  // only the line break goes
        value += next;
    }
    return value;
}

std::string CMailParser::ReadContinuation(CMessageReader& reader) {
    return engine::DecodeHeaderText(ReadRawContinuation(reader));
}

std::string CMailParser::ReadRawContinuation(CMessageReader& reader) {
    std::string result;
    std::string line;
    char byte = 0;
    while (reader.ReadByte(byte)) {
        if (byte != ' ' && byte != '\t') {
            reader.StepBack();  // it begins the next line
            break;
        }
        reader.ReadLine(line);  // the rest of the folded line (empty at the end of the file)
        result += TrimLeftWhiteSpace(line);
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
        if (!CanBeHeaderLine(line)) {
            // The header ended without its blank line: this line begins the body.
            reader.StepBack();
            return true;
        }
        // Continuation lines of other fields begin with white space and match none of these.
        // The values stay raw: their parameters are decoded one by one.
        if (IsField(line, "Content-Type:")) {
            contentType = ReadUnfoldedFieldValue(reader, line, "Content-Type:");
        } else if (IsField(line, "Content-Transfer-Encoding:")) {
            transferEncoding = ReadUnfoldedFieldValue(reader, line, "Content-Transfer-Encoding:");
        } else if (IsField(line, "Content-Disposition:")) {
            disposition = ReadUnfoldedFieldValue(reader, line, "Content-Disposition:");
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
    for (const char* name : {"X-UUENCODE", "UUENCODE", "X-UUE"}) {
        if (sjis::EqualsNoCase(CMailParser::GetMediaType(value), name)) {
            return TransferEncoding::Uuencode;
        }
    }
    return TransferEncoding::Unrecognised;
}

bool CMailParser::IsAttachmentDisposition(std::string_view value) const {
    return sjis::StartsWithNoCase(value, "ATTACHMENT") || sjis::StartsWithNoCase(value, "INLINE");
}

bool CMailParser::GetParameter(std::string_view fieldValue, std::string_view name,
                               std::string& value) {
    const std::vector<RawParameter> parameters = SplitParameters(fieldValue);
    const std::string lowerName = sjis::ToLowerAscii(name);
    if (FindExtendedParameter(parameters, lowerName, value)) {
        return true;
    }
    for (const RawParameter& parameter : parameters) {
        if (parameter.strName == lowerName && parameter.nSection < 0 && !parameter.bExtended) {
            value = engine::DecodeHeaderText(parameter.strValue);
            return true;
        }
    }
    return false;
}

std::string CMailParser::GetMediaType(std::string_view fieldValue) {
    const std::size_t end = sjis::FindFirstOf(fieldValue, ";");
    std::string_view type = TrimLeftWhiteSpace(fieldValue.substr(0, end));
    while (!type.empty() && IsWhiteSpace(type.back())) {
        type.remove_suffix(1);
    }
    // "text / plain" is read as "text/plain".
    std::string result;
    for (char c : type) {
        if (!IsWhiteSpace(c)) {
            result += c;
        }
    }
    return sjis::ToLowerAscii(result);
}

std::string CMailParser::GetBoundary(std::string_view contentType) const {
    for (const RawParameter& parameter : SplitParameters(contentType)) {
        if (parameter.strName == "boundary" && parameter.nSection < 0 && !parameter.bExtended) {
            return parameter.strValue.empty() ? std::string() : "--" + parameter.strValue;
        }
    }
    return {};
}

std::string CMailParser::GetFileNameParam(std::string_view disposition) {
    std::string name;
    GetParameter(disposition, "filename", name);
    return name;
}

std::string CMailParser::GetAttachmentName(std::string_view disposition,
                                           std::string_view contentType) {
    std::string name;
    if (!GetParameter(disposition, "filename", name) || name.empty()) {
        if (!GetParameter(contentType, "name", name)) {
            name.clear();
        }
    }
    return name;
}

std::string CMailParser::DecodeEncodedWords(std::string_view text) {
    return engine::DecodeHeaderText(text);
}
