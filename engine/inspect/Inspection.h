#pragma once

// What an attachment holds, judged by its content rather than its name.
//
// Two checks, run on every written attachment:
//  - Programs under other names: the first bytes are matched against the signatures of the
//    dangerous kinds (a Windows program, a shortcut, an installer package, a cabinet, a disk
//    image, a OneNote section, a compiled help file). Each kind stands for an extension;
//    when that extension is on the prohibited list and the attachment's own name ends
//    otherwise, the attachment is held.
//  - Archives (zip, LZH, tar, gzip, cabinet; 7z and RAR are recognised but cannot be
//    opened): every entry's name at every depth is tested with the prohibited list as an
//    attachment's name is. An archive inside an archive is read into memory and tested in
//    turn. Office documents and OpenDocument files are zips but not archives for the user.
//
// Only archives are read beyond the first 64 KiB. Nothing is ever written: entries are only
// listed, and nested archives are read into memory within a budget. Every size, count and
// offset is checked against the data before it is used.

#include "policy/ExtensionList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// How much of an attachment is read when it is no archive.
inline constexpr std::size_t kHeadSize = 64 * 1024;
// The limits of the look into archives.
inline constexpr int kMaxDepth = 4;                     // archives inside archives, the outer one counted
inline constexpr std::size_t kMaxEntries = 10000;       // entries of all archives together
inline constexpr std::uint64_t kMaxNestedBytes = 1ull << 30;  // read into memory for nested archives
inline constexpr std::uint64_t kMaxRatio = 1000;        // uncompressed size / compressed size of one entry
inline constexpr std::uint64_t kRatioFloor = 1 << 20;   // entries smaller than this never pass the ratio
inline constexpr std::size_t kMaxNamedEntries = 10;     // entry paths kept for the alert text

// The dangerous kinds a file's first bytes can reveal.
enum class ProgramKind { None, Exe, Lnk, Msi, Cab, Iso, Vhd, Vhdx, One, Chm };

// The archive formats recognised by content.
enum class ArchiveKind { None, Zip, SevenZip, Rar, Lzh, Cab, Tar, Gzip };

// The extension a kind stands for ("exe", "lnk", ...); empty for None.
std::string_view ProgramExtension(ProgramKind kind);
// The format's name as the alert text gives it ("zip", "7z", "RAR", ...).
std::string_view ArchiveName(ArchiveKind kind);

// The kind of program the first bytes show. head is the file's first bytes (up to
// kHeadSize); tail its last 512 bytes when it has them (a fixed-size virtual disk keeps its
// footer there), else empty. rootClsid is the root storage's class id of a compound file
// when the caller could read it (16 bytes), else empty.
ProgramKind SniffProgram(std::string_view head, std::string_view tail, std::string_view rootClsid);
// Where a compound file keeps its root storage's class id, or 0 when head is no compound file.
std::uint64_t CompoundRootClsidOffset(std::string_view head);
// The archive format the first bytes show.
ArchiveKind SniffArchive(std::string_view head);

}  // namespace engine

struct InspectionVerdict {
    enum class Reason {
        Clean,
        ProhibitedEntry,  // an entry's name is on the prohibited list (entries holds them)
        Disguised,        // the content is a program of kind program
        Encrypted,        // an entry or the headers are encrypted
        LimitPassed,      // limit says which; entries may name the entry concerned
        Unreadable,       // archive cannot be read as its kind
        Unsupported,      // archive's format (or an entry's method) cannot be opened here
    };
    enum class Limit { None, Depth, Entries, Bytes, Ratio };

    Reason reason = Reason::Clean;
    Limit limit = Limit::None;
    engine::ProgramKind program = engine::ProgramKind::None;
    engine::ArchiveKind archive = engine::ArchiveKind::None;
    // Entry paths (Shift_JIS, folders and nested archives joined by "\"), at most
    // kMaxNamedEntries, and how many there were in all.
    std::vector<std::string> entries;
    std::size_t entryCount = 0;

    // True when the archive could not be fully checked (encrypted, a limit, unreadable or
    // unsupported): the user may choose to keep such archives.
    bool CannotBeChecked() const;
    // True when the attachment is to be replaced by an alert file; keepUncheckable is the
    // user's setting that keeps archives that cannot be checked.
    bool IsHeld(bool keepUncheckable) const;
    // The reason in Japanese, one line without its end (Shift_JIS); empty when clean.
    std::string ReasonText() const;
};

// The bytes of one attachment, read on demand.
class CAttachmentBytes {
public:
    virtual ~CAttachmentBytes() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads size bytes at offset into out (fewer only at the end); false on a read error.
    virtual bool ReadAt(std::uint64_t offset, std::size_t size, std::string& out) = 0;
    // The first bytes (up to size) without a copy, when they are at hand; else false.
    virtual bool ViewHead(std::size_t size, std::string_view& out) const = 0;
};

// An attachment held in memory.
class CMemoryBytes : public CAttachmentBytes {
public:
    explicit CMemoryBytes(std::string_view data) : m_data(data) {}
    std::uint64_t Size() const override { return m_data.size(); }
    bool ReadAt(std::uint64_t offset, std::size_t size, std::string& out) override;
    bool ViewHead(std::size_t size, std::string_view& out) const override {
        out = m_data.substr(0, size);
        return true;
    }

private:
    std::string_view m_data;
};

// An attachment written to a file. head, when given, is the file's first bytes as they were
// written (the first kHeadSize bytes, or all of a smaller file), which spares reading them
// back; size is then the file's length.
class CFileBytes : public CAttachmentBytes {
public:
    explicit CFileBytes(std::string path) : m_path(std::move(path)) {}
    CFileBytes(std::string path, std::string_view head, std::uint64_t size)
        : m_path(std::move(path)), m_head(head), m_size(size), m_sized(true) {}
    std::uint64_t Size() const override;
    bool ReadAt(std::uint64_t offset, std::size_t size, std::string& out) override;
    bool ViewHead(std::size_t size, std::string_view& out) const override {
        if (!m_sized || (m_head.size() < size && m_head.size() < m_size)) {
            return false;
        }
        out = m_head.substr(0, size);
        return true;
    }

private:
    std::string m_path;
    std::string_view m_head;
    mutable std::uint64_t m_size = 0;
    mutable bool m_sized = false;
};

namespace engine {

// Inspects one attachment. name is the attachment's file name (its extension decides
// whether a program kind is disguised); prohibited the list in force. An attachment that
// cannot be read at all is clean: there is nothing to hold.
InspectionVerdict InspectAttachment(std::string_view name, CAttachmentBytes& bytes,
                          const CExtensionList& prohibited);

// The same for bytes in memory.
InspectionVerdict InspectBytes(std::string_view name, std::string_view bytes, const CExtensionList& prohibited);

}  // namespace engine
