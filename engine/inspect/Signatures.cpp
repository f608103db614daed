#include "engine/inspect/ByteView.h"
#include "engine/inspect/Inspection.h"

namespace engine {

namespace {

bool At(std::string_view data, std::size_t offset, std::string_view magic) {
    return offset <= data.size() && data.size() - offset >= magic.size() &&
           data.substr(offset, magic.size()) == magic;
}

using namespace std::string_view_literals;

constexpr std::string_view kCompoundMagic = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv;
// {000C1084-0000-0000-C000-000000000046}, the class of an installer database, as stored.
constexpr std::string_view kInstallerClsid =
    "\x84\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46"sv;
// {7B5C52E4-D88C-4DA7-AEB1-5378D02996D3}, the file type of a OneNote section, as stored.
constexpr std::string_view kOneNoteSection =
    "\xE4\x52\x5C\x7B\x8C\xD8\xA7\x4D\xAE\xB1\x53\x78\xD0\x29\x96\xD3"sv;

bool IsPortableExecutable(std::string_view head) {
    if (!At(head, 0, "MZ") || head.size() < 0x40) {
        return false;
    }
    const std::uint64_t peOffset = ReadLe32(head, 0x3C);
    if (peOffset < 4 || peOffset + 26 > head.size()) {
        return false;
    }
    const std::size_t pe = static_cast<std::size_t>(peOffset);
    if (!At(head, pe, "PE\0\0"sv)) {
        return false;
    }
    // The optional header follows the 20-byte file header: PE32 or PE32+.
    const std::uint32_t magic = ReadLe16(head, pe + 24);
    return magic == 0x10B || magic == 0x20B;
}

bool IsDiskImage(std::string_view head) {
    // The volume descriptors of ISO 9660 and the recognition sequence of UDF lie in the
    // 2048-byte sectors from 32 KiB on.
    for (std::size_t offset : {0x8001u, 0x8801u, 0x9001u, 0x9801u}) {
        if (At(head, offset, "CD001") || At(head, offset, "BEA01") || At(head, offset, "NSR02") ||
            At(head, offset, "NSR03")) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string_view ProgramExtension(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::Exe: return "exe";
    case ProgramKind::Lnk: return "lnk";
    case ProgramKind::Msi: return "msi";
    case ProgramKind::Cab: return "cab";
    case ProgramKind::Iso: return "iso";
    case ProgramKind::Vhd: return "vhd";
    case ProgramKind::Vhdx: return "vhdx";
    case ProgramKind::One: return "one";
    case ProgramKind::Chm: return "chm";
    case ProgramKind::None: break;
    }
    return {};
}

std::string_view ArchiveName(ArchiveKind kind) {
    switch (kind) {
    case ArchiveKind::Zip: return "zip";
    case ArchiveKind::SevenZip: return "7z";
    case ArchiveKind::Rar: return "RAR";
    case ArchiveKind::Lzh: return "LZH";
    case ArchiveKind::Cab: return "cab";
    case ArchiveKind::Tar: return "tar";
    case ArchiveKind::Gzip: return "gzip";
    case ArchiveKind::None: break;
    }
    return {};
}

std::uint64_t CompoundRootClsidOffset(std::string_view head) {
    if (!At(head, 0, kCompoundMagic) || head.size() < 0x34) {
        return 0;
    }
    const std::uint32_t shift = ReadLe16(head, 0x1E);
    if (shift != 9 && shift != 12) {
        return 0;
    }
    const std::uint64_t directory = ReadLe32(head, 0x30);
    if (directory >= 0xFFFFFFFAu) {
        return 0;
    }
    // The root storage is the first entry of the first directory sector; its class id lies
    // 0x50 bytes into the entry.
    return ((directory + 1) << shift) + 0x50;
}

ProgramKind SniffProgram(std::string_view head, std::string_view tail, std::string_view rootClsid) {
    if (IsPortableExecutable(head)) {
        return ProgramKind::Exe;
    }
    if (At(head, 0, "\x4C\x00\x00\x00\x01\x14\x02\x00"sv)) {
        return ProgramKind::Lnk;
    }
    if (At(head, 0, kCompoundMagic) && rootClsid == kInstallerClsid) {
        return ProgramKind::Msi;
    }
    if (At(head, 0, "MSCF\0\0\0\0"sv)) {
        return ProgramKind::Cab;
    }
    if (At(head, 0, "vhdxfile")) {
        return ProgramKind::Vhdx;
    }
    if (At(head, 0, "conectix") || At(tail, 0, "conectix")) {
        return ProgramKind::Vhd;
    }
    if (At(head, 0, kOneNoteSection)) {
        return ProgramKind::One;
    }
    if (At(head, 0, "ITSF")) {
        return ProgramKind::Chm;
    }
    if (IsDiskImage(head)) {
        return ProgramKind::Iso;
    }
    return ProgramKind::None;
}

ArchiveKind SniffArchive(std::string_view head) {
    if (At(head, 0, "PK\x03\x04") || At(head, 0, "PK\x05\x06") || At(head, 0, "PK\x07\x08PK\x03\x04")) {
        return ArchiveKind::Zip;
    }
    if (At(head, 0, "7z\xBC\xAF\x27\x1C")) {
        return ArchiveKind::SevenZip;
    }
    if (At(head, 0, "Rar!\x1A\x07\x00"sv) || At(head, 0, "Rar!\x1A\x07\x01\x00"sv)) {
        return ArchiveKind::Rar;
    }
    if (At(head, 0, "MSCF\0\0\0\0"sv)) {
        return ArchiveKind::Cab;
    }
    if (At(head, 0, "\x1F\x8B\x08")) {
        return ArchiveKind::Gzip;
    }
    if (At(head, 257, "ustar")) {
        return ArchiveKind::Tar;
    }
    // An LZH header: its method ("-lh5-", "-lzs-", ...) at offset 2 and a header level of
    // 0 to 2 at offset 20.
    if (head.size() >= 22 && head[2] == '-' && head[3] == 'l' && (head[4] == 'h' || head[4] == 'z') &&
        head[6] == '-' && static_cast<unsigned char>(head[20]) <= 2) {
        return ArchiveKind::Lzh;
    }
    return ArchiveKind::None;
}

}  // namespace engine
