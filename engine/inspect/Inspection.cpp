#include "engine/inspect/Inspection.h"

#include "engine/inspect/ArchiveScan.h"
#include "platform/File.h"
#include "policy/ExtensionPolicy.h"

#include <algorithm>

using engine::ArchiveKind;
using engine::ProgramKind;
using engine::kMaxDepth;
using engine::kHeadSize;
using engine::kMaxNestedBytes;

namespace {

std::string KindWord(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::Exe: return "プログラム";
    case ProgramKind::Lnk: return "ショートカット";
    case ProgramKind::Msi: return "インストーラー";
    case ProgramKind::Cab: return "キャビネットファイル";
    case ProgramKind::Iso:
    case ProgramKind::Vhd:
    case ProgramKind::Vhdx: return "ディスクイメージ";
    case ProgramKind::One: return "OneNote ファイル";
    case ProgramKind::Chm: return "ヘルプファイル";
    case ProgramKind::None: break;
    }
    return {};
}

// ": path" for a reason that concerns one entry.
std::string About(const InspectionVerdict& verdict) {
    return verdict.entries.empty() ? std::string() : ": " + verdict.entries.front();
}

// True when name's extension is ext (compared as the prohibited list compares).
bool NameEndsIn(std::string_view name, std::string_view ext) {
    return IsProhibitedName(name, CExtensionList({std::string(ext)}, {}));
}

// True when ext is an entry of the list.
bool ListHolds(const CExtensionList& list, std::string_view ext) {
    return IsProhibitedName("x." + std::string(ext), list);
}

}  // namespace

bool InspectionVerdict::CannotBeChecked() const {
    return reason == Reason::Encrypted || reason == Reason::LimitPassed || reason == Reason::Unreadable ||
           reason == Reason::Unsupported;
}

bool InspectionVerdict::IsHeld(bool keepUncheckable) const {
    if (reason == Reason::Clean) {
        return false;
    }
    return !(CannotBeChecked() && keepUncheckable);
}

std::string InspectionVerdict::ReasonText() const {
    const std::string kindName(engine::ArchiveName(archive));
    switch (reason) {
    case Reason::Clean: return {};
    case Reason::ProhibitedEntry: {
        std::string text = "圧縮ファイルの中に取り出し禁止のファイルがあります: ";
        for (std::size_t i = 0; i < entries.size(); ++i) {
            text += (i == 0 ? "" : ", ") + entries[i];
        }
        if (entryCount > entries.size()) {
            text += " ほか " + std::to_string(entryCount - entries.size()) + " 件";
        }
        return text;
    }
    case Reason::Disguised:
        return "中身は" + KindWord(program) + " (" + std::string(engine::ProgramExtension(program)) + ") です";
    case Reason::Encrypted: return "パスワード付きのため検査できません" + About(*this);
    case Reason::LimitPassed:
        switch (limit) {
        case Limit::Depth:
            return "圧縮ファイルの入れ子が深すぎるため検査できません (" + std::to_string(kMaxDepth) +
                   " 段まで)" + About(*this);
        case Limit::Entries: return "圧縮ファイルの中のファイルが多すぎるため検査できません (10,000 個まで)";
        case Limit::Bytes: return "中の圧縮ファイルが大きすぎるため検査できません (1 GB まで)" + About(*this);
        case Limit::Ratio: return "圧縮率が異常に高いため検査できません (1,000 倍を超えています)" + About(*this);
        case Limit::None: break;
        }
        return "検査の上限を超えたため検査できません";
    case Reason::Unreadable:
        return "圧縮ファイル (" + kindName + ") として読めないため検査できません" + About(*this);
    case Reason::Unsupported:
        if (archive != ArchiveKind::None && entries.empty()) {
            return "この形式の圧縮ファイル (" + kindName + ") は中を検査できません";
        }
        if (archive != ArchiveKind::None) {
            return "この形式の圧縮ファイル (" + kindName + ") は中を検査できません" + About(*this);
        }
        return "対応していない圧縮方式のため中の圧縮ファイルを検査できません" + About(*this);
    }
    return {};
}

bool CMemoryBytes::ReadAt(std::uint64_t offset, std::size_t size, std::string& out) {
    out.clear();
    if (offset < m_data.size()) {
        const std::size_t at = static_cast<std::size_t>(offset);
        out.assign(m_data.substr(at, std::min(size, m_data.size() - at)));
    }
    return true;
}

std::uint64_t CFileBytes::Size() const {
    if (!m_sized) {
        platform::File file;
        m_sized = true;
        if (file.Open(m_path, platform::File::Mode::Read)) {
            m_size = file.Size().value_or(0);
        }
    }
    return m_size;
}

bool CFileBytes::ReadAt(std::uint64_t offset, std::size_t size, std::string& out) {
    out.clear();
    // What was written is served from the head kept while writing, when it covers the read.
    if (offset + size <= m_head.size() || (m_sized && !m_head.empty() && m_head.size() == m_size)) {
        const std::size_t at = static_cast<std::size_t>(std::min<std::uint64_t>(offset, m_head.size()));
        out.assign(m_head.substr(at, std::min(size, m_head.size() - at)));
        return true;
    }
    platform::File file;
    if (!file.Open(m_path, platform::File::Mode::Read) || !file.Seek(offset)) {
        return false;
    }
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const std::optional<std::size_t> got = file.Read(out.data() + done, size - done);
        if (!got) {
            return false;
        }
        if (*got == 0) {
            break;
        }
        done += *got;
    }
    out.resize(done);
    return true;
}

InspectionVerdict engine::InspectAttachment(std::string_view name, CAttachmentBytes& bytes,
                                            const CExtensionList& prohibited) {
    InspectionVerdict verdict;
    const std::uint64_t size = bytes.Size();
    const std::size_t headSize = static_cast<std::size_t>(std::min<std::uint64_t>(size, kHeadSize));
    std::string headCopy;
    std::string_view head;
    if (size == 0) {
        return verdict;
    }
    if (!bytes.ViewHead(headSize, head)) {
        if (!bytes.ReadAt(0, headSize, headCopy)) {
            return verdict;
        }
        head = headCopy;
    }

    // Programs under other names.
    std::string clsid;
    if (const std::uint64_t at = CompoundRootClsidOffset(head); at != 0) {
        if (at + 16 <= head.size()) {
            clsid = std::string(head.substr(static_cast<std::size_t>(at), 16));
        } else if (!bytes.ReadAt(at, 16, clsid)) {
            clsid.clear();
        }
    }
    ProgramKind program = SniffProgram(head, {}, clsid);
    if (program == ProgramKind::None && size > kHeadSize && size % 512 == 0) {
        // A fixed-size virtual disk keeps its only footer in its last sector.
        std::string tail;
        if (bytes.ReadAt(size - 512, 512, tail)) {
            program = SniffProgram({}, tail, {});
        }
    }
    if (program != ProgramKind::None) {
        const std::string_view ext = ProgramExtension(program);
        if (ListHolds(prohibited, ext) && !NameEndsIn(name, ext)) {
            verdict.reason = InspectionVerdict::Reason::Disguised;
            verdict.program = program;
            return verdict;
        }
    }

    // Archives.
    const ArchiveKind archive = SniffArchive(head);
    if (archive == ArchiveKind::None) {
        return verdict;
    }
    verdict.archive = archive;
    CArchiveScan scan(prohibited);
    if (archive == ArchiveKind::SevenZip || archive == ArchiveKind::Rar) {
        scan.Scan(archive, head, {}, 1, name);
        return scan.Result(archive);
    }
    if (size > kMaxNestedBytes) {
        verdict.reason = InspectionVerdict::Reason::LimitPassed;
        verdict.limit = InspectionVerdict::Limit::Bytes;
        return verdict;
    }
    std::string whole;
    if (size <= head.size()) {
        whole = std::string(head);
    } else if (!bytes.ReadAt(0, static_cast<std::size_t>(size), whole)) {
        return verdict;  // nothing to hold: the file cannot be read back
    }
    scan.Scan(archive, whole, {}, 1, name);
    return scan.Result(archive);
}

InspectionVerdict engine::InspectBytes(std::string_view name, std::string_view bytes,
                                       const CExtensionList& prohibited) {
    CMemoryBytes source(bytes);
    return InspectAttachment(name, source, prohibited);
}
