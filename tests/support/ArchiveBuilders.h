#pragma once

// Small writers of the archive formats the inspection reads, for crafted attachments.

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace test {

inline void PutLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// Raw deflate (no zlib or gzip wrapper).
inline std::string Deflate(const std::string& data) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// A gzip member holding data, with name as its stored file name (none when empty).
inline std::string Gzip(const std::string& data, const std::string& name) {
    std::string out("\x1F\x8B\x08", 3);
    out += static_cast<char>(name.empty() ? 0 : 0x08);
    out += std::string(4, '\0') + '\0' + '\x03';
    if (!name.empty()) {
        out += name + '\0';
    }
    out += Deflate(data);
    PutLe(out, crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())), 4);
    PutLe(out, data.size(), 4);
    return out;
}

struct ZipItem {
    ZipItem(std::string name_, std::string data_, bool deflate_ = true, std::uint32_t flags_ = 0,
            std::uint32_t method_ = 0xFFFF, std::string extra_ = {}, std::uint64_t declaredSize_ = 0)
        : name(std::move(name_)), data(std::move(data_)), deflate(deflate_), flags(flags_), method(method_),
          extra(std::move(extra_)), declaredSize(declaredSize_) {}
    std::string name;
    std::string data;
    bool deflate = true;
    std::uint32_t flags = 0;
    std::uint32_t method = 0xFFFF;  // as the data is stored, unless given
    std::string extra;               // extra fields of the central directory
    std::uint64_t declaredSize = 0;  // the uncompressed size to claim, when not 0
};

// A zip of items; zip64 writes every size and offset in the ZIP64 forms.
inline std::string Zip(const std::vector<ZipItem>& items, bool zip64 = false) {
    std::string out;
    std::string directory;
    for (const ZipItem& item : items) {
        const std::string stored = item.deflate ? Deflate(item.data) : item.data;
        const std::uint32_t method = item.method != 0xFFFF ? item.method : (item.deflate ? 8 : 0);
        const std::uint64_t size = item.declaredSize != 0 ? item.declaredSize : item.data.size();
        const std::uint32_t crc =
            crc32(0, reinterpret_cast<const Bytef*>(item.data.data()), static_cast<uInt>(item.data.size()));
        const std::uint64_t offset = out.size();
        out += "PK\x03\x04";
        PutLe(out, 20, 2);
        PutLe(out, item.flags, 2);
        PutLe(out, method, 2);
        PutLe(out, 0, 4);
        PutLe(out, crc, 4);
        PutLe(out, stored.size(), 4);
        PutLe(out, size, 4);
        PutLe(out, item.name.size(), 2);
        PutLe(out, 0, 2);
        out += item.name + stored;

        std::string extra = item.extra;
        if (zip64) {
            extra += "\x01";
            extra += '\0';
            PutLe(extra, 24, 2);
            PutLe(extra, size, 8);
            PutLe(extra, stored.size(), 8);
            PutLe(extra, offset, 8);
        }
        directory += "PK\x01\x02";
        PutLe(directory, zip64 ? 45 : 20, 2);
        PutLe(directory, zip64 ? 45 : 20, 2);
        PutLe(directory, item.flags, 2);
        PutLe(directory, method, 2);
        PutLe(directory, 0, 4);
        PutLe(directory, crc, 4);
        PutLe(directory, zip64 ? 0xFFFFFFFF : stored.size(), 4);
        PutLe(directory, zip64 ? 0xFFFFFFFF : size, 4);
        PutLe(directory, item.name.size(), 2);
        PutLe(directory, extra.size(), 2);
        PutLe(directory, 0, 6);  // comment length, disk, internal attributes
        PutLe(directory, 0, 4);
        PutLe(directory, zip64 ? 0xFFFFFFFF : offset, 4);
        directory += item.name + extra;
    }
    const std::uint64_t directoryOffset = out.size();
    out += directory;
    if (zip64) {
        const std::uint64_t record = out.size();
        out += "PK\x06\x06";
        PutLe(out, 44, 8);
        PutLe(out, 45, 2);
        PutLe(out, 45, 2);
        PutLe(out, 0, 8);
        PutLe(out, items.size(), 8);
        PutLe(out, items.size(), 8);
        PutLe(out, directory.size(), 8);
        PutLe(out, directoryOffset, 8);
        out += "PK\x06\x07";
        PutLe(out, 0, 4);
        PutLe(out, record, 8);
        PutLe(out, 1, 4);
    }
    out += "PK\x05\x06";
    PutLe(out, 0, 4);
    PutLe(out, zip64 ? 0xFFFF : items.size(), 2);
    PutLe(out, zip64 ? 0xFFFF : items.size(), 2);
    PutLe(out, zip64 ? 0xFFFFFFFF : directory.size(), 4);
    PutLe(out, zip64 ? 0xFFFFFFFF : directoryOffset, 4);
    PutLe(out, 0, 2);
    return out;
}

// An LZH archive of stored ("-lh0-") entries, each with a level 0 header, or level 2
// when level2 is set.
inline std::string Lzh(const std::vector<std::pair<std::string, std::string>>& entries, bool level2 = false) {
    std::string out;
    for (const auto& [name, data] : entries) {
        std::string header;
        if (!level2) {
            header += static_cast<char>(22 + name.size());
            header += '\0';  // header checksum, not checked by readers of listings
            header += "-lh0-";
            PutLe(header, data.size(), 4);
            PutLe(header, data.size(), 4);
            PutLe(header, 0, 4);
            header += '\x20';
            header += '\0';
            header += static_cast<char>(name.size());
            header += name;
            PutLe(header, 0, 2);
        } else {
            PutLe(header, 26 + 3 + name.size(), 2);
            header += "-lh0-";
            PutLe(header, data.size(), 4);
            PutLe(header, data.size(), 4);
            PutLe(header, 0, 4);
            header += '\x20';
            header += '\x02';
            PutLe(header, 0, 2);
            header += 'M';
            PutLe(header, 3 + name.size(), 2);
            header += '\x01' + name;
            PutLe(header, 0, 2);
        }
        out += header + data;
    }
    out += '\0';
    return out;
}

// A ustar archive of regular files.
inline std::string Tar(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string out;
    for (const auto& [name, data] : entries) {
        std::string block(512, '\0');
        block.replace(0, name.size(), name);
        block.replace(100, 7, "0000644");
        char size[13];
        std::snprintf(size, sizeof size, "%011o", static_cast<unsigned>(data.size()));
        block.replace(124, 11, size);
        block.replace(136, 11, "00000000000");
        block[156] = '0';
        block.replace(257, 6, std::string("ustar\0", 6));
        block.replace(263, 2, "00");
        block.replace(148, 8, "        ");
        unsigned sum = 0;
        for (const char c : block) {
            sum += static_cast<unsigned char>(c);
        }
        char checksum[8];
        std::snprintf(checksum, sizeof checksum, "%06o", sum);
        block.replace(148, 7, std::string(checksum, 6) + '\0');
        out += block + data + std::string((512 - data.size() % 512) % 512, '\0');
    }
    return out + std::string(1024, '\0');
}

}  // namespace test
