#include "engine/extract/AttachmentNamer.h"

#include "platform/ShiftJis.h"

namespace {

bool IsDeviceName(std::string stem) {
    // Windows also takes "CON " for CON.
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    stem = sjis::ToLowerAscii(stem);
    static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (const char* device : kDevices) {
        if (stem == device) {
            return true;
        }
    }
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string CAttachmentNamer::MakeSafe(const std::string& name) {
    const std::size_t separator = sjis::FindLastOf(name, "\\/:");
    std::string safe = separator == std::string::npos ? name : name.substr(separator + 1);
    // A trailing space or dot is never the trail byte of a double-byte character.
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) {
        safe.pop_back();
    }
    if (safe.empty()) {
        return {};
    }
    for (std::size_t pos = 0; pos < safe.size();) {
        const std::size_t length = sjis::CharLength(safe, pos);
        const auto c = static_cast<unsigned char>(safe[pos]);
        if (length == 1 &&
            (c < 0x20 || std::string_view("<>\"|?*").find(safe[pos]) != std::string_view::npos)) {
            safe[pos] = '_';
        }
        pos += length;
    }
    const std::size_t dot = sjis::FindFirstOf(safe, ".");
    if (IsDeviceName(safe.substr(0, dot))) {
        safe.insert(0, "_");
    }
    return safe;
}

std::string CAttachmentNamer::Take(const std::string& name,
                                   const std::function<bool(const std::string&)>& isTaken) {
    const std::string safe = MakeSafe(name);
    if (safe.empty()) {
        return {};
    }
    // Numbers below the one stored were all found taken before, and stay taken.
    int& next = m_mapNextNumber[sjis::ToLowerAscii(safe)];
    for (int number = next;; ++number) {
        const std::string candidate = number == 0 ? safe : WithNumber(safe, number);
        if (!IsTaken(candidate) && !(isTaken && isTaken(candidate))) {
            MarkTaken(candidate);
            next = number + 1;
            return candidate;
        }
    }
}

void CAttachmentNamer::MarkTaken(const std::string& name) {
    m_setTaken.insert(sjis::ToLowerAscii(name));
}

bool CAttachmentNamer::IsTaken(const std::string& name) const {
    return m_setTaken.count(sjis::ToLowerAscii(name)) > 0;
}

std::string CAttachmentNamer::WithNumber(const std::string& name, int number) {
    const std::string suffix = "(" + std::to_string(number) + ")";
    const std::size_t dot = sjis::FindLastOf(name, ".");
    if (dot == std::string::npos) {
        return name + suffix;
    }
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string CAttachmentNamer::NameForType(std::string_view mediaType) {
    static const struct {
        std::string_view type;
        std::string_view extension;
    } kExtensions[] = {
        {"application/pdf", "pdf"},
        {"application/zip", "zip"},
        {"application/x-zip-compressed", "zip"},
        {"application/gzip", "gz"},
        {"application/x-gzip", "gz"},
        {"application/msword", "doc"},
        {"application/vnd.ms-excel", "xls"},
        {"application/vnd.ms-powerpoint", "ppt"},
        {"application/rtf", "rtf"},
        {"application/json", "json"},
        {"application/xml", "xml"},
        {"application/pkcs7-signature", "p7s"},
        {"application/x-pkcs7-signature", "p7s"},
        {"application/pgp-signature", "asc"},
        {"application/ms-tnef", "dat"},
        {"image/jpeg", "jpg"},
        {"image/pjpeg", "jpg"},
        {"image/png", "png"},
        {"image/gif", "gif"},
        {"image/bmp", "bmp"},
        {"image/tiff", "tif"},
        {"image/webp", "webp"},
        {"image/svg+xml", "svg"},
        {"audio/mpeg", "mp3"},
        {"audio/wav", "wav"},
        {"audio/x-wav", "wav"},
        {"video/mp4", "mp4"},
        {"video/mpeg", "mpg"},
        {"video/quicktime", "mov"},
        {"text/plain", "txt"},
        {"text/html", "html"},
        {"text/csv", "csv"},
        {"text/xml", "xml"},
        {"text/calendar", "ics"},
        {"text/vcard", "vcf"},
        {"text/x-vcard", "vcf"},
        {"text/rfc822-headers", "txt"},
        {"message/delivery-status", "txt"},
        {"message/rfc822", "eml"},
    };
    for (const auto& entry : kExtensions) {
        if (entry.type == mediaType) {
            return "attachment." + std::string(entry.extension);
        }
    }
    return "attachment.bin";
}
