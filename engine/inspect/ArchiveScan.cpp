#include "engine/inspect/ArchiveScan.h"

#include "engine/inspect/ByteView.h"
#include "engine/text/HeaderText.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <vector>

using engine::ArchiveKind;
using engine::kMaxDepth;
using engine::kMaxEntries;
using engine::kMaxNamedEntries;
using engine::kMaxNestedBytes;
using engine::kMaxRatio;
using engine::kRatioFloor;
using engine::Fits;
using engine::ReadLe16;
using engine::ReadLe32;
using engine::ReadLe64;
using engine::SniffArchive;

namespace {

// How much of an entry is decompressed to tell whether it is an archive (a tar header's
// magic lies at 257).
constexpr std::size_t kSniffSize = 512;

enum class InflateResult { Done, Limit, Error };

// Inflates in (raw deflate for windowBits -15, gzip for 31) into out. Stops with Limit
// once out would pass limit bytes (out then holds exactly limit bytes).
InflateResult Inflate(std::string_view in, int windowBits, std::uint64_t limit, std::string& out) {
    out.clear();
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK) {
        return InflateResult::Error;
    }
    std::array<unsigned char, 64 * 1024> buffer{};
    std::size_t consumed = 0;
    InflateResult result = InflateResult::Error;
    for (;;) {
        if (stream.avail_in == 0 && consumed < in.size()) {
            const std::size_t piece = std::min<std::size_t>(in.size() - consumed, 1u << 30);
            // zlib takes its input through a non-const pointer but never writes it.
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data() + consumed));
            stream.avail_in = static_cast<uInt>(piece);
            consumed += piece;
        }
        stream.next_out = buffer.data();
        stream.avail_out = static_cast<uInt>(buffer.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = buffer.size() - stream.avail_out;
        if (out.size() + produced > limit) {
            out.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(limit - out.size()));
            result = InflateResult::Limit;
            break;
        }
        out.append(reinterpret_cast<const char*>(buffer.data()), produced);
        if (status == Z_STREAM_END) {
            result = InflateResult::Done;
            break;
        }
        if (status != Z_OK || (produced == 0 && stream.avail_in == 0 && consumed == in.size())) {
            break;  // damaged, or the input ended before the stream did
        }
    }
    inflateEnd(&stream);
    return result;
}

// Text in UTF-8 as Shift_JIS.
std::string FromUtf8(std::string_view text) {
    std::string out;
    if (!engine::ConvertToShiftJis("utf-8", text, out)) {
        return std::string(text);
    }
    return out;
}

// An entry's path as the alert text and the name test take it: folders separated by "\".
// Names are Shift_JIS here, whose trail bytes never include "/".
std::string EntryPath(const std::string& prefix, std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    std::replace(name.begin(), name.end(), '\xFF', '\\');  // LZH's folder separator
    while (!name.empty() && name.front() == '\\') {
        name.erase(name.begin());
    }
    return prefix + name;
}

bool EndsWithSeparator(std::string_view name) {
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// The extensions of the archive formats, for entries whose content cannot be looked at.
bool HasArchiveExtension(const std::string& path) {
    static const CExtensionList archives(
        {"zip", "lzh", "lha", "7z", "rar", "cab", "tar", "gz", "tgz"}, {});
    return IsProhibitedName(path, archives);
}

}  // namespace

void CArchiveScan::Problem(InspectionVerdict::Reason reason, InspectionVerdict::Limit limit, ArchiveKind kind,
                           const std::string& path) {
    if (m_problem) {
        return;
    }
    m_problem = true;
    m_firstProblem.reason = reason;
    m_firstProblem.limit = limit;
    m_firstProblem.archive = kind;
    if (!path.empty()) {
        m_firstProblem.entries.push_back(path);
        m_firstProblem.entryCount = 1;
    }
}

bool CArchiveScan::Entry(const std::string& path, bool isFolder) {
    if (m_stopped) {
        return false;
    }
    if (++m_entryCount > kMaxEntries) {
        Problem(InspectionVerdict::Reason::LimitPassed, InspectionVerdict::Limit::Entries, ArchiveKind::None, {});
        m_stopped = true;
        return false;
    }
    if (isFolder || m_prohibited.IsEmpty()) {
        return true;
    }
    // Windows drops trailing periods and spaces when it writes the entry out.
    std::string tested = path;
    while (!tested.empty() && (tested.back() == '.' || tested.back() == ' ')) {
        tested.pop_back();
    }
    if (IsProhibitedName(tested, m_prohibited)) {
        if (m_found.size() < kMaxNamedEntries) {
            m_found.push_back(path);
        }
        ++m_foundCount;
    }
    return true;
}

bool CArchiveScan::PassesRatio(const std::string& path, std::uint64_t uncompressed,
                               std::uint64_t compressed) {
    if (uncompressed >= kRatioFloor && uncompressed / kMaxRatio >= std::max<std::uint64_t>(compressed, 1)) {
        Problem(InspectionVerdict::Reason::LimitPassed, InspectionVerdict::Limit::Ratio, ArchiveKind::None, path);
        return true;
    }
    return false;
}

bool CArchiveScan::MayRead(const std::string& path, int depth, std::uint64_t size) {
    if (depth >= kMaxDepth) {
        Problem(InspectionVerdict::Reason::LimitPassed, InspectionVerdict::Limit::Depth, ArchiveKind::None, path);
        return false;
    }
    if (size > kMaxNestedBytes - m_nestedBytes) {
        Problem(InspectionVerdict::Reason::LimitPassed, InspectionVerdict::Limit::Bytes, ArchiveKind::None, path);
        return false;
    }
    return true;
}

void CArchiveScan::StoredEntry(const std::string& path, std::string_view content, int depth) {
    const ArchiveKind kind = SniffArchive(content.substr(0, std::min(content.size(), kSniffSize)));
    if (kind == ArchiveKind::None || !MayRead(path, depth, content.size())) {
        return;
    }
    m_nestedBytes += content.size();
    Scan(kind, content, path + "\\", depth + 1, path);
}

void CArchiveScan::OpaqueEntry(const std::string& path) {
    if (HasArchiveExtension(path)) {
        Problem(InspectionVerdict::Reason::Unsupported, InspectionVerdict::Limit::None, ArchiveKind::None, path);
    }
}

void CArchiveScan::Scan(ArchiveKind kind, std::string_view data, const std::string& prefix, int depth,
                        std::string_view ownName) {
    if (m_stopped) {
        return;
    }
    switch (kind) {
    case ArchiveKind::Zip: ScanZip(data, prefix, depth, ownName); break;
    case ArchiveKind::Lzh: ScanLzh(data, prefix, depth); break;
    case ArchiveKind::Tar: ScanTar(data, prefix, depth); break;
    case ArchiveKind::Gzip: ScanGzip(data, prefix, depth, ownName); break;
    case ArchiveKind::Cab: ScanCab(data, prefix); break;
    case ArchiveKind::SevenZip:
    case ArchiveKind::Rar: {
        std::string path = prefix;
        if (!path.empty()) {
            path.pop_back();  // the nested archive's own path
        }
        Problem(InspectionVerdict::Reason::Unsupported, InspectionVerdict::Limit::None, kind, path);
        break;
    }
    case ArchiveKind::None: break;
    }
}

InspectionVerdict CArchiveScan::Result(ArchiveKind outer) const {
    InspectionVerdict verdict;
    if (m_foundCount > 0) {
        verdict.reason = InspectionVerdict::Reason::ProhibitedEntry;
        verdict.entries = m_found;
        verdict.entryCount = m_foundCount;
    } else if (m_problem) {
        verdict = m_firstProblem;
    }
    if (verdict.archive == ArchiveKind::None) {
        verdict.archive = outer;
    }
    return verdict;
}

// ---- zip ----------------------------------------------------------------------------------

void CArchiveScan::ScanZip(std::string_view data, const std::string& prefix, int depth,
                           std::string_view ownName) {
    const std::string self = prefix.empty() ? std::string() : prefix.substr(0, prefix.size() - 1);
    const auto unreadable = [&] {
        Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Zip, self);
    };
    // The end of central directory record, searched backwards over its comment.
    if (data.size() < 22) {
        return unreadable();
    }
    std::size_t end = data.size() - 22;
    const std::size_t lowest = data.size() > 22 + 0xFFFF ? data.size() - 22 - 0xFFFF : 0;
    while (data.compare(end, 4, "PK\x05\x06") != 0) {
        if (end == lowest) {
            return unreadable();
        }
        --end;
    }
    std::uint64_t count = ReadLe16(data, end + 10);
    std::uint64_t directorySize = ReadLe32(data, end + 12);
    std::uint64_t directoryOffset = ReadLe32(data, end + 16);
    std::uint64_t directoryEnd = end;
    if ((count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) && end >= 20 &&
        data.compare(end - 20, 4, "PK\x06\x07") == 0) {
        const std::uint64_t record = ReadLe64(data, end - 20 + 8);
        if (!Fits(data, record, 56) || data.compare(static_cast<std::size_t>(record), 4, "PK\x06\x06") != 0) {
            return unreadable();
        }
        const std::size_t at = static_cast<std::size_t>(record);
        count = ReadLe64(data, at + 32);
        directorySize = ReadLe64(data, at + 40);
        directoryOffset = ReadLe64(data, at + 48);
        directoryEnd = record;
    }
    // Bytes before the archive (a self-extractor's program) shift every offset in it.
    if (directorySize > directoryEnd || directoryOffset > directoryEnd - directorySize) {
        return unreadable();
    }
    const std::uint64_t shift = directoryEnd - directorySize - directoryOffset;
    if (count > kMaxEntries) {
        Problem(InspectionVerdict::Reason::LimitPassed, InspectionVerdict::Limit::Entries, ArchiveKind::Zip, self);
        return;
    }

    struct ZipEntry {
        std::string name;
        bool folder = false;
        bool encrypted = false;
        std::uint32_t method = 0;
        std::uint64_t compressed = 0;
        std::uint64_t size = 0;
        std::uint64_t local = 0;
    };
    std::vector<ZipEntry> entries;
    entries.reserve(static_cast<std::size_t>(count));
    std::uint64_t at = directoryEnd - directorySize;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (!Fits(data, at, 46) || data.compare(static_cast<std::size_t>(at), 4, "PK\x01\x02") != 0) {
            return unreadable();
        }
        const std::size_t pos = static_cast<std::size_t>(at);
        const std::uint32_t flags = ReadLe16(data, pos + 8);
        ZipEntry entry;
        entry.method = ReadLe16(data, pos + 10);
        entry.compressed = ReadLe32(data, pos + 20);
        entry.size = ReadLe32(data, pos + 24);
        const std::size_t nameLength = ReadLe16(data, pos + 28);
        const std::size_t extraLength = ReadLe16(data, pos + 30);
        const std::size_t commentLength = ReadLe16(data, pos + 32);
        entry.local = ReadLe32(data, pos + 42);
        if (!Fits(data, at + 46, nameLength + extraLength + commentLength)) {
            return unreadable();
        }
        const std::string_view rawName = data.substr(pos + 46, nameLength);
        std::string_view extra = data.substr(pos + 46 + nameLength, extraLength);
        std::string unicodeName;
        bool hasUnicodeName = false;
        // Bit 0: encrypted; bit 6: strong encryption; bit 13: the headers are masked.
        entry.encrypted = (flags & 0x0001) != 0 || (flags & 0x0040) != 0 || (flags & 0x2000) != 0 ||
                          entry.method == 99;
        while (extra.size() >= 4) {
            const std::uint32_t id = ReadLe16(extra, 0);
            const std::size_t size = ReadLe16(extra, 2);
            if (size > extra.size() - 4) {
                break;
            }
            const std::string_view field = extra.substr(4, size);
            if (id == 0x0001) {
                // ZIP64: the 64-bit forms of the fields that hold 0xFFFFFFFF, in this order.
                std::size_t next = 0;
                for (std::uint64_t* value : {&entry.size, &entry.compressed, &entry.local}) {
                    if (*value == 0xFFFFFFFF && next + 8 <= field.size()) {
                        *value = ReadLe64(field, next);
                        next += 8;
                    }
                }
            } else if (id == 0x7075 && field.size() >= 5 && field[0] == 1) {
                // The Unicode path field counts only while it belongs to this name.
                const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(rawName.data()),
                                        static_cast<uInt>(rawName.size()));
                if (ReadLe32(field, 1) == crc) {
                    unicodeName = std::string(field.substr(5));
                    hasUnicodeName = true;
                }
            } else if (id == 0x9901) {
                entry.encrypted = true;  // AES
            }
            extra.remove_prefix(4 + size);
        }
        // Bit 11: the name is UTF-8. Without it, the name is in the code page of the
        // machine that wrote it: 932 for Japanese Windows.
        if ((flags & 0x0800) != 0) {
            entry.name = FromUtf8(rawName);
        } else if (hasUnicodeName) {
            entry.name = FromUtf8(unicodeName);
        } else {
            entry.name = std::string(rawName);
        }
        entry.folder = EndsWithSeparator(rawName);
        entries.push_back(std::move(entry));
        at += 46 + nameLength + extraLength + commentLength;
    }

    // An Office Open XML document or an OpenDocument file is a zip, not an archive for the
    // user; under a .zip name, Explorer opens it as one.
    const bool zipNamed = IsProhibitedName(ownName, CExtensionList({"zip"}, {}));
    if (!zipNamed) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].name == "[Content_Types].xml" || (i == 0 && entries[i].name == "mimetype")) {
                return;
            }
        }
    }

    for (const ZipEntry& entry : entries) {
        const std::string path = EntryPath(prefix, entry.name);
        if (!Entry(path, entry.folder)) {
            return;
        }
        if (entry.folder) {
            continue;
        }
        if (entry.encrypted) {
            Problem(InspectionVerdict::Reason::Encrypted, InspectionVerdict::Limit::None, ArchiveKind::Zip, self);
            continue;
        }
        if (PassesRatio(path, entry.size, entry.compressed)) {
            continue;
        }
        // The entry's bytes follow its local header.
        const std::uint64_t local = entry.local + shift;
        if (!Fits(data, local, 30) || data.compare(static_cast<std::size_t>(local), 4, "PK\x03\x04") != 0) {
            Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Zip, path);
            continue;
        }
        const std::uint64_t start =
            local + 30 + ReadLe16(data, static_cast<std::size_t>(local) + 26) +
            ReadLe16(data, static_cast<std::size_t>(local) + 28);
        if (!Fits(data, start, entry.compressed)) {
            Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Zip, path);
            continue;
        }
        const std::string_view content =
            data.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(entry.compressed));
        if (entry.method == 0) {
            StoredEntry(path, content, depth);
        } else if (entry.method == 8) {
            std::string head;
            if (Inflate(content, -15, kSniffSize, head) == InflateResult::Error) {
                Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Zip, path);
                continue;
            }
            const ArchiveKind kind = SniffArchive(head);
            if (kind == ArchiveKind::None || !MayRead(path, depth, entry.size)) {
                continue;
            }
            // Read to the declared size and no further: a stream that runs on is damaged.
            std::string inner;
            if (Inflate(content, -15, entry.size, inner) != InflateResult::Done) {
                Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Zip, path);
                continue;
            }
            m_nestedBytes += inner.size();
            Scan(kind, inner, path + "\\", depth + 1, path);
        } else {
            OpaqueEntry(path);
        }
    }
}

// ---- LZH ----------------------------------------------------------------------------------

void CArchiveScan::ScanLzh(std::string_view data, const std::string& prefix, int depth) {
    const std::string self = prefix.empty() ? std::string() : prefix.substr(0, prefix.size() - 1);
    const auto unreadable = [&] {
        Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Lzh, self);
    };
    std::uint64_t pos = 0;
    bool any = false;
    while (pos < data.size() && data[static_cast<std::size_t>(pos)] != '\0') {
        if (!Fits(data, pos, 22)) {
            return unreadable();
        }
        const std::size_t at = static_cast<std::size_t>(pos);
        const std::string_view method = data.substr(at + 2, 5);
        const unsigned level = static_cast<unsigned char>(data[at + 20]);
        if (method[0] != '-' || method[1] != 'l' || method[4] != '-') {
            return unreadable();
        }
        const std::uint64_t compressed = ReadLe32(data, at + 7);
        const std::uint64_t size = ReadLe32(data, at + 11);
        std::string name;
        std::string folder;
        std::uint64_t dataStart = 0;
        std::uint64_t dataSize = compressed;
        // Extended headers: each a type byte, its data and the size of the next one; the
        // size counts the whole header.
        const auto readExtended = [&](std::uint64_t extPos, std::uint64_t nextSize, std::uint64_t limit,
                                      std::uint64_t& endPos) {
            while (nextSize != 0) {
                if (nextSize < 3 || extPos > limit || nextSize > limit - extPos) {
                    return false;
                }
                const std::size_t e = static_cast<std::size_t>(extPos);
                const std::size_t n = static_cast<std::size_t>(nextSize);
                const unsigned char type = static_cast<unsigned char>(data[e]);
                if (type == 0x01) {
                    name = std::string(data.substr(e + 1, n - 3));
                } else if (type == 0x02) {
                    folder = std::string(data.substr(e + 1, n - 3));
                    if (!folder.empty() && folder.back() != '\xFF') {
                        folder.push_back('\xFF');
                    }
                }
                extPos += nextSize;
                nextSize = ReadLe16(data, e + n - 2);
            }
            endPos = extPos;
            return true;
        };
        std::uint64_t next = 0;
        if (level == 0 || level == 1) {
            const std::uint64_t headerEnd = pos + 2 + static_cast<unsigned char>(data[at]);
            const std::size_t nameLength = static_cast<unsigned char>(data[at + 21]);
            if (headerEnd > data.size() || 22 + nameLength > headerEnd - pos) {
                return unreadable();
            }
            name = std::string(data.substr(at + 22, nameLength));
            dataStart = headerEnd;
            if (level == 1) {
                std::uint64_t extEnd = 0;
                if (headerEnd - pos < 24 + nameLength ||
                    !readExtended(headerEnd, ReadLe16(data, static_cast<std::size_t>(headerEnd) - 2), data.size(),
                                  extEnd) ||
                    extEnd - headerEnd > compressed) {
                    return unreadable();
                }
                dataStart = extEnd;
                dataSize = compressed - (extEnd - headerEnd);
            }
            next = headerEnd + compressed;
        } else if (level == 2) {
            const std::uint64_t headerEnd = pos + ReadLe16(data, at);
            std::uint64_t extEnd = 0;
            if (headerEnd > data.size() || headerEnd < pos + 26 ||
                !readExtended(pos + 26, ReadLe16(data, at + 24), headerEnd, extEnd)) {
                return unreadable();
            }
            dataStart = headerEnd;
            next = headerEnd + compressed;
        } else {
            return unreadable();
        }
        if (!Fits(data, dataStart, dataSize)) {
            return unreadable();
        }
        any = true;
        const bool isFolder = method == "-lhd-";
        const std::string path = EntryPath(prefix, folder + name);
        if (!Entry(path, isFolder)) {
            return;
        }
        if (!isFolder && !PassesRatio(path, size, dataSize)) {
            const std::string_view content =
                data.substr(static_cast<std::size_t>(dataStart), static_cast<std::size_t>(dataSize));
            if (method == "-lh0-" || method == "-lz4-") {
                StoredEntry(path, content, depth);
            } else {
                OpaqueEntry(path);
            }
        }
        pos = next;
    }
    if (!any) {
        unreadable();
    }
}

// ---- tar ----------------------------------------------------------------------------------

namespace {

// A tar number: octal digits, or base 256 when the first byte has its high bit set.
bool TarNumber(std::string_view field, std::uint64_t& value) {
    value = 0;
    if (!field.empty() && (static_cast<unsigned char>(field[0]) & 0x80) != 0) {
        for (std::size_t i = 1; i < field.size(); ++i) {
            if (value >> 56 != 0) {
                return false;
            }
            value = value << 8 | static_cast<unsigned char>(field[i]);
        }
        return true;
    }
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') {
        ++i;
    }
    for (; i < field.size() && field[i] >= '0' && field[i] <= '7'; ++i) {
        if (value >> 60 != 0) {
            return false;
        }
        value = value * 8 + static_cast<std::uint64_t>(field[i] - '0');
    }
    return true;
}

std::string_view UpToNul(std::string_view field) {
    return field.substr(0, std::min(field.find('\0'), field.size()));
}

// The "path" record of a pax extended header, or empty.
std::string PaxPath(std::string_view records) {
    while (!records.empty()) {
        const std::size_t space = records.find(' ');
        if (space == std::string_view::npos) {
            break;
        }
        std::uint64_t length = 0;
        for (std::size_t i = 0; i < space; ++i) {
            if (records[i] < '0' || records[i] > '9' || length > records.size()) {
                return {};
            }
            length = length * 10 + static_cast<std::uint64_t>(records[i] - '0');
        }
        if (length <= space + 1 || length > records.size()) {
            break;
        }
        const std::string_view record = records.substr(space + 1, static_cast<std::size_t>(length) - space - 2);
        if (record.starts_with("path=")) {
            return std::string(record.substr(5));
        }
        records.remove_prefix(static_cast<std::size_t>(length));
    }
    return {};
}

}  // namespace

void CArchiveScan::ScanTar(std::string_view data, const std::string& prefix, int depth) {
    const std::string self = prefix.empty() ? std::string() : prefix.substr(0, prefix.size() - 1);
    const auto unreadable = [&] {
        Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Tar, self);
    };
    std::uint64_t pos = 0;
    std::string longName;
    while (Fits(data, pos, 512)) {
        const std::string_view block = data.substr(static_cast<std::size_t>(pos), 512);
        if (block.find_first_not_of('\0') == std::string_view::npos) {
            return;  // the end blocks
        }
        std::uint64_t checksum = 0;
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < 512; ++i) {
            sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(block[i]);
        }
        std::uint64_t size = 0;
        if (!TarNumber(block.substr(148, 8), checksum) || checksum != sum ||
            !TarNumber(block.substr(124, 12), size)) {
            return unreadable();
        }
        const char type = block[156];
        const std::uint64_t start = pos + 512;
        if (!Fits(data, start, size)) {
            return unreadable();
        }
        const std::string_view content =
            data.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(size));
        pos = start + (size + 511) / 512 * 512;
        if (type == 'L') {
            longName = std::string(UpToNul(content));
            continue;
        }
        if (type == 'x') {
            longName = PaxPath(content);
            continue;
        }
        if (type == 'g' || type == 'K') {
            continue;
        }
        std::string name;
        if (!longName.empty()) {
            name = std::move(longName);
            longName.clear();
        } else {
            name = std::string(UpToNul(block.substr(0, 100)));
            const std::string_view namePrefix = UpToNul(block.substr(345, 155));
            if (block.substr(257, 5) == "ustar" && !namePrefix.empty()) {
                name = std::string(namePrefix) + "/" + name;
            }
        }
        const bool isFolder = type == '5' || EndsWithSeparator(name);
        const std::string path = EntryPath(prefix, FromUtf8(name));
        if (!Entry(path, isFolder)) {
            return;
        }
        if (!isFolder && (type == '0' || type == '\0' || type == '7')) {
            StoredEntry(path, content, depth);
        }
    }
    if (pos < data.size()) {
        unreadable();
    }
}

// ---- gzip ---------------------------------------------------------------------------------

void CArchiveScan::ScanGzip(std::string_view data, const std::string& prefix, int depth,
                            std::string_view ownName) {
    const std::string self = prefix.empty() ? std::string() : prefix.substr(0, prefix.size() - 1);
    const auto unreadable = [&] {
        Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Gzip, self);
    };
    if (data.size() < 18) {
        return unreadable();
    }
    const unsigned flags = static_cast<unsigned char>(data[3]);
    std::size_t pos = 10;
    if ((flags & 0x04) != 0) {
        if (!Fits(data, pos, 2) || !Fits(data, pos + 2, ReadLe16(data, pos))) {
            return unreadable();
        }
        pos += 2 + ReadLe16(data, pos);
    }
    std::string name;
    if ((flags & 0x08) != 0) {
        const std::size_t nul = data.find('\0', pos);
        if (nul == std::string_view::npos) {
            return unreadable();
        }
        name = engine::ConvertRawHeaderText(data.substr(pos, nul - pos));
        pos = nul + 1;
    } else {
        // Without a stored name the file is the archive's name less ".gz" (".tgz" is a tar).
        std::string own(ownName);
        const std::size_t separator = sjis::FindLastOf(own, "\\");
        if (separator != std::string::npos) {
            own.erase(0, separator + 1);
        }
        const std::size_t dot = sjis::FindLastOf(own, ".");
        if (dot != std::string::npos) {
            const std::string ext = own.substr(dot + 1);
            own.erase(dot);
            if (sjis::EqualsNoCase(ext, "tgz")) {
                own += ".tar";
            }
        }
        name = own;
    }
    if ((flags & 0x10) != 0) {
        const std::size_t nul = data.find('\0', pos);
        if (nul == std::string_view::npos) {
            return unreadable();
        }
        pos = nul + 1;
    }
    if ((flags & 0x02) != 0) {
        pos += 2;
    }
    if (pos > data.size()) {
        return unreadable();
    }
    const std::string path = EntryPath(prefix, name);
    if (!Entry(path, false)) {
        return;
    }
    const std::uint64_t size = ReadLe32(data, data.size() - 4);
    if (PassesRatio(path, size, data.size())) {
        return;
    }
    std::string head;
    if (Inflate(data, 31, kSniffSize, head) == InflateResult::Error) {
        return unreadable();
    }
    const ArchiveKind kind = SniffArchive(head);
    if (kind == ArchiveKind::None || !MayRead(path, depth, 0)) {
        return;
    }
    // The stored size may lie: the stream is read no further than the ratio allows.
    std::string inner;
    const std::uint64_t budget = kMaxNestedBytes - m_nestedBytes;
    const std::uint64_t ratioLimit = std::max<std::uint64_t>(kRatioFloor, data.size() * kMaxRatio);
    const InflateResult result = Inflate(data, 31, std::min(budget, ratioLimit), inner);
    if (result == InflateResult::Limit) {
        Problem(InspectionVerdict::Reason::LimitPassed, ratioLimit < budget ? InspectionVerdict::Limit::Ratio : InspectionVerdict::Limit::Bytes,
                ArchiveKind::None, path);
        return;
    }
    if (result == InflateResult::Error) {
        return unreadable();
    }
    m_nestedBytes += inner.size();
    Scan(kind, inner, path + "\\", depth + 1, path);
}

// ---- cabinet ------------------------------------------------------------------------------

void CArchiveScan::ScanCab(std::string_view data, const std::string& prefix) {
    const std::string self = prefix.empty() ? std::string() : prefix.substr(0, prefix.size() - 1);
    const auto unreadable = [&] {
        Problem(InspectionVerdict::Reason::Unreadable, InspectionVerdict::Limit::None, ArchiveKind::Cab, self);
    };
    if (data.size() < 36) {
        return unreadable();
    }
    std::uint64_t pos = ReadLe32(data, 16);
    const std::size_t files = ReadLe16(data, 28);
    for (std::size_t i = 0; i < files; ++i) {
        if (!Fits(data, pos, 17)) {
            return unreadable();
        }
        const std::size_t at = static_cast<std::size_t>(pos);
        const std::uint32_t attributes = ReadLe16(data, at + 14);
        const std::size_t nul = data.find('\0', at + 16);
        if (nul == std::string_view::npos || nul - (at + 16) > 256) {
            return unreadable();
        }
        const std::string_view raw = data.substr(at + 16, nul - (at + 16));
        // Attribute 0x80: the name is UTF-8; otherwise it is in the writer's code page.
        const std::string path = EntryPath(prefix, (attributes & 0x80) != 0 ? FromUtf8(raw) : std::string(raw));
        if (!Entry(path, false)) {
            return;
        }
        // The entries' bytes lie in compressed data blocks that are not read here.
        OpaqueEntry(path);
        pos = nul + 1;
    }
}
