// The header-text decoder: encoded words in every charset, raw 8-bit text, and the
// conversion to code page 932 with the same result in every build.

#include "engine/text/HeaderText.h"
#include "engine/mime/MailParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

// "日本語" and "添付.txt" in ISO-2022-JP, base64.
const std::string kNihongo = "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=";
const std::string kTenpu = "=?ISO-2022-JP?B?GyRCRTpJVRsoQi50eHQ=?=";

struct TextCase {
    std::string text;
    std::string expected;
};

TEST(HeaderText, DecodesEncodedWordsOfEveryCharset) {
    const TextCase cases[] = {
        {"plain text", "plain text"},
        {kNihongo, "日本語"},
        {"Re: " + kNihongo + " (2)", "Re: 日本語 (2)"},
        {"=?iso-2022-jp?b?GyRCRnxLXDhsGyhC?=", "日本語"},
        {"=?UTF-8?B?5pel5pys6Kqe?=", "日本語"},
        {"=?utf-8?q?=E6=97=A5=E6=9C=AC_x?=", "日本 x"},  // Q: "_" is a space
        {"=?Shift_JIS?B?k/qWe4zq?=", "日本語"},
        {"=?EUC-JP?B?xvzL3Ljs?=", "日本語"},
        // ESC ( I half-width katakana, ESC $ @ the older JIS X 0208.
        {"=?ISO-2022-JP?B?GyhJMTIbJEJGfEtcGyhC?=", "ｱｲ日本"},
        {"=?ISO-2022-JP?B?GyRARnwbKEI=?=", "日"},
        {"=?koi8-r?B?89DJ08/LLmRvYw==?=", "Список.doc"},
        {"=?ISO-8859-1?Q?caf=E9?=", "caf?"},  // no best fit: "é" is not "e"
        {"=?windows-1252?B?gA==?=", "?"},      // the euro sign is not in code page 932
        {"=?US-ASCII*EN?Q?abc?=", "abc"},      // RFC 2231 language
        {"=?utf-8?B?44Gm44GZ44GoLnR4dA?=", "てすと.txt"},  // no padding
        // Adjacent words lose the white space between them and are joined before the
        // conversion, so a character split between two words survives.
        {kNihongo + " " + kTenpu, "日本語添付.txt"},
        {kNihongo + "\r\n\t" + kNihongo, "日本語日本語"},
        {"=?UTF-8?B?5pel5pw=?= =?UTF-8?B?rOiqng==?=", "日本語"},
        {kNihongo + " x " + kNihongo, "日本語 x 日本語"},
        // An unknown charset whose bytes are UTF-8 reads as UTF-8; otherwise unknown
        // charsets and malformed words stay as written.
        {"=?x-unknown?B?QQ==?=", "A"},
        {"=?x-mac-japanese?B?5pel5pys?=", "日本"},
        {"=?x-unknown?B?k/o=?=", "=?x-unknown?B?k/o=?="},
        {"=?ISO-2022-JP?B?", "=?ISO-2022-JP?B?"},
        {"=?utf-8?X?QQ==?=", "=?utf-8?X?QQ==?="},
        {"=??B?QQ==?=", "=??B?QQ==?="},
        {"a =?utf-8?B?QQ=?= b", "a A b"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(engine::DecodeHeaderText(c.text), c.expected) << c.text;
    }
}

TEST(HeaderText, ConvertsRawTextByItsForm) {
    const TextCase cases[] = {
        {"\x1B$BF|K\\8l\x1B(B.txt", "日本語.txt"},                   // raw ISO-2022-JP
        // Raw 8-bit names: UTF-8 when every character is one code page 932 holds (these
        // bytes are valid Shift_JIS as well, "譌･譛ｬ"), else Shift_JIS when it is defined
        // Shift_JIS, else windows-1252.
        {"\xE6\x97\xA5\xE6\x9C\xAC.txt", "日本.txt"},
        {"\xD0\xA1\xD0\xBF\xD0\xB8\xD1\x81\xD0\xBE\xD0\xBA.doc", "Список.doc"},
        {"\x93\xFA\x96\x7B.txt", "\x93\xFA\x96\x7B.txt"},  // not UTF-8 at all
        {"\xC3\xBD.txt", "\xC3\xBD.txt"},  // "ﾃｽ.txt": as UTF-8 "ý", which 932 lacks
        {"\xE5\x8C\x83\x41.txt", "\xE5\x8C\x83\x41.txt"},  // "蛹ア.txt": as UTF-8 U+5303
        {"Fr\xF6sche.txt", "Fr?sche.txt"},  // 0xF6 0x73 is a user-defined Shift_JIS code
        // UTF-8 accented letters inside Latin words are no half-width katakana.
        {"ci\xC3\xABle.txt", "ci?le.txt"},
        {"\xC3\xA9t\xC3\xA9.doc", "?t?.doc"},
        {"\x93na\xEFve\x94", "\x81\x67na?ve\x81\x68"},  // windows-1252 quotes
        {"\xC2\xA0\xC2\xA3", "?\x81\x92"},  // UTF-8 that 932 partly lacks, not Shift_JIS
        {"\xE3\x83\x88" + kNihongo, "ト日本語"},                     // both in one value
        {"\x1B$B\x1B(B", ""},
        {"\x1B(J\\~", "￥?"},  // JIS Roman: the yen sign and the overline
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(engine::DecodeHeaderText(c.text), c.expected) << c.text;
    }
}

// The characters Japanese text writes in two Unicode forms reach one code page 932 code;
// decomposed kana are composed; what code page 932 lacks is "?".
TEST(HeaderText, MapsUnicodeToCodePage932AlikeInEveryBuild) {
    const TextCase cases[] = {
        {"\xE3\x80\x9C", "\x81\x60"},          // WAVE DASH
        {"\xEF\xBD\x9E", "\x81\x60"},          // FULLWIDTH TILDE
        {"\xE2\x88\x92", "\x81\x7C"},          // MINUS SIGN
        {"\xEF\xBC\x8D", "\x81\x7C"},          // FULLWIDTH HYPHEN-MINUS
        {"\xE2\x80\x94", "\x81\x5C"},          // EM DASH
        {"\xE2\x80\x95", "\x81\x5C"},          // HORIZONTAL BAR
        {"\xE2\x80\x96", "\x81\x61"},          // DOUBLE VERTICAL LINE
        {"\xE2\x88\xA5", "\x81\x61"},          // PARALLEL TO
        {"\xC2\xA2\xC2\xA3\xC2\xAC", "\x81\x91\x81\x92\x81\xCA"},
        {"\xEF\xBF\xA0\xEF\xBF\xA1\xEF\xBF\xA2", "\x81\x91\x81\x92\x81\xCA"},
        {"\xC2\xA5", "\x81\x8F"},              // "¥" is never the backslash
        {"\xEF\xBF\xA5", "\x81\x8F"},
        {"\xE2\x91\xA0\xEF\xA8\x91", "\x87\x40\xFA\xB1"},  // NEC and IBM extensions
        {"\xE3\x82\xBF\xE3\x82\x99.txt", "ダ.txt"},        // "タ" + U+3099
        {"\xE3\x83\x8F\xE3\x82\x9A", "パ"},                // "ハ" + U+309A
        {"e\xCC\x81", "?"},                               // "é" composed, then "?"
        {"\xF0\x9F\x98\x80", "?"},                        // outside the BMP
        {"\xEF\xBD\xB1", "\xB1"},                         // half-width katakana
    };
    for (const TextCase& c : cases) {
        std::string out;
        ASSERT_TRUE(engine::ConvertToShiftJis("utf-8", c.text, out));
        EXPECT_EQ(out, c.expected) << c.text;
    }
    std::string out;
    EXPECT_FALSE(engine::ConvertToShiftJis("x-unknown", "a", out));
    EXPECT_TRUE(out.empty());
}

// Korean, Chinese and the Unicode forms: the kanji code page 932 holds survive, hangul and
// the rest are "?" (in names "_", as for any character code page 932 lacks).
TEST(HeaderText, DecodesKoreanChineseAndUnicodeForms) {
    const TextCase cases[] = {
        {"=?EUC-KR?B?x9GxuSDs7dziLnR4dA==?=", "?? 日本.txt"},
        {"=?ks_c_5601-1987?B?x9GxuSDs7dziLnR4dA==?=", "?? 日本.txt"},
        {"=?ks_c_5601-1987?B?jGPs7Q==?=", "?日"},  // code page 949's extra hangul: one "?"
        {"=?GB2312?B?1tDOxNfKwc8gyNWxvi5kb2M=?=", "中文?料 日本.doc"},  // "资" is simplified
        {"=?GBK?B?1tDOxNfKwc8gyNWxvi5kb2M=?=", "中文?料 日本.doc"},
        // GB18030: a four-byte code of the BMP (half-width katakana), then "€" and "日".
        {"=?GB18030?B?hDGXM6LjyNU=?=", "ｱ?日"},
        {"=?gb18030?B?lDmCMQ==?=", "?"},  // a four-byte code beyond the BMP
        {"=?Big5?B?uOquxiCk6aW7Lnhscw==?=", "資料 日本.xls"},
        {"=?UTF-7?Q?+ZeVnLIqe.txt?=", "日本語.txt"},
        {"=?utf-7?Q?a+-b+ZeU-c?=", "a+b日c"},
        {"=?UTF-16?B?//7lZSxnLgB0AHgAdAA=?=", "日本.txt"},  // little-endian by its mark
        {"=?UTF-16?B?ZeVnLA==?=", "日本"},                   // big-endian without one
        {"=?UTF-16LE?B?5WUsZw==?=", "日本"},
        {"=?UTF-16BE?B?ZeVnLA==?=", "日本"},
        {"=?UTF-16BE?B?2D3eAABh?=", "?a"},  // a surrogate pair beyond the BMP
        {"=?UTF-16BE?B?3gAAYQ==?=", "?a"},  // a lone low surrogate
        {"=?UTF-16BE?B?AGFl?=", "a?"},      // an odd last byte
        // Broken double-byte text: a lead byte without its trail is "?" on its own.
        {"=?EUC-KR?B?sA==?=", "?"},
        {"=?Big5?B?pA==?=", "?"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(engine::DecodeHeaderText(c.text), c.expected) << c.text;
    }
    // JIS X 0212 in ISO-2022-JP-2 and EUC-JP: what code page 932 holds of it (the IBM
    // extension kanji) survives, the rest is "?".
    std::string expected;
    ASSERT_TRUE(engine::ConvertToShiftJis("utf-8", "x\xE4\xB8\xA8y", expected));  // U+4E28
    EXPECT_EQ(engine::DecodeHeaderText("=?ISO-2022-JP-2?B?eBskKEQwKRsoQnk=?="), expected);
    std::string out;
    ASSERT_TRUE(engine::ConvertToShiftJis("EUC-JP", "x\x8F\xB0\xA9y", out));
    EXPECT_EQ(out, expected);
    out.clear();
    ASSERT_TRUE(engine::ConvertToShiftJis("ISO-2022-JP-1", "\x1B$(D\x22\x2F\x1B(B", out));
    EXPECT_EQ(out, "?");  // a JIS X 0212 symbol code page 932 lacks
}

// Control characters never reach a name or a subject: a tab or a line break is a space, the
// rest go.
TEST(HeaderText, DropsControlCharacters) {
    const TextCase cases[] = {
        {"=?UTF-8?B?YQBiCWMNCmQ=?=", "ab c d"},  // "a\0b\tc\r\nd"
        {"=?ISO-2022-JP?B?GyRCRnwbKEIHGyRCS1wbKEI=?=", "日本"},  // BEL between kanji
        {"a\x01" "b\x1F", "ab"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(engine::DecodeHeaderText(c.text), c.expected) << c.text;
    }
    std::string value;
    ASSERT_TRUE(CMailParser::GetParameter("attachment; filename*=UTF-8''a%00b%09c.txt",
                                          "filename", value));
    EXPECT_EQ(value, "ab c.txt");
}

TEST(HeaderText, StrayLeadByteBeforeAWordDoesNotHideIt) {
    CMailParser parser;
    // The stray byte is no Shift_JIS: it reads as windows-1252 ("“").
    EXPECT_EQ(parser.DecodeEncodedWords("\x93" + kNihongo), "\x81\x67日本語");
    // A lead byte whose next byte is a trail byte pairs with it: "\x93=" is no pair.
    EXPECT_EQ(parser.DecodeEncodedWords("\x93\x40" + kNihongo), "\x93\x40日本語");
}

// Every JIS X 0208 code maps onto a Shift_JIS pair that maps back by the inverse rule; a
// slip in the arithmetic shows up as a pair that is no valid character or a wrong row.
TEST(HeaderText, JisArithmeticCoversTheWholeTable) {
    for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            const std::string jis =
                std::string("\x1B$B") + static_cast<char>(j1) + static_cast<char>(j2);
            std::string sjis;
            ASSERT_TRUE(engine::ConvertToShiftJis("ISO-2022-JP", jis, sjis));
            ASSERT_EQ(sjis.size(), 2u);
            const int lead = static_cast<unsigned char>(sjis[0]);
            const int trail = static_cast<unsigned char>(sjis[1]);
            ASSERT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF));
            ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F);
            const int row = (lead <= 0x9F ? lead - 0x81 : lead - 0xC1) * 2 + (trail >= 0x9F);
            const int cell = trail >= 0x9F ? trail - 0x9F : trail - 0x40 - (trail > 0x7F);
            ASSERT_EQ(row + 0x21, j1);
            ASSERT_EQ(cell + 0x21, j2);
        }
    }
}

}  // namespace
