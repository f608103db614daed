#pragma once

// The look into archives: lists every entry of an archive (and of the archives inside it)
// and collects what holds the archive. Used by the inspection of attachments.

#include "engine/inspect/Inspection.h"

#include <cstdint>
#include <string>
#include <string_view>

class CArchiveScan {
public:
    explicit CArchiveScan(const CExtensionList& prohibited) : m_prohibited(prohibited) {}

    // Lists the archive data of kind, whose entries are named prefix + their path; depth 1
    // is the attachment itself. ownName is the archive's own name (an Office document
    // named .zip is an archive for the user).
    void Scan(engine::ArchiveKind kind, std::string_view data, const std::string& prefix, int depth,
              std::string_view ownName);

    // What was found: the prohibited entries, else the first reason the archive could not
    // be fully checked, else clean.
    InspectionVerdict Result(engine::ArchiveKind outer) const;

private:
    void ScanZip(std::string_view data, const std::string& prefix, int depth, std::string_view ownName);
    void ScanLzh(std::string_view data, const std::string& prefix, int depth);
    void ScanTar(std::string_view data, const std::string& prefix, int depth);
    void ScanGzip(std::string_view data, const std::string& prefix, int depth, std::string_view ownName);
    void ScanCab(std::string_view data, const std::string& prefix);

    // Counts an entry and tests its name; false once the entry limit is passed.
    bool Entry(const std::string& path, bool isFolder);
    // An entry whose uncompressed size passes the ratio to its compressed size.
    bool PassesRatio(const std::string& path, std::uint64_t uncompressed, std::uint64_t compressed);
    // An entry stored as it is: opened as a nested archive when its bytes are one.
    void StoredEntry(const std::string& path, std::string_view content, int depth);
    // An entry whose content this reader cannot decompress: a problem only when its name
    // says it is an archive.
    void OpaqueEntry(const std::string& path);
    // Whether a nested archive of declared size may be read; notes the limit otherwise.
    bool MayRead(const std::string& path, int depth, std::uint64_t size);
    void Problem(InspectionVerdict::Reason reason, InspectionVerdict::Limit limit, engine::ArchiveKind kind,
                 const std::string& path);

    const CExtensionList& m_prohibited;
    std::size_t m_entryCount = 0;
    std::uint64_t m_nestedBytes = 0;
    bool m_stopped = false;
    std::vector<std::string> m_found;
    std::size_t m_foundCount = 0;
    bool m_problem = false;
    InspectionVerdict m_firstProblem;
};
