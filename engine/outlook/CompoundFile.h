#pragma once

// Compound files (the structured-storage format of Outlook items and old Office documents):
// a reader over the whole file in memory and a writer of new ones.
//
// The reader trusts nothing in the file. Every sector number, chain, size and count is
// checked against the file before it is used: a chain that leaves the file, loops or runs
// short, a directory tree that loops or nests too deep, or a size beyond the file makes the
// file (or the one stream) unreadable, never a read outside the data.
//
// Names are UTF-16 code units as stored (without the terminating NUL).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CCompoundFile {
public:
    static constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

    enum class EntryType : std::uint8_t { Empty = 0, Storage = 1, Stream = 2, Root = 5 };

    struct Entry {
        std::u16string name;
        EntryType type = EntryType::Empty;
        std::uint32_t left = kNoEntry;
        std::uint32_t right = kNoEntry;
        std::uint32_t child = kNoEntry;
        std::uint8_t clsid[16] = {};
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    // Takes the file's bytes. False when they are no readable compound file (bad header,
    // FAT, directory or tree).
    bool Open(std::string data);

    // The root storage's entry number (0 once open).
    static constexpr std::uint32_t Root() { return 0; }
    const Entry& GetEntry(std::uint32_t index) const { return m_entries[index]; }

    // The entries directly inside a storage, in tree order; empty for a stream.
    const std::vector<std::uint32_t>& Children(std::uint32_t storage) const {
        return m_children[storage];
    }

    // The child of storage named name (compared without regard to the case of ASCII
    // letters, as the format compares), or kNoEntry.
    std::uint32_t Find(std::uint32_t storage, std::u16string_view name) const;

    // The bytes of a stream. False when its chain is damaged or too short for its size.
    bool ReadStream(std::uint32_t stream, std::string& out) const;

private:
    bool ReadHeader();
    bool ReadFat();
    bool ReadDirectory();
    bool BuildTree();
    // Follows a chain of sectors through fat, from start, at most limit sectors; false on
    // a number out of range or a sector met twice.
    static bool FollowChain(const std::vector<std::uint32_t>& fat, std::uint32_t start,
                            std::size_t limit, std::vector<std::uint32_t>& chain);
    bool ReadSectors(const std::vector<std::uint32_t>& chain, std::string& out) const;
    std::uint64_t SectorOffset(std::uint32_t sector) const;

    std::string m_data;
    std::uint32_t m_sectorSize = 512;
    std::uint32_t m_miniSectorSize = 64;
    std::uint32_t m_miniCutoff = 4096;
    std::uint32_t m_sectorCount = 0;  // whole sectors after the header
    std::uint32_t m_firstDirectorySector = 0;
    std::uint32_t m_firstMiniFatSector = 0;
    std::uint32_t m_miniFatSectorCount = 0;
    std::uint32_t m_firstDifatSector = 0;
    std::uint32_t m_difatSectorCount = 0;
    std::uint32_t m_fatSectorCount = 0;
    std::vector<std::uint32_t> m_fat;
    std::vector<std::uint32_t> m_miniFat;
    std::string m_miniStream;
    std::vector<Entry> m_entries;
    std::vector<std::vector<std::uint32_t>> m_children;
};

// Writes a new compound file (version 3, 512-byte sectors) from a tree of storages and
// streams. Streams below 4096 bytes go into the mini stream, as readers expect.
class CCompoundFileWriter {
public:
    struct Node {
        std::u16string name;
        bool isStorage = false;
        std::uint8_t clsid[16] = {};
        std::string data;  // a stream's bytes
        std::vector<Node> children;
    };

    // The file's bytes for root (its name is replaced by "Root Entry"). Empty when a name
    // is longer than 31 characters or the tree is too large for the format.
    static std::string Write(const Node& root);
};

namespace engine {

// Compound-file names compare by length, then code unit by code unit after ASCII
// letters are upper-cased.
int CompareCompoundNames(std::u16string_view a, std::u16string_view b);

// UTF-16 literal helpers for ASCII names.
std::u16string AsciiToUtf16(std::string_view text);

}  // namespace engine
