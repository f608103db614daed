#include "engine/inspect/Inspection.h"

#include "support/ArchiveBuilders.h"
#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"
#include "support/ScratchFolder.h"
#include "platform/File.h"

#include <gtest/gtest.h>

namespace {

using Reason = InspectionVerdict::Reason;
using Limit = InspectionVerdict::Limit;
using test::ZipItem;

CExtensionList Prohibited() {
    CExtensionList list = DefaultProhibitedList();
    list.Add(kAlertExtension);
    return list;
}

// The first bytes of a 64-bit Windows program: the DOS header pointing at a PE header.
std::string Program() {
    std::string pe(0x200, '\0');
    pe[0] = 'M';
    pe[1] = 'Z';
    pe[0x3C] = 0x40;
    pe.replace(0x40, 4, std::string("PE\0\0", 4));
    pe[0x44] = '\x64';
    pe[0x45] = '\x86';
    pe[0x58] = '\x0B';
    pe[0x59] = '\x02';
    return pe;
}

std::string Shortcut() {
    return std::string("\x4C\x00\x00\x00\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 20) +
           std::string(60, '\0');
}

std::string DiskImage() {
    std::string iso(0x9000, '\0');
    iso.replace(0x8001, 5, "CD001");
    return iso;
}

// A compound file whose root storage carries class id clsid.
std::string CompoundFile(const std::string& clsid) {
    std::string file(0x600, '\0');
    file.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    file[0x1E] = 9;
    file[0x30] = 1;  // the directory in sector 1, at 0x400
    file.replace(0x400 + 0x50, 16, clsid);
    return file;
}

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// An extra field in the Unicode path form for the raw name it belongs to.
std::string UnicodePath(const std::string& raw, const std::string& utf8Name, bool matching = true) {
    std::string field;
    test::PutLe(field, 0x7075, 2);
    test::PutLe(field, 5 + utf8Name.size(), 2);
    field += '\x01';
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(raw.data()), static_cast<uInt>(raw.size()));
    test::PutLe(field, matching ? crc : crc ^ 1, 4);
    return field + utf8Name;
}

const std::string kPdf = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj<<>>endobj\n";
const std::string kJpeg = "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00";

std::string Nested(int levels, const std::string& innermostName) {
    std::string data = test::Zip({{innermostName, "x"}});
    for (int i = 1; i < levels; ++i) {
        data = test::Zip({{"level" + std::to_string(levels - i) + ".zip", data}});
    }
    return data;
}

struct Carrier {
    const char* what;
    std::string name;
    std::string bytes;
    Reason reason;
    std::string firstEntry = {};
    Limit limit = Limit::None;
};

TEST(Inspection, EachCraftedCarrierIsHeldForItsReasonAndBenignFilesAreNot) {
    const std::string encrypted7z(
        "\x37\x7A\xBC\xAF\x27\x1C\x00\x04\x91\x4D\x9E\x69\x90\x00\x00\x00\x00\x00\x00\x00\x2F\x00\x00\x00"
        "\x00\x00\x00\x00\x29\xB2\xEF\x2D\xAF\x62\x71\x34\xD7\xE8\xF9\xF1\x95\x3C\x6D\xDC\xD1\xD6\x85\x36",
        48);
    std::string manyEntries;
    {
        std::vector<ZipItem> items;
        for (int i = 0; i <= 10000; ++i) {
            items.push_back({"page" + std::to_string(i) + ".txt", "", false});
        }
        manyEntries = test::Zip(items);
    }
    // An entry that claims 5 GiB from a few bytes, and a nested archive too big to read.
    const std::string bomb = test::Zip({{"zeros.bin", std::string(1000, '\0'), true, 0, 0xFFFF, {}, 5ull << 30}},
                                       true);
    std::string bigNested = test::Deflate(test::Zip({{"a.txt", "a"}})) + std::string(3 << 20, 'p');
    const std::string tooBig = test::Zip(
        {{"inner.zip", bigNested, false, 0, 8, {}, 2ull << 30}});
    std::string docxParts = "<Types/>";
    const std::vector<ZipItem> docx = {{"[Content_Types].xml", docxParts},
                                       {"word/document.xml", "<w:document/>"},
                                       {"word/embeddings/oleObject1.exe", "MZ"}};
    const std::vector<ZipItem> xlsx = {{"[Content_Types].xml", docxParts},
                                       {"xl/workbook.xml", "<workbook/>"},
                                       {"xl/vbaProject.bin", "x"}};

    const std::vector<Carrier> carriers = {
        {"zip holding a shortcut", "請求書.zip", test::Zip({{"請求書.pdf.lnk", Shortcut()}}),
         Reason::ProhibitedEntry, "請求書.pdf.lnk"},
        {"zip holding a script", "a.zip", test::Zip({{"docs/run.js", "WScript.Echo(1)"}}), Reason::ProhibitedEntry,
         "docs\\run.js"},
        {"zip holding a program", "a.zip", test::Zip({{"setup.EXE", Program()}}), Reason::ProhibitedEntry,
         "setup.EXE"},
        {"zip holding a disk image", "a.zip", test::Zip({{"disk.iso", DiskImage(), false}}), Reason::ProhibitedEntry,
         "disk.iso"},
        {"zip in a zip holding an application", "outer.zip",
         test::Zip({{"readme.txt", "hi"}, {"inner.zip", test::Zip({{"run.hta", "<hta/>"}})}}),
         Reason::ProhibitedEntry, "inner.zip\\run.hta"},
        {"stored zip in a zip", "outer.zip", test::Zip({{"inner.zip", test::Zip({{"a.vbs", "x"}}), false}}),
         Reason::ProhibitedEntry, "inner.zip\\a.vbs"},
        {"CP932 name without the UTF-8 flag", "a.zip", test::Zip({{"請求書.exe", "x"}}), Reason::ProhibitedEntry,
         "請求書.exe"},
        {"UTF-8 name with the flag", "a.zip", test::Zip({{Utf8(u8"請求書.exe"), "x", true, 0x0800}}),
         Reason::ProhibitedEntry, "請求書.exe"},
        {"Unicode path field", "a.zip",
         test::Zip({{"invoice.pdf", "x", true, 0, 0xFFFF, UnicodePath("invoice.pdf", Utf8(u8"請求書.exe"))}}),
         Reason::ProhibitedEntry, "請求書.exe"},
        {"Unicode path field of another name", "a.zip",
         test::Zip({{"invoice.pdf", "x", true, 0, 0xFFFF, UnicodePath("other.pdf", Utf8(u8"請求書.exe"))}}),
         Reason::Clean},
        {"ZIP64 archive", "a.zip", test::Zip({{"a.pdf", kPdf}, {"b.scr", "x"}}, true), Reason::ProhibitedEntry,
         "b.scr"},
        {"name ending in a period", "a.zip", test::Zip({{"a.exe.", "x"}}), Reason::ProhibitedEntry, "a.exe."},
        {"folder with a period", "a.zip", test::Zip({{"v1.exe/readme.txt", "x"}, {"v1.exe/", "", false}}),
         Reason::Clean},
        {"traditional encryption", "a.zip", test::Zip({{"report.pdf", "x", false, 0x0001}}), Reason::Encrypted},
        {"AES encryption", "a.zip",
         test::Zip({{"report.pdf", "x", false, 0x0001, 99, std::string("\x01\x99\x07\x00\x02\x00\x41\x45\x03\x08\x00", 11)}}),
         Reason::Encrypted},
        {"encrypted zip naming a program", "a.zip", test::Zip({{"a.pdf", "x", false, 0x0001}, {"b.exe", "y", false, 1}}),
         Reason::ProhibitedEntry, "b.exe"},
        {"encrypted 7z", "a.7z", encrypted7z, Reason::Unsupported},
        {"RAR 5", "a.rar", std::string("Rar!\x1A\x07\x01\x00\x33\x92\xB5\xE5\x0A\x01\x05\x06\x00", 17),
         Reason::Unsupported},
        {"LZH holding a program", "a.lzh", test::Lzh({{"readme.txt", "x"}, {"setup.exe", Program()}}),
         Reason::ProhibitedEntry, "setup.exe"},
        {"LZH with level 2 headers", "a.lzh", test::Lzh({{"請求書.exe", "x"}}, true), Reason::ProhibitedEntry,
         "請求書.exe"},
        {"zip in an LZH", "a.lzh", test::Lzh({{"in.zip", test::Zip({{"a.cmd", "x"}})}}), Reason::ProhibitedEntry,
         "in.zip\\a.cmd"},
        {"tar.gz holding a program", "a.tar.gz", test::Gzip(test::Tar({{"bin/setup.exe", "x"}}), "a.tar"),
         Reason::ProhibitedEntry, "a.tar\\bin\\setup.exe"},
        {"gzip of a program", "setup.exe.gz", test::Gzip("MZ", {}), Reason::ProhibitedEntry, "setup.exe"},
        {"zip bomb by ratio", "a.zip", bomb, Reason::LimitPassed, "zeros.bin", Limit::Ratio},
        {"zips nested five deep", "a.zip", Nested(5, "a.txt"), Reason::LimitPassed,
         "level1.zip\\level2.zip\\level3.zip\\level4.zip", Limit::Depth},
        {"zips nested four deep", "a.zip", Nested(4, "a.pif"), Reason::ProhibitedEntry,
         "level1.zip\\level2.zip\\level3.zip\\a.pif"},
        {"more than 10,000 entries", "a.zip", manyEntries, Reason::LimitPassed, {}, Limit::Entries},
        {"nested archive beyond the budget", "a.zip", tooBig, Reason::LimitPassed, "inner.zip", Limit::Bytes},
        {"damaged zip", "a.zip", std::string("PK\x03\x04garbage", 11), Reason::Unreadable},
        {"docx with a program part", "a.docx", test::Zip(docx), Reason::Clean},
        {"xlsx", "a.xlsx", test::Zip(xlsx), Reason::Clean},
        {"document named .zip", "a.zip", test::Zip(docx), Reason::ProhibitedEntry, "word\\embeddings\\oleObject1.exe"},
        {"OpenDocument", "a.odt", test::Zip({{"mimetype", "application/vnd.oasis.opendocument.text", false},
                                             {"Scripts/x.js", "x"}}),
         Reason::Clean},
        {"zip of documents and pictures", "photos.zip",
         test::Zip({{"a.pdf", kPdf}, {"img/b.jpg", kJpeg, false}, {"c.xlsx", test::Zip(xlsx)}}), Reason::Clean},
        {"program named .pdf", "invoice.pdf", Program(), Reason::Disguised},
        {"shortcut named .jpg", "photo.jpg", Shortcut(), Reason::Disguised},
        {"nameless program", "attachment.bin", Program(), Reason::Disguised},
        {"disk image named .pdf", "scan.pdf", DiskImage(), Reason::Disguised},
        {"installer named .doc", "a.doc",
         CompoundFile(std::string("\x84\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16)),
         Reason::Disguised},
        {"Word 97 document", "a.doc",
         CompoundFile(std::string("\x06\x09\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16)),
         Reason::Clean},
        {"text starting with MZ", "notes.txt", "MZ is a postcode\r\n", Reason::Clean},
        {"PDF", "a.pdf", kPdf, Reason::Clean},
    };
    const CExtensionList prohibited = Prohibited();
    for (const Carrier& carrier : carriers) {
        SCOPED_TRACE(carrier.what);
        const InspectionVerdict verdict = engine::InspectBytes(carrier.name, carrier.bytes, prohibited);
        EXPECT_EQ(verdict.reason, carrier.reason) << verdict.ReasonText();
        EXPECT_EQ(verdict.limit, carrier.limit);
        if (!carrier.firstEntry.empty()) {
            ASSERT_FALSE(verdict.entries.empty());
            EXPECT_EQ(verdict.entries.front(), carrier.firstEntry);
        }
        EXPECT_EQ(verdict.reason != Reason::Clean, !verdict.ReasonText().empty());
    }
}

TEST(Inspection, TheSettingKeepsOnlyWhatCannotBeChecked) {
    const CExtensionList prohibited = Prohibited();
    const InspectionVerdict encrypted =
        engine::InspectBytes("a.zip", test::Zip({{"report.pdf", "x", false, 0x0001}}), prohibited);
    const InspectionVerdict named = engine::InspectBytes("a.zip", test::Zip({{"a.lnk", "x"}}), prohibited);
    const InspectionVerdict disguised = engine::InspectBytes("a.pdf", Program(), prohibited);
    EXPECT_TRUE(encrypted.IsHeld(false));
    EXPECT_FALSE(encrypted.IsHeld(true));
    for (const InspectionVerdict& verdict : {named, disguised}) {
        EXPECT_TRUE(verdict.IsHeld(false));
        EXPECT_TRUE(verdict.IsHeld(true));
    }
}

TEST(Inspection, TheUsersListGoverns) {
    // Without exe and lnk on the list, neither a program named .pdf nor a zip of shortcuts
    // is held; a program named .exe is never a disguise.
    CExtensionList list({"js"}, {});
    EXPECT_EQ(engine::InspectBytes("a.pdf", Program(), list).reason, Reason::Clean);
    EXPECT_EQ(engine::InspectBytes("a.zip", test::Zip({{"a.lnk", "x"}}), list).reason, Reason::Clean);
    EXPECT_EQ(engine::InspectBytes("a.EXE", Program(), Prohibited()).reason, Reason::Clean);
    EXPECT_EQ(engine::InspectBytes("a.zip", test::Zip({{"a.lnk", "x"}}), CExtensionList()).reason, Reason::Clean);
}

TEST(Inspection, ReasonTextsNameWhatWasFound) {
    const CExtensionList prohibited = Prohibited();
    std::vector<ZipItem> items;
    for (int i = 0; i < 12; ++i) {
        items.push_back({"f" + std::to_string(i) + ".exe", "x"});
    }
    const InspectionVerdict many = engine::InspectBytes("a.zip", test::Zip(items), prohibited);
    EXPECT_EQ(many.entryCount, 12u);
    EXPECT_EQ(many.entries.size(), 10u);
    EXPECT_EQ(many.ReasonText(),
              "圧縮ファイルの中に取り出し禁止のファイルがあります: f0.exe, f1.exe, f2.exe, f3.exe, f4.exe, "
              "f5.exe, f6.exe, f7.exe, f8.exe, f9.exe ほか 2 件");
    EXPECT_EQ(engine::InspectBytes("a.zip", test::Zip({{"a.pdf", "x", false, 1}}), prohibited).ReasonText(),
              "パスワード付きのため検査できません");
    EXPECT_EQ(engine::InspectBytes("a.pdf", Program(), prohibited).ReasonText(), "中身はプログラム (exe) です");
    EXPECT_EQ(engine::InspectBytes("a.jpg", Shortcut(), prohibited).ReasonText(),
              "中身はショートカット (lnk) です");
}

TEST(Inspection, AFileIsReadBeyondItsHeadOnlyWhenItIsAnArchive) {
    test::ScratchFolder folder;
    const std::string path = folder.Path() + "\\a.bin";
    // A program whose head is handed over as it was written: the file on disk says
    // otherwise, and is not read.
    const std::string program = Program();
    ASSERT_TRUE(platform::WriteWholeFile(path, std::string(program.size(), 'x')));
    CFileBytes fromHead(path, program, program.size());
    EXPECT_EQ(engine::InspectAttachment("a.pdf", fromHead, Prohibited()).reason, Reason::Disguised);
    // An archive larger than its head is read whole from the file.
    std::string padding(engine::kHeadSize + 100, 'p');
    const std::string zip = test::Zip({{"padding.txt", padding, false}, {"z.exe", "x"}});
    ASSERT_TRUE(platform::WriteWholeFile(path, zip));
    CFileBytes file(path, std::string_view(zip).substr(0, engine::kHeadSize), zip.size());
    EXPECT_EQ(engine::InspectAttachment("a.zip", file, Prohibited()).reason, Reason::ProhibitedEntry);
    CFileBytes unread(path);
    EXPECT_EQ(engine::InspectAttachment("a.zip", unread, Prohibited()).entries.front(), "z.exe");
}

}  // namespace
