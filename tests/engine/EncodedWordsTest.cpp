#include "engine/MailParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "日本語" and "添付.txt" in ISO-2022-JP, base64.
const std::string kNihongo = "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=";
const std::string kTenpu = "=?ISO-2022-JP?B?GyRCRTpJVRsoQi50eHQ=?=";

TEST(EncodedWords, DecodesIso2022JpBWordsOnly) {
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"plain text", "plain text"},
        {kNihongo, "日本語"},
        {"Re: " + kNihongo + " (2)", "Re: 日本語 (2)"},
        {kNihongo + " " + kTenpu, "日本語 添付.txt"},  // the space between words stays
        {"=?iso-2022-jp?b?GyRCRnxLXDhsGyhC?=", "日本語"},
        {"=?UTF-8?B?5pel5pys6Kqe?=", "=?UTF-8?B?5pel5pys6Kqe?="},
        {"=?ISO-2022-JP?Q?=1B$B?=", "=?ISO-2022-JP?Q?=1B$B?="},
        {"=?ISO-2022-JP?B?YQpi?=", "a\r\nb"},  // a decoded LF comes back as CR LF
        {"=?ISO-2022-JP?B?QQ?=", "A"},         // shorter than one group
        {"=?ISO-2022-JP?B?"
         "?=",
         ""},
        {"=?ISO-2022-JP?B?=?=", ""},
        // A word without its end empties the whole value, decoded words included.
        {kNihongo + " =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC", ""},
        {"=?ISO-2022-JP?B?", ""},
        // Raw JIS outside a word is not converted.
        {"\x1B$BF|\x1B(B", "\x1B$BF|\x1B(B"},
    };
    CMailParser parser;
    for (const auto& c : cases) {
        EXPECT_EQ(parser.DecodeEncodedWords(c.text), c.expected) << c.text;
    }
}

TEST(EncodedWords, StrayLeadByteBeforeAWordDoesNotHideIt) {
    // Raw UTF-8 ending in 0x88 right before "=?": "=" is no trail byte, so the word is found.
    CMailParser parser;
    EXPECT_EQ(parser.DecodeEncodedWords("\xE3\x83\x88" + kNihongo), "\xE3\x83\x88日本語");
}

}  // namespace
