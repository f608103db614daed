#include "engine/mime/MailParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PartHeader, ClassifiesByCaseInsensitivePrefix) {
    CMailParser parser;
    const struct {
        const char* value;
        ContentTypeKind kind;
    } kinds[] = {
        {"multipart/mixed; boundary=\"x\"", ContentTypeKind::MultipartMixed},
        {"Multipart/Mixed", ContentTypeKind::MultipartMixed},
        {"MESSAGE/rfc822", ContentTypeKind::MessageRfc822},
        {"multipart/report; report-type=delivery-status", ContentTypeKind::MultipartReport},
        {"multipart/alternative", ContentTypeKind::Other},
        {" multipart/mixed", ContentTypeKind::Other},  // the value rule trims before this
        {"", ContentTypeKind::Other},
    };
    for (const auto& c : kinds) {
        EXPECT_EQ(parser.GetContentTypeKind(c.value), c.kind) << c.value;
    }
    const struct {
        const char* value;
        TransferEncoding encoding;
    } encodings[] = {
        {"Base64", TransferEncoding::Base64},
        {"quoted-printable", TransferEncoding::QuotedPrintable},
        {"7BIT", TransferEncoding::SevenBit},
        {"8bit", TransferEncoding::EightBit},
        {"binary", TransferEncoding::Unrecognised},
        {"x-uuencode", TransferEncoding::Uuencode},
        {"", TransferEncoding::Unrecognised},
    };
    for (const auto& c : encodings) {
        EXPECT_EQ(parser.GetTransferEncoding(c.value), c.encoding) << c.value;
    }
    EXPECT_TRUE(parser.IsAttachmentDisposition("ATTACHMENT; filename=\"a\""));
    EXPECT_TRUE(parser.IsAttachmentDisposition("inline"));
    EXPECT_FALSE(parser.IsAttachmentDisposition(""));
    EXPECT_FALSE(parser.IsAttachmentDisposition("form-data"));
}

TEST(PartHeader, TakesParametersByRfc2045And2231) {
    CMailParser parser;
    const struct {
        std::string value;
        std::string boundary;
    } boundaries[] = {
        {"Multipart/Mixed; Boundary=\"Abc\"", "--Abc"},  // letter case as written
        {"multipart/mixed;boundary=\"a b\";x=1", "--a b"},
        {"multipart/mixed; boundary=Abc", "--Abc"},  // bare
        {"multipart/mixed; boundary=Abc ; x=1", "--Abc"},
        {"multipart/mixed; boundary = \"Abc\"", "--Abc"},
        {"multipart/mixed; boundary=\"Abc", "--Abc"},  // the quote never closes
        {"multipart/mixed; x-boundary=\"Abc\"", ""},   // another parameter
        {"multipart/mixed; boundary=\"\"", ""},
        // A raw UTF-8 boundary ending in the lead byte 0x88 keeps its closing quote.
        {"multipart/mixed; boundary=\"\xE3\x83\x88\"; x=1", "--\xE3\x83\x88"},
        // "B" as the trail byte of a double-byte character is no letter.
        {"\x83"
         "BOUNDARY=\"x\"",
         ""},
    };
    for (const auto& c : boundaries) {
        EXPECT_EQ(parser.GetBoundary(c.value), c.boundary) << c.value;
    }
    const struct {
        std::string disposition;
        std::string contentType;
        std::string name;
    } names[] = {
        {"attachment; filename=\"=?ISO-2022-JP?B?GyRCRTpJVRsoQi50eHQ=?=\"", "", "添付.txt"},
        {"attachment; FileName=\"Report.PDF\"", "", "Report.PDF"},
        {"attachment", "", ""},
        {"attachment; filename=a.txt", "", "a.txt"},
        {"attachment; filename=This is a test.txt", "", "This is a test.txt"},
        {"attachment; filename==?utf-8?B?44OG44K544OILnBkZg==?=", "", "テスト.pdf"},
        {"attachment; filename*=UTF-8''%E3%83%86%E3%82%B9%E3%83%88.pdf", "", "テスト.pdf"},
        {"attachment; filename*=iso-2022-jp'ja'%1B$BF|K\\8l%1B(B.txt", "", "日本語.txt"},
        {"attachment; filename*0*=UTF-8''%E3%83%86; filename*1*=%E3%82%B9%E3%83%88;"
         " filename*2=\".pdf\"",
         "", "テスト.pdf"},
        {"attachment; filename*1=b.txt; filename*0=a", "", "ab.txt"},  // in section order
        {"attachment; filename=\"plain.txt\"; filename*=UTF-8''ext.txt", "", "ext.txt"},
        {"attachment; filename=\"a\\\"b\\\\c\"", "", "a\"b\\c"},  // escapes
        {"attachment; filename=\"C:\\dir\\x.txt\"", "", "C:\\dir\\x.txt"},
        {"attachment; filename=\"\x83\\x.txt\"", "", "\x83\\x.txt"},  // "ソ" is no escape
        // Raw UTF-8 "テスト.exe" becomes Shift_JIS and keeps its ".exe".
        {"attachment; filename=\"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe\"; size=3", "",
         "テスト.exe"},
        // Content-Type's name when Content-Disposition gives none.
        {"attachment", "application/pdf; name=\"only.pdf\"", "only.pdf"},
        {"", "application/pdf; name*=UTF-8''%E3%83%86.pdf", "テ.pdf"},
        {"inline; filename=\"d.txt\"", "text/plain; name=\"t.txt\"", "d.txt"},
    };
    for (const auto& c : names) {
        EXPECT_EQ(parser.GetAttachmentName(c.disposition, c.contentType), c.name)
            << c.disposition << " / " << c.contentType;
    }
    EXPECT_EQ(CMailParser::GetMediaType(" Multipart/Mixed ; boundary=x"), "multipart/mixed");
    EXPECT_EQ(CMailParser::GetMediaType("text/plain"), "text/plain");
    EXPECT_EQ(CMailParser::GetMediaType(""), "");
}

struct PartHeader {
    bool bComplete = false;
    std::string strContentType;
    std::string strEncoding;
    std::string strDisposition;
    std::string strNextLine;  // what the reader reads next
};

PartHeader ReadHeader(const std::string& text) {
    CMailParser parser;
    CMessageReader reader;
    reader.OpenText(text);
    PartHeader header;
    header.bComplete = parser.ReadPartHeader(reader, header.strContentType, header.strEncoding,
                                             header.strDisposition);
    if (!reader.ReadLine(header.strNextLine)) {
        header.strNextLine = "<end>";
    }
    return header;
}

TEST(PartHeader, ReadsFieldsUpToTheBlankLine) {
    const PartHeader header = ReadHeader(
        "content-type: Multipart/Mixed;\r\n"
        "\tBoundary=\"Abc\"\r\n"
        "X-Other: value\r\n"
        "  continuation of X-Other\r\n"
        "Content-Transfer-Encoding: base64\r\n"
        "Content-Disposition: inline\r\n"
        "Content-Disposition: attachment;\r\n"
        "\tfilename=\"a\r\n"
        "  .txt\"\r\n"
        "\r\n"
        "body\r\n");
    EXPECT_TRUE(header.bComplete);
    // Unfolding takes out the line breaks only.
    EXPECT_EQ(header.strContentType, "Multipart/Mixed;\tBoundary=\"Abc\"");
    EXPECT_EQ(header.strEncoding, "base64");
    EXPECT_EQ(header.strDisposition, "attachment;\tfilename=\"a  .txt\"");  // the last one
    EXPECT_EQ(header.strNextLine, "body");

    CMailParser parser;
    EXPECT_EQ(parser.GetContentTypeKind(header.strContentType), ContentTypeKind::MultipartMixed);
    EXPECT_EQ(parser.GetBoundary(header.strContentType), "--Abc");
}

TEST(PartHeader, KeepsTheValuesRaw) {
    // Encoded words are decoded parameter by parameter, never in the whole value.
    const PartHeader header = ReadHeader(
        "Content-Type: =?ISO-2022-JP?B?IGE=?=\n"
        "\t=?ISO-2022-JP?B?IGE=?=\n"
        "Content-Type : ignored\n"
        "Content-Types: ignored\n"
        "\n");
    EXPECT_TRUE(header.bComplete);
    EXPECT_EQ(header.strContentType, "=?ISO-2022-JP?B?IGE=?=\t=?ISO-2022-JP?B?IGE=?=");
    EXPECT_EQ(header.strNextLine, "<end>");
}

TEST(PartHeader, EndsAtTheEndOfTheFile) {
    const struct {
        std::string text;
        std::string contentType;
    } cases[] = {
        {"Content-Type: text/plain", "text/plain"},
        {"Content-Type: text/plain\r\n", "text/plain"},   // no blank line after it
        {"Content-Type: text/\r\n plain", "text/ plain"},  // a continuation at the end
        {"Content-Type: text/\r\n ", "text/ "},
        {"", ""},
    };
    for (const auto& c : cases) {
        const PartHeader header = ReadHeader(c.text);
        EXPECT_FALSE(header.bComplete) << c.text;
        EXPECT_EQ(header.strContentType, c.contentType) << c.text;
    }
}

// A line that can be no header line ends the header without its blank line and is the
// first line of the body, as mail readers take it.
TEST(PartHeader, ALineThatIsNoFieldBeginsTheBody) {
    const struct {
        std::string text;
        std::string contentType;
        std::string nextLine;
    } cases[] = {
        {"Content-Type: application/zip; name=\"a.zip\"\r\nContent-Transfer-Encoding: base64\r\n"
         "UEsDBAoAAAAAAA==\r\n--b--\r\n",
         "application/zip; name=\"a.zip\"", "UEsDBAoAAAAAAA=="},
        {"Content-Type: text/plain\r\n--b\r\n", "text/plain", "--b"},  // a part with no body
        {"Content-Type: text/plain\r\n: no name\r\n\r\n", "text/plain", ": no name"},
        {"Content-Type: text/plain\r\nX-Spaced-Name : v\r\n\r\nbody", "text/plain", "body"},
        {"Content-Type: text/plain\r\nX-\x93\xFA: v\r\n\r\n", "text/plain", "X-\x93\xFA: v"},
    };
    for (const auto& c : cases) {
        const PartHeader header = ReadHeader(c.text);
        EXPECT_TRUE(header.bComplete) << c.text;
        EXPECT_EQ(header.strContentType, c.contentType) << c.text;
        EXPECT_EQ(header.strNextLine, c.nextLine) << c.text;
    }
}

}  // namespace
