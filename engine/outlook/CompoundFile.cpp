#include "engine/outlook/CompoundFile.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::size_t kHeaderDifatCount = 109;
constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kMaxNesting = 64;
constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

std::uint16_t Get16(const std::string& data, std::size_t offset) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(data[offset]) |
                                      static_cast<unsigned char>(data[offset + 1]) << 8);
}

std::uint32_t Get32(const std::string& data, std::size_t offset) {
    return static_cast<std::uint32_t>(Get16(data, offset)) |
           static_cast<std::uint32_t>(Get16(data, offset + 2)) << 16;
}

void Put16(std::string& data, std::size_t offset, std::uint16_t value) {
    data[offset] = static_cast<char>(value & 0xFF);
    data[offset + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& data, std::size_t offset, std::uint32_t value) {
    Put16(data, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(data, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

char16_t UpperAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

int engine::CompareCompoundNames(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = UpperAscii(a[i]);
        const char16_t y = UpperAscii(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

std::u16string engine::AsciiToUtf16(std::string_view text) {
    std::u16string out;
    for (const char c : text) {
        out += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    return out;
}

// --- Reader ------------------------------------------------------------------------

bool CCompoundFile::Open(std::string data) {
    m_data = std::move(data);
    m_fat.clear();
    m_miniFat.clear();
    m_miniStream.clear();
    m_entries.clear();
    m_children.clear();
    return ReadHeader() && ReadFat() && ReadDirectory() && BuildTree();
}

bool CCompoundFile::ReadHeader() {
    if (m_data.size() < 512 || std::memcmp(m_data.data(), kSignature, sizeof kSignature) != 0) {
        return false;
    }
    const std::uint16_t major = Get16(m_data, 0x1A);
    const std::uint16_t sectorShift = Get16(m_data, 0x1E);
    const std::uint16_t miniShift = Get16(m_data, 0x20);
    if (Get16(m_data, 0x1C) != 0xFFFE || !((major == 3 && sectorShift == 9) ||
                                            (major == 4 && sectorShift == 12)) ||
        miniShift != 6) {
        return false;
    }
    m_sectorSize = 1u << sectorShift;
    m_miniSectorSize = 1u << miniShift;
    if (m_data.size() < m_sectorSize) {
        return false;
    }
    // A last sector cut short still counts: its missing bytes read as zeros.
    const std::uint64_t sectors = (m_data.size() - m_sectorSize + m_sectorSize - 1) / m_sectorSize;
    m_sectorCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, kMaxRegularSector));
    m_fatSectorCount = Get32(m_data, 0x2C);
    m_firstDirectorySector = Get32(m_data, 0x30);
    m_miniCutoff = Get32(m_data, 0x38);
    m_firstMiniFatSector = Get32(m_data, 0x3C);
    m_miniFatSectorCount = Get32(m_data, 0x40);
    m_firstDifatSector = Get32(m_data, 0x44);
    m_difatSectorCount = Get32(m_data, 0x48);
    return m_miniCutoff == 4096 && m_fatSectorCount > 0 && m_fatSectorCount <= m_sectorCount &&
           m_difatSectorCount <= m_sectorCount && m_miniFatSectorCount <= m_sectorCount;
}

std::uint64_t CCompoundFile::SectorOffset(std::uint32_t sector) const {
    return (static_cast<std::uint64_t>(sector) + 1) * m_sectorSize;
}

bool CCompoundFile::ReadSectors(const std::vector<std::uint32_t>& chain, std::string& out) const {
    out.clear();
    out.reserve(chain.size() * m_sectorSize);
    for (const std::uint32_t sector : chain) {
        if (sector >= m_sectorCount) {
            return false;
        }
        const std::uint64_t offset = SectorOffset(sector);
        const std::size_t available =
            offset >= m_data.size()
                ? 0
                : static_cast<std::size_t>(std::min<std::uint64_t>(m_sectorSize, m_data.size() - offset));
        out.append(m_data, static_cast<std::size_t>(offset), available);
        out.append(m_sectorSize - available, '\0');
    }
    return true;
}

bool CCompoundFile::FollowChain(const std::vector<std::uint32_t>& fat, std::uint32_t start,
                                std::size_t limit, std::vector<std::uint32_t>& chain) {
    chain.clear();
    std::uint32_t sector = start;
    while (sector != kEndOfChain && chain.size() < limit) {
        if (sector >= fat.size()) {
            return false;
        }
        chain.push_back(sector);
        sector = fat[sector];
    }
    // A sector twice in one chain is a loop, even when it stays within the limit; the
    // caller decides whether a chain that reached the limit is complete.
    std::vector<std::uint32_t> sorted = chain;
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

bool CCompoundFile::ReadFat() {
    // The FAT's sector numbers: 109 in the header, the rest in the DIFAT chain.
    std::vector<std::uint32_t> fatSectors;
    for (std::size_t i = 0; i < kHeaderDifatCount && fatSectors.size() < m_fatSectorCount; ++i) {
        fatSectors.push_back(Get32(m_data, 0x4C + i * 4));
    }
    std::uint32_t difat = m_firstDifatSector;
    const std::size_t perDifat = m_sectorSize / 4 - 1;
    std::vector<bool> seen(m_sectorCount, false);
    std::string sectorData;
    for (std::uint32_t n = 0; n < m_difatSectorCount && fatSectors.size() < m_fatSectorCount; ++n) {
        if (difat >= m_sectorCount || seen[difat] || !ReadSectors({difat}, sectorData)) {
            return false;
        }
        seen[difat] = true;
        for (std::size_t i = 0; i < perDifat && fatSectors.size() < m_fatSectorCount; ++i) {
            fatSectors.push_back(Get32(sectorData, i * 4));
        }
        difat = Get32(sectorData, perDifat * 4);
    }
    if (fatSectors.size() != m_fatSectorCount) {
        return false;
    }
    const std::size_t perSector = m_sectorSize / 4;
    m_fat.reserve(fatSectors.size() * perSector);
    for (const std::uint32_t sector : fatSectors) {
        if (sector >= m_sectorCount || !ReadSectors({sector}, sectorData)) {
            return false;
        }
        for (std::size_t i = 0; i < perSector; ++i) {
            m_fat.push_back(Get32(sectorData, i * 4));
        }
    }
    // Sectors past the end of the file are unusable whatever the FAT says.
    if (m_fat.size() > m_sectorCount) {
        m_fat.resize(m_sectorCount);
    }
    return true;
}

bool CCompoundFile::ReadDirectory() {
    std::vector<std::uint32_t> chain;
    if (!FollowChain(m_fat, m_firstDirectorySector, m_sectorCount, chain) || chain.empty()) {
        return false;
    }
    if (chain.size() == m_sectorCount && m_fat[chain.back()] != kEndOfChain) {
        return false;  // a loop
    }
    std::string directory;
    if (!ReadSectors(chain, directory)) {
        return false;
    }
    const std::size_t count = directory.size() / kEntrySize;
    m_entries.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t base = i * kEntrySize;
        Entry& entry = m_entries[i];
        const std::uint16_t nameBytes = Get16(directory, base + 0x40);
        const std::uint8_t type = static_cast<std::uint8_t>(directory[base + 0x42]);
        entry.type = (type == 1 || type == 2 || type == 5) ? static_cast<EntryType>(type)
                                                           : EntryType::Empty;
        if (entry.type == EntryType::Empty) {
            continue;
        }
        const std::size_t units = std::min<std::size_t>(nameBytes / 2, 32);
        for (std::size_t u = 0; u < units; ++u) {
            const char16_t c = static_cast<char16_t>(Get16(directory, base + u * 2));
            if (c == 0) {
                break;
            }
            entry.name += c;
        }
        entry.left = Get32(directory, base + 0x44);
        entry.right = Get32(directory, base + 0x48);
        entry.child = Get32(directory, base + 0x4C);
        std::memcpy(entry.clsid, directory.data() + base + 0x50, 16);
        entry.start = Get32(directory, base + 0x74);
        entry.size = Get32(directory, base + 0x78);
        if (Get16(m_data, 0x1A) == 4) {
            entry.size |= static_cast<std::uint64_t>(Get32(directory, base + 0x7C)) << 32;
        }
    }
    if (m_entries.empty() || m_entries[0].type != EntryType::Root) {
        return false;
    }

    // The mini stream (held by the root entry) and its FAT.
    const Entry& root = m_entries[0];
    if (root.size > 0) {
        const std::uint64_t needed = (root.size + m_sectorSize - 1) / m_sectorSize;
        if (needed > m_sectorCount || !FollowChain(m_fat, root.start, needed, chain) ||
            chain.size() != needed || !ReadSectors(chain, m_miniStream)) {
            return false;
        }
        m_miniStream.resize(static_cast<std::size_t>(root.size));
    }
    if (m_miniFatSectorCount > 0) {
        std::string miniFat;
        if (!FollowChain(m_fat, m_firstMiniFatSector, m_miniFatSectorCount, chain) ||
            chain.size() != m_miniFatSectorCount || !ReadSectors(chain, miniFat)) {
            return false;
        }
        for (std::size_t i = 0; i + 4 <= miniFat.size(); i += 4) {
            m_miniFat.push_back(Get32(miniFat, i));
        }
        const std::size_t miniSectors = m_miniStream.size() / m_miniSectorSize;
        if (m_miniFat.size() > miniSectors) {
            m_miniFat.resize(miniSectors);
        }
    }
    return true;
}

bool CCompoundFile::BuildTree() {
    m_children.assign(m_entries.size(), {});
    std::vector<bool> placed(m_entries.size(), false);
    placed[0] = true;
    // Storages to list, each with its nesting depth.
    std::vector<std::pair<std::uint32_t, std::size_t>> storages = {{0, 0}};
    while (!storages.empty()) {
        const auto [storage, depth] = storages.back();
        storages.pop_back();
        // The storage's red-black tree, in order, without recursion.
        std::vector<std::uint32_t> stack;
        std::uint32_t node = m_entries[storage].child;
        while (node != kNoEntry || !stack.empty()) {
            while (node != kNoEntry) {
                if (node >= m_entries.size() || placed[node] ||
                    m_entries[node].type == EntryType::Empty ||
                    m_entries[node].type == EntryType::Root) {
                    return false;
                }
                placed[node] = true;
                stack.push_back(node);
                node = m_entries[node].left;
            }
            node = stack.back();
            stack.pop_back();
            m_children[storage].push_back(node);
            if (m_entries[node].type == EntryType::Storage) {
                if (depth + 1 >= kMaxNesting) {
                    return false;
                }
                storages.emplace_back(node, depth + 1);
            }
            node = m_entries[node].right;
        }
    }
    return true;
}

std::uint32_t CCompoundFile::Find(std::uint32_t storage, std::u16string_view name) const {
    for (const std::uint32_t child : m_children[storage]) {
        if (engine::CompareCompoundNames(m_entries[child].name, name) == 0) {
            return child;
        }
    }
    return kNoEntry;
}

bool CCompoundFile::ReadStream(std::uint32_t stream, std::string& out) const {
    out.clear();
    const Entry& entry = m_entries[stream];
    if (entry.type != EntryType::Stream) {
        return false;
    }
    if (entry.size == 0) {
        return true;
    }
    std::vector<std::uint32_t> chain;
    if (entry.size < m_miniCutoff) {
        const std::uint64_t needed = (entry.size + m_miniSectorSize - 1) / m_miniSectorSize;
        if (!FollowChain(m_miniFat, entry.start, needed, chain) || chain.size() != needed) {
            return false;
        }
        out.reserve(chain.size() * m_miniSectorSize);
        for (const std::uint32_t sector : chain) {
            // The mini FAT was cut to the mini stream, so each sector lies inside it.
            out.append(m_miniStream, static_cast<std::size_t>(sector) * m_miniSectorSize,
                       m_miniSectorSize);
        }
    } else {
        const std::uint64_t needed = (entry.size + m_sectorSize - 1) / m_sectorSize;
        if (needed > m_sectorCount || !FollowChain(m_fat, entry.start, needed, chain) ||
            chain.size() != needed || !ReadSectors(chain, out)) {
            return false;
        }
    }
    out.resize(static_cast<std::size_t>(entry.size));
    return true;
}

// --- Writer ------------------------------------------------------------------------

namespace {

struct FlatEntry {
    const CCompoundFileWriter::Node* node = nullptr;
    std::uint8_t color = 1;  // 0 red, 1 black
    std::uint32_t left = kFreeSector;
    std::uint32_t right = kFreeSector;
    std::uint32_t child = kFreeSector;
    std::uint32_t start = kEndOfChain;
    std::uint32_t size = 0;
};

// Gives the sorted children of one storage a balanced tree: the median at the top, the
// incomplete bottom level red so that every path holds the same number of black nodes.
std::uint32_t BuildSiblingTree(const std::vector<std::uint32_t>& sorted, std::size_t begin,
                               std::size_t end, std::size_t depth, std::size_t fullLevels,
                               std::vector<FlatEntry>& flat) {
    if (begin >= end) {
        return kFreeSector;
    }
    const std::size_t middle = begin + (end - begin) / 2;
    const std::uint32_t index = sorted[middle];
    flat[index].color = depth >= fullLevels ? 0 : 1;
    flat[index].left = BuildSiblingTree(sorted, begin, middle, depth + 1, fullLevels, flat);
    flat[index].right = BuildSiblingTree(sorted, middle + 1, end, depth + 1, fullLevels, flat);
    return index;
}

}  // namespace

std::string CCompoundFileWriter::Write(const Node& root) {
    constexpr std::size_t kSector = 512;
    constexpr std::size_t kMini = 64;
    constexpr std::size_t kCutoff = 4096;

    // Entries in depth-first order, the root first.
    std::vector<FlatEntry> flat;
    bool bValid = true;
    std::function<std::uint32_t(const Node&, std::size_t)> add = [&](const Node& node,
                                                                     std::size_t depth) {
        const auto index = static_cast<std::uint32_t>(flat.size());
        flat.push_back({});
        flat[index].node = &node;
        if (node.name.size() > 31 || depth > kMaxNesting) {
            bValid = false;
        }
        if (!node.isStorage && depth != 0) {
            return index;
        }
        std::vector<std::uint32_t> children;
        for (const Node& child : node.children) {
            children.push_back(add(child, depth + 1));
        }
        std::sort(children.begin(), children.end(), [&](std::uint32_t a, std::uint32_t b) {
            return engine::CompareCompoundNames(flat[a].node->name, flat[b].node->name) < 0;
        });
        std::size_t fullLevels = 0;
        while ((std::size_t{1} << (fullLevels + 1)) - 1 <= children.size()) {
            ++fullLevels;
        }
        flat[index].child = BuildSiblingTree(children, 0, children.size(), 0, fullLevels, flat);
        return index;
    };
    add(root, 0);
    if (!bValid) {
        return {};
    }

    // Stream data: small streams into the mini stream, the others into their own sectors.
    std::string miniStream;
    std::vector<std::uint32_t> miniFat;
    std::string sectors;
    std::vector<std::uint32_t> fat;
    const auto appendChain = [](std::vector<std::uint32_t>& table, std::size_t first,
                                std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            table.push_back(i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : kEndOfChain);
        }
    };
    for (FlatEntry& entry : flat) {
        if (entry.node->isStorage || entry.node == &root) {
            continue;
        }
        const std::string& data = entry.node->data;
        if (data.size() > 0xFFFFFFFFu) {
            return {};
        }
        entry.size = static_cast<std::uint32_t>(data.size());
        if (data.empty()) {
            continue;
        }
        if (data.size() < kCutoff) {
            const std::size_t count = (data.size() + kMini - 1) / kMini;
            entry.start = static_cast<std::uint32_t>(miniFat.size());
            appendChain(miniFat, miniFat.size(), count);
            miniStream += data;
            miniStream.append(count * kMini - data.size(), '\0');
        } else {
            const std::size_t count = (data.size() + kSector - 1) / kSector;
            entry.start = static_cast<std::uint32_t>(fat.size());
            appendChain(fat, fat.size(), count);
            sectors += data;
            sectors.append(count * kSector - data.size(), '\0');
        }
    }
    // The mini stream, the mini FAT and the directory, each a chain of whole sectors.
    const auto appendSectors = [&](std::string bytes, std::uint32_t& first) -> std::size_t {
        const std::size_t count = (bytes.size() + kSector - 1) / kSector;
        first = count == 0 ? kEndOfChain : static_cast<std::uint32_t>(fat.size());
        appendChain(fat, fat.size(), count);
        bytes.resize(count * kSector, '\0');
        sectors += bytes;
        return count;
    };
    FlatEntry& rootEntry = flat[0];
    rootEntry.size = static_cast<std::uint32_t>(miniStream.size());
    appendSectors(miniStream, rootEntry.start);
    std::string miniFatBytes(((miniFat.size() + 127) / 128) * kSector, '\xFF');
    for (std::size_t i = 0; i < miniFat.size(); ++i) {
        Put32(miniFatBytes, i * 4, miniFat[i]);
    }
    std::uint32_t firstMiniFat = kEndOfChain;
    const std::size_t miniFatSectors = appendSectors(miniFatBytes, firstMiniFat);

    std::string directory(((flat.size() + 3) / 4) * 4 * kEntrySize, '\0');
    for (std::size_t i = 0; i < directory.size() / kEntrySize; ++i) {
        const std::size_t base = i * kEntrySize;
        Put32(directory, base + 0x44, kFreeSector);
        Put32(directory, base + 0x48, kFreeSector);
        Put32(directory, base + 0x4C, kFreeSector);
        if (i >= flat.size()) {
            continue;
        }
        const FlatEntry& entry = flat[i];
        const std::u16string name = i == 0 ? u"Root Entry" : entry.node->name;
        for (std::size_t u = 0; u < name.size(); ++u) {
            Put16(directory, base + u * 2, name[u]);
        }
        Put16(directory, base + 0x40, static_cast<std::uint16_t>((name.size() + 1) * 2));
        directory[base + 0x42] =
            static_cast<char>(i == 0 ? 5 : entry.node->isStorage ? 1 : 2);
        directory[base + 0x43] = static_cast<char>(i == 0 ? 1 : entry.color);
        Put32(directory, base + 0x44, entry.left);
        Put32(directory, base + 0x48, entry.right);
        Put32(directory, base + 0x4C, entry.child);
        std::memcpy(directory.data() + base + 0x50, entry.node->clsid, 16);
        const bool bStorage = i != 0 && entry.node->isStorage;
        Put32(directory, base + 0x74, bStorage ? 0 : entry.start);
        Put32(directory, base + 0x78, bStorage ? 0 : entry.size);
    }
    std::uint32_t firstDirectory = kEndOfChain;
    appendSectors(directory, firstDirectory);

    // The FAT covers itself and the DIFAT sectors.
    const std::size_t dataSectors = fat.size();
    std::size_t fatSectors = 0, difatSectors = 0;
    while (true) {
        const std::size_t total = dataSectors + fatSectors + difatSectors;
        const std::size_t neededFat = (total + 127) / 128;
        const std::size_t neededDifat =
            neededFat > kHeaderDifatCount ? (neededFat - kHeaderDifatCount + 126) / 127 : 0;
        if (neededFat == fatSectors && neededDifat == difatSectors) {
            break;
        }
        fatSectors = neededFat;
        difatSectors = neededDifat;
    }
    if (dataSectors + fatSectors + difatSectors >= kMaxRegularSector) {
        return {};
    }
    for (std::size_t i = 0; i < fatSectors; ++i) {
        fat.push_back(kFatSector);
    }
    for (std::size_t i = 0; i < difatSectors; ++i) {
        fat.push_back(kDifatSector);
    }
    std::string fatBytes(fatSectors * kSector, '\xFF');
    for (std::size_t i = 0; i < fat.size(); ++i) {
        Put32(fatBytes, i * 4, fat[i]);
    }
    std::string difatBytes(difatSectors * kSector, '\xFF');
    for (std::size_t i = kHeaderDifatCount; i < fatSectors; ++i) {
        const std::size_t slot = i - kHeaderDifatCount;
        Put32(difatBytes, (slot / 127) * kSector + (slot % 127) * 4,
              static_cast<std::uint32_t>(dataSectors + i));
    }
    for (std::size_t d = 0; d < difatSectors; ++d) {
        Put32(difatBytes, d * kSector + 127 * 4,
              d + 1 < difatSectors ? static_cast<std::uint32_t>(dataSectors + fatSectors + d + 1)
                                   : kEndOfChain);
    }

    std::string header(kSector, '\0');
    std::memcpy(header.data(), kSignature, sizeof kSignature);
    Put16(header, 0x18, 0x3E);
    Put16(header, 0x1A, 3);
    Put16(header, 0x1C, 0xFFFE);
    Put16(header, 0x1E, 9);
    Put16(header, 0x20, 6);
    Put32(header, 0x2C, static_cast<std::uint32_t>(fatSectors));
    Put32(header, 0x30, firstDirectory);
    Put32(header, 0x38, kCutoff);
    Put32(header, 0x3C, firstMiniFat);
    Put32(header, 0x40, static_cast<std::uint32_t>(miniFatSectors));
    Put32(header, 0x44,
          difatSectors == 0 ? kEndOfChain : static_cast<std::uint32_t>(dataSectors + fatSectors));
    Put32(header, 0x48, static_cast<std::uint32_t>(difatSectors));
    for (std::size_t i = 0; i < kHeaderDifatCount; ++i) {
        Put32(header, 0x4C + i * 4,
              i < fatSectors ? static_cast<std::uint32_t>(dataSectors + i) : kFreeSector);
    }
    return header + sectors + fatBytes + difatBytes;
}
