// The CMS reader: the encapsulated content of SignedData as openssl writes it (DER, and BER
// with indefinite lengths and pieces), EnvelopedData recognised, and damaged input refused.

#include "engine/codec/Cms.h"
#include "support/Base64Encode.h"
#include "support/CmsBuilder.h"
#include "support/SmimeSamples.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string FromBase64(std::string_view text) {
    return test::Base64Decode(text);
}

TEST(Cms, TakesTheContentOutOfSignedDataInDerAndBer) {
    for (const char* sample : {test::kCmsSignedDer, test::kCmsSignedBer}) {
        std::string content;
        bool hasContent = false;
        EXPECT_EQ(engine::cms::ReadContentInfo(FromBase64(sample), content, hasContent),
                  engine::cms::Kind::SignedData);
        EXPECT_TRUE(hasContent);
        EXPECT_EQ(content, test::kSmimeInner);
    }
    // Pieces of every size, some nested; a detached signature has no content.
    const std::string text(1000, 'x');
    for (const std::size_t pieceSize : {1u, 2u, 127u, 128u, 999u, 1000u, 5000u}) {
        std::string content;
        bool hasContent = false;
        ASSERT_EQ(engine::cms::ReadContentInfo(test::SignedDataOf(text, test::CmsForm::Pieces, pieceSize),
                                       content, hasContent),
                  engine::cms::Kind::SignedData);
        EXPECT_EQ(content, text) << pieceSize;
    }
    std::string content = "left over";
    bool hasContent = true;
    EXPECT_EQ(engine::cms::ReadContentInfo(test::SignedDataOf("x", test::CmsForm::Detached), content,
                                   hasContent),
              engine::cms::Kind::SignedData);
    EXPECT_FALSE(hasContent);
    EXPECT_EQ(content, "");
}

TEST(Cms, TellsEncryptedDataAndRefusesWhatIsNoContentInfo) {
    std::string content;
    bool hasContent = false;
    EXPECT_EQ(engine::cms::ReadContentInfo(FromBase64(test::kCmsEnvelopedDer), content, hasContent),
              engine::cms::Kind::EnvelopedData);
    EXPECT_EQ(engine::cms::ReadContentInfo(test::EnvelopedDataOf(), content, hasContent),
              engine::cms::Kind::EnvelopedData);
    EXPECT_FALSE(hasContent);
    // A ContentInfo of plain data is CMS, but neither signed nor encrypted.
    EXPECT_EQ(engine::cms::ReadContentInfo(test::DerElement(0x30, test::DerElement(0x06,
                  "\x2A\x86\x48\x86\xF7\x0D\x01\x07\x01")), content, hasContent),
              engine::cms::Kind::Other);

    const std::string signedDer = FromBase64(test::kCmsSignedDer);
    const std::string signedBer = FromBase64(test::kCmsSignedBer);
    const std::string cases[] = {
        "",
        "MIME-Version: 1.0\r\n",
        signedDer.substr(0, signedDer.size() / 2),  // cut short: lengths run past the end
        signedBer.substr(0, 60),                    // cut inside the indefinite content
        std::string("\x30\x80\x06\x00", 4),         // no end-of-contents
        std::string("\x30\x85\x01\x00\x00\x00\x00", 7),  // a length of five octets
        std::string("\x04\x80\x00\x00", 4),          // indefinite length on a primitive
        std::string(200, '\x30') ,                   // nesting without end
    };
    for (const std::string& bytes : cases) {
        content = "x";
        EXPECT_EQ(engine::cms::ReadContentInfo(bytes, content, hasContent), engine::cms::Kind::NotCms)
            << bytes.size();
        EXPECT_FALSE(hasContent);
        EXPECT_EQ(content, "");
    }
    // Deep nesting of indefinite lengths is refused, not followed down the stack.
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "\x30\x80";
    }
    EXPECT_EQ(engine::cms::ReadContentInfo(deep, content, hasContent), engine::cms::Kind::NotCms);
}

}  // namespace
