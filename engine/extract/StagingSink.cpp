#include "engine/extract/StagingSink.h"

#include "engine/extract/AlertText.h"
#include "engine/outlook/Tnef.h"
#include "platform/DownloadMark.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"

#include <algorithm>

namespace {

// Room kept after a name for what may be added to it: a number, the alert file's suffix,
// and the stream that marks a file as downloaded.
constexpr char kNameRoom[] = "(9999).alert:Zone.Identifier";
// How many names the file system may hold already before a file gives up.
constexpr int kMaxCollisions = 100;

}  // namespace

namespace engine {

std::string ScanFolderOf(const std::string& dataFolder) {
    return dataFolder + kScanFolderName;
}

std::string MessageBaseName(const std::string& messagePath) {
    const std::size_t separator = sjis::FindLastOf(messagePath, "\\/:");
    const std::string fileName =
        separator == std::string::npos ? messagePath : messagePath.substr(separator + 1);
    const std::size_t dot = sjis::FindLastOf(fileName, ".");
    if (dot == std::string::npos) {
        return {};
    }
    std::string base = fileName.substr(0, dot);
    // Without what the file system drops from a folder's name, so that the staging folder
    // is the folder made.
    while (!base.empty() && (base.back() == ' ' || base.back() == '\t' || base.back() == '.')) {
        base.pop_back();
    }
    return base;
}

}  // namespace engine

CStagingSink::CStagingSink(const std::string& dataFolder, const std::string& baseName,
                           const CExtensionList& prohibitedList)
    : m_strDataFolder(dataFolder),
      m_strBaseName(baseName),
      m_strFolder(engine::ScanFolderOf(dataFolder) + "\\" + baseName),
      m_prohibited(prohibitedList) {}

// --- Parts -------------------------------------------------------------------------

CByteSink* CStagingSink::BeginPart(const std::string& name, const std::string& fallbackName,
                                   std::string_view contentType) {
    std::string fileName;
    if (!TakeName(name, fallbackName, fileName) || fileName.empty()) {
        return nullptr;
    }
    const std::string& attachmentName =
        CAttachmentNamer::MakeSafe(name).empty() ? fallbackName : name;
    if (IsProhibited(fileName)) {
        WriteAlert(fileName, attachmentName);
        return nullptr;  // the body is not written, only read past
    }
    if (!OpenOutput(fileName)) {
        return nullptr;
    }
    m_openPart = OpenPart{fileName, attachmentName, std::string(contentType)};
    m_fileSink.emplace(m_output, engine::kHeadSize);
    return &*m_fileSink;
}

void CStagingSink::EndPart(bool complete) {
    if (!m_openPart) {
        return;
    }
    const OpenPart part = std::move(*m_openPart);
    m_openPart.reset();
    // A body writer stops at its first failed write; the part is then incomplete.
    const bool bFlushed = m_fileSink->Flush();
    const std::string head = m_fileSink->TakeHead();
    const std::uint64_t size = m_fileSink->Size();
    m_fileSink.reset();
    m_output.Close();
    const std::string path = m_strFolder + "\\" + part.strOutputName;
    if (!complete || !bFlushed) {
        Fail(WriteFailureKind::File, path);
        return;
    }
    // The file is complete: what it holds may hold it back, before anyone sees it.
    CFileBytes bytes(path, head, size);
    if (const std::string reason = HeldReason(part.strOutputName, bytes); !reason.empty()) {
        if (Withdraw(path)) {
            WriteAlert(part.strOutputName, part.strAttachmentName, reason);
        }
        return;
    }
    Completed(part.strOutputName, part.strAttachmentName, part.strContentType, true);
}

void CStagingSink::AddPart(const std::string& name, const std::string& fallbackName,
                           std::string_view data, std::string_view contentType) {
    const std::string& attachmentName =
        CAttachmentNamer::MakeSafe(name).empty() ? fallbackName : name;
    // A TNEF stream that reads gives way to the files inside it before it is written.
    if (!Failed() && engine::IsTnefAttachment(attachmentName, std::string(contentType)) &&
        UnpackTnef(data)) {
        return;
    }
    WriteWhole(name, fallbackName, data);
}

bool CStagingSink::TakeName(const std::string& name, const std::string& fallbackName,
                            std::string& fileName) {
    fileName.clear();
    if (Failed()) {
        return false;
    }
    const std::string& wanted = CAttachmentNamer::MakeSafe(name).empty() ? fallbackName : name;
    // A name longer than the file system takes where the folder really is loses characters
    // before its extension, with room left for a number and the alert suffix.
    const std::string safe = CAttachmentNamer::MakeSafe(wanted);
    std::string fitted = CAttachmentNamer::Shorten(safe, [&](const std::string& candidate) {
        return platform::NameFits(m_strFolder, candidate + kNameRoom);
    });
    if (fitted.empty()) {
        fitted = safe;  // the folder itself leaves no room: the write fails and says so
    }
    // The name as written: inside the folder, creatable, and unused in this message, its
    // alert form included. The prohibition test applies to this final name.
    fileName = m_namer.Take(fitted, [&](const std::string& candidate) {
        return IsProhibited(candidate) && m_namer.IsTaken(candidate + engine::kAlertSuffix);
    });
    if (fileName.empty()) {
        return true;  // nothing left of the name: the part is skipped
    }
    // The staging folder comes with the message's first file; it stays until the message
    // ends, so later files need not ask again.
    if (!m_bFolderReady) {
        if (platform::MakeFolder(m_strFolder) == platform::MakeFolderResult::Failed) {
            Fail(WriteFailureKind::Folder, m_strFolder);
            return false;
        }
        m_bFolderReady = true;
    }
    return true;
}

bool CStagingSink::IsProhibited(const std::string& fileName) const {
    return !m_prohibited.GetExtensions().empty() &&
           IsProhibitedName(m_strFolder + "\\" + fileName, m_prohibited);
}

std::string CStagingSink::HeldReason(const std::string& fileName,
                                     CAttachmentBytes& bytes) const {
    if (m_prohibited.GetExtensions().empty()) {
        return {};  // nothing is prohibited, so nothing can be held
    }
    const InspectionVerdict verdict = engine::InspectAttachment(fileName, bytes, m_prohibited);
    return verdict.IsHeld(m_bKeepUncheckable) ? verdict.ReasonText() : std::string();
}

bool CStagingSink::Withdraw(const std::string& path) {
    if (!platform::RemoveFile(path)) {
        // A held file that stays would be listed: the message fails and goes as a whole.
        Fail(WriteFailureKind::File, path);
        return false;
    }
    std::erase(m_arrOutputs, path);
    return true;
}

void CStagingSink::WriteAlert(const std::string& fileName, const std::string& attachmentName,
                              const std::string& reason) {
    std::string outputName = fileName + engine::kAlertSuffix;
    if (!OpenOutput(outputName)) {
        return;
    }
    const bool bWritten = m_output.Write(reason.empty() ? engine::MakeAlertText(attachmentName)
                                                        : engine::MakeAlertText(attachmentName, reason));
    m_output.Close();
    if (!bWritten) {
        Fail(WriteFailureKind::File, m_strFolder + "\\" + outputName);
        return;
    }
    ++m_nWritten;
}

namespace {

// The name a file falls back to when the file system refuses its own: "attachment" with
// the name's extension (letters and digits only, else "bin"), and its ".alert" when it is
// an alert file.
std::string FallbackName(std::string name) {
    std::string suffix;
    const std::string alert = engine::kAlertSuffix;
    if (name.size() > alert.size() && name.compare(name.size() - alert.size(), alert.size(), alert) == 0) {
        name.resize(name.size() - alert.size());
        suffix = alert;
    }
    std::string extension = "bin";
    const std::size_t dot = sjis::FindLastOf(name, ".");
    if (dot != std::string::npos && dot + 1 < name.size() && name.size() - dot - 1 <= 16 &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dot) + 1, name.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        })) {
        extension = name.substr(dot + 1);
    }
    return "attachment." + extension + suffix;
}

}  // namespace

bool CStagingSink::OpenOutput(std::string& outputName) {
    // Every file is new: one already there is never opened, let alone overwritten.
    const std::string failedPath = m_strFolder + "\\" + outputName;
    std::string base = outputName;
    bool bFallenBack = false;
    int number = 0;
    for (int attempt = 0;; ++attempt) {
        m_namer.MarkTaken(outputName);
        const std::string path = m_strFolder + "\\" + outputName;
        if (m_output.Open(path, platform::File::Mode::CreateNew)) {
            m_arrOutputs.push_back(path);
            return true;
        }
        if (attempt == kMaxCollisions) {
            break;
        }
        if (platform::QueryAttributes(path)) {
            // The file system holds the name already, though the namer took it for another
            // (it equals an earlier name in a way the namer does not fold): the next number.
            do {
                outputName = CAttachmentNamer::WithNumber(base, ++number);
            } while (m_namer.IsTaken(outputName));
            continue;
        }
        // A name the file system refuses (a character the volume cannot hold, a name too
        // long for the path) must not cost the attachment: it goes under a plain name.
        if (bFallenBack) {
            break;
        }
        bFallenBack = true;
        outputName = m_namer.Take(FallbackName(outputName));
        if (outputName.empty()) {
            break;
        }
        base = outputName;
        number = 0;
    }
    Fail(WriteFailureKind::File, failedPath);
    return false;
}

void CStagingSink::Completed(const std::string& outputName, const std::string& attachmentName,
                             std::string_view contentType, bool bUnpackTnef) {
    const std::string path = m_strFolder + "\\" + outputName;
    // What came with mail came from outside, and Windows is to treat it so.
    platform::MarkAsDownloaded(path);
    ++m_nWritten;
    if (!bUnpackTnef || !engine::IsTnefAttachment(attachmentName, std::string(contentType))) {
        return;
    }
    // A streamed TNEF stream ("winmail.dat") gives way to the files inside it once they
    // are there; one that does not read, or holds no files, stays as it came.
    std::string stream;
    if (!platform::ReadWholeFile(path, stream) || !UnpackTnef(stream) || Failed()) {
        return;
    }
    if (platform::RemoveFile(path)) {
        --m_nWritten;
    }
}

bool CStagingSink::UnpackTnef(std::string_view stream) {
    std::vector<TnefAttachment> files;
    if (!engine::ReadTnef(stream, files) || files.empty()) {
        return false;
    }
    for (const TnefAttachment& file : files) {
        WriteWhole(file.name, CAttachmentNamer::NameForType({}), file.data);
    }
    return true;
}

// A file whose bytes are in memory, named, tested and written like any attachment (a file
// of a TNEF stream is never unpacked again).
void CStagingSink::WriteWhole(const std::string& name, const std::string& fallbackName,
                              std::string_view data) {
    std::string fileName;
    if (!TakeName(name, fallbackName, fileName) || fileName.empty()) {
        return;
    }
    const std::string& attachmentName =
        CAttachmentNamer::MakeSafe(name).empty() ? fallbackName : name;
    if (IsProhibited(fileName)) {
        WriteAlert(fileName, attachmentName);
        return;
    }
    CMemoryBytes bytes(data);
    if (const std::string reason = HeldReason(fileName, bytes); !reason.empty()) {
        WriteAlert(fileName, attachmentName, reason);
        return;
    }
    if (!OpenOutput(fileName)) {
        return;
    }
    const bool bWritten = m_output.Write(data.data(), data.size());
    m_output.Close();
    if (!bWritten) {
        Fail(WriteFailureKind::File, m_strFolder + "\\" + fileName);
        return;
    }
    Completed(fileName, attachmentName, {}, false);
}

void CStagingSink::Fail(WriteFailureKind kind, const std::string& path) {
    if (!Failed()) {
        m_failure = {kind, path};
    }
}

// --- The message -------------------------------------------------------------------

void CStagingSink::RemoveOutputs() {
    for (const std::string& output : m_arrOutputs) {
        platform::RemoveFile(output);
    }
    m_arrOutputs.clear();
    m_nWritten = 0;
    if (m_bFolderReady) {
        platform::RemoveEmptyFolder(m_strFolder);
    }
}

std::string CStagingSink::Finish(bool complete, const RecordSummary& summary) {
    if (m_openPart) {
        EndPart(false);
    }
    if (!Failed() && complete && m_nWritten > 0) {
        // Date, sender and subject, one line each. The record file is a text file: each
        // line ends in CR CR LF on disk, as text-mode output of "\r\n" writes it.
        const std::string recordFile = m_strDataFolder + m_strBaseName + engine::kRecordSuffix;
        if (platform::WriteWholeFile(recordFile, summary.dateText + "\r\r\n" +
                                                     summary.fromText + "\r\r\n" +
                                                     summary.subjectText + "\r\r\n")) {
            return m_strFolder;
        }
        platform::RemoveFile(recordFile);
        Fail(WriteFailureKind::File, recordFile);
    }
    // Nothing half-written is kept: the message leaves nothing of itself behind.
    RemoveOutputs();
    return {};
}
