#include "engine/MailParser.h"

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
        {"x-uuencode", TransferEncoding::Unrecognised},
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

TEST(PartHeader, TakesQuotedParameters) {
    CMailParser parser;
    const struct {
        std::string value;
        std::string boundary;
    } boundaries[] = {
        {"Multipart/Mixed; Boundary=\"Abc\"", "--Abc"},  // letter case as written
        {"multipart/mixed;boundary=\"a b\";x=1", "--a b"},
        {"multipart/mixed; boundary=Abc", ""},  // unquoted
        {"multipart/mixed; boundary=\"Abc", ""},
        {"multipart/mixed; boundary = \"Abc\"", ""},
        {"multipart/mixed; x-boundary=\"Abc\"", "--Abc"},  // found anywhere in the value
        // A raw UTF-8 boundary ending in the lead byte 0x88 keeps its closing quote.
        {"multipart/mixed; boundary=\"\xE3\x83\x88\"", "--\xE3\x83\x88"},
        // "B" as the trail byte of a double-byte character is no letter.
        {"\x83"
         "BOUNDARY=\"x\"",
         ""},
    };
    for (const auto& c : boundaries) {
        EXPECT_EQ(parser.GetBoundary(c.value), c.boundary) << c.value;
    }
    const struct {
        std::string value;
        std::string name;
    } names[] = {
        {"attachment; filename=\"=?ISO-2022-JP?B?GyRCRTpJVRsoQi50eHQ=?=\"", "添付.txt"},
        {"attachment; FileName=\"Report.PDF\"", "Report.PDF"},
        {"attachment", ""},
        {"attachment; name=\"a.txt\"", ""},
        {"attachment; filename*=utf-8''a.txt", ""},
        // Raw UTF-8 "テスト.exe": the name keeps its ".exe" and its closing quote.
        {"attachment; filename=\"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe\"; size=3",
         "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.exe"},
        {"attachment; filename=\"\xE3\x83\x88\"", "\xE3\x83\x88"},
    };
    for (const auto& c : names) {
        EXPECT_EQ(parser.GetFileNameParam(c.value), c.name) << c.value;
    }
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
    EXPECT_EQ(header.strContentType, "Multipart/Mixed;Boundary=\"Abc\"");
    EXPECT_EQ(header.strEncoding, "base64");
    EXPECT_EQ(header.strDisposition, "attachment;filename=\"a.txt\"");  // the last one
    EXPECT_EQ(header.strNextLine, "body");

    CMailParser parser;
    EXPECT_EQ(parser.GetContentTypeKind(header.strContentType), ContentTypeKind::MultipartMixed);
    EXPECT_EQ(parser.GetBoundary(header.strContentType), "--Abc");
}

TEST(PartHeader, AppliesTheValueRuleInItsOrder) {
    // " a" encoded: the field value is decoded, then trimmed; a continuation line is
    // trimmed, then decoded, so its decoded space stays.
    const PartHeader header = ReadHeader(
        "Content-Type: =?ISO-2022-JP?B?IGE=?=\n"
        "\t=?ISO-2022-JP?B?IGE=?=\n"
        "Content-Type : ignored\n"
        "Content-Types: ignored\n"
        "\n");
    EXPECT_TRUE(header.bComplete);
    EXPECT_EQ(header.strContentType, "a a");
    EXPECT_EQ(header.strNextLine, "<end>");
}

TEST(PartHeader, EndsAtTheEndOfTheFile) {
    const struct {
        std::string text;
        std::string contentType;
    } cases[] = {
        {"Content-Type: text/plain", "text/plain"},
        {"Content-Type: text/plain\r\n", "text/plain"},   // no blank line after it
        {"Content-Type: text/\r\n plain", "text/plain"},  // a continuation at the end
        {"Content-Type: text/\r\n ", "text/"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const PartHeader header = ReadHeader(c.text);
        EXPECT_FALSE(header.bComplete) << c.text;
        EXPECT_EQ(header.strContentType, c.contentType) << c.text;
    }
}

}  // namespace
