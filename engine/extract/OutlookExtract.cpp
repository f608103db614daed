#include "engine/extract/OutlookExtract.h"

#include "engine/extract/AlertText.h"
#include "engine/outlook/OutlookItem.h"
#include "engine/outlook/Tnef.h"
#include "platform/DownloadMark.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionPolicy.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr char kNoSender[] = "--不明--";
constexpr char kNoSubject[] = "--件名なし--";
constexpr unsigned char kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

std::string FromText(const OutlookItem& item) {
    if (item.senderName.empty() && item.senderAddress.empty()) {
        return kNoSender;
    }
    if (item.senderAddress.empty() || item.senderName == item.senderAddress) {
        return item.senderName.empty() ? item.senderAddress : item.senderName;
    }
    if (item.senderName.empty()) {
        return item.senderAddress;
    }
    return item.senderName + " <" + item.senderAddress + ">";
}

// Line breaks in a summary text become single spaces, as in a MIME summary.
std::string OneLine(const std::string& text) {
    std::string out;
    bool bBreak = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (!bBreak) {
                out += ' ';
            }
            bBreak = true;
        } else {
            out += c;
            bBreak = false;
        }
    }
    return out;
}

void Summarise(const OutlookItem& item, std::string& fromText, std::string& subjectText,
               std::string& dateText) {
    fromText = OneLine(FromText(item));
    subjectText = item.subject.empty() ? std::string(kNoSubject) : OneLine(item.subject);
    dateText = FormatFileTime(item.time);
}

}  // namespace

std::string MessageBaseName(const std::string& messagePath) {
    const std::size_t separator = sjis::FindLastOf(messagePath, "\\/:");
    const std::string fileName =
        separator == std::string::npos ? messagePath : messagePath.substr(separator + 1);
    const std::size_t dot = sjis::FindLastOf(fileName, ".");
    if (dot == std::string::npos) {
        return {};
    }
    std::string base = fileName.substr(0, dot);
    while (!base.empty() && (base.back() == ' ' || base.back() == '\t')) {
        base.pop_back();
    }
    return base;
}

bool IsCompoundFilePath(const std::string& path) {
    platform::File file;
    char head[sizeof kCompoundSignature] = {};
    if (!file.Open(path, platform::File::Mode::Read)) {
        return false;
    }
    const auto count = file.Read(head, sizeof head);
    return count && HasCompoundFileSignature(std::string_view(head, *count));
}

bool HasCompoundFileSignature(std::string_view head) {
    return head.size() >= sizeof kCompoundSignature &&
           std::equal(std::begin(kCompoundSignature), std::end(kCompoundSignature), head.begin(),
                      [](unsigned char expected, char byte) {
                          return expected == static_cast<unsigned char>(byte);
                      });
}

std::string FormatFileTime(std::uint64_t fileTime) {
    constexpr std::uint64_t kUnixEpoch = 116444736000000000ULL;  // 1970-01-01 as a FILETIME
    if (fileTime < kUnixEpoch) {
        return {};
    }
    const auto seconds = static_cast<std::time_t>((fileTime - kUnixEpoch) / 10000000ULL);
    // The program has one thread, so the shared result of localtime is safe here.
    const std::tm* local = std::localtime(&seconds);
    if (!local) {
        return {};
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日 %02d:%02d:%02d", local->tm_year + 1900,
                  local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec);
    return text;
}

OutlookSummaryResult ReadOutlookSummary(const std::string& path, std::string& fromText,
                                        std::string& subjectText, std::string& dateText) {
    fromText.clear();
    subjectText.clear();
    dateText.clear();
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes)) {
        return OutlookSummaryResult::CannotOpen;
    }
    OutlookItem item;
    switch (ReadOutlookItem(std::move(bytes), item)) {
        case OutlookReadResult::Unreadable:
            return OutlookSummaryResult::Unreadable;
        case OutlookReadResult::NotMessage:
            return OutlookSummaryResult::NotMessage;
        case OutlookReadResult::Message:
            break;
    }
    Summarise(item, fromText, subjectText, dateText);
    return OutlookSummaryResult::Message;
}

// --- Staging writer ----------------------------------------------------------------

bool CStagingWriter::IsProhibited(const std::string& name) const {
    return !m_prohibited.GetExtensions().empty() &&
           IsProhibitedName(m_strFolder + "\\" + name, m_prohibited);
}

bool CStagingWriter::MakeFolder() {
    if (!m_bFolderReady && !m_bFailed) {
        m_bFailed = platform::MakeFolder(m_strFolder) == platform::MakeFolderResult::Failed;
        m_bFolderReady = !m_bFailed;
    }
    return m_bFolderReady;
}

int CStagingWriter::WriteOne(const std::string& name, const std::string& data) {
    if (m_bFailed) {
        return 0;
    }
    // The name as written: inside the folder, creatable, unused in this message, its alert
    // form included.
    const std::string fileName = m_namer.Take(name, [&](const std::string& candidate) {
        return IsProhibited(candidate) && m_namer.IsTaken(candidate + kAlertSuffix);
    });
    if (fileName.empty()) {
        return 0;
    }
    if (!MakeFolder()) {
        return 0;
    }
    const bool bProhibited = IsProhibited(fileName);
    const std::string outputName = bProhibited ? fileName + kAlertSuffix : fileName;
    m_namer.MarkTaken(outputName);
    platform::File output;
    if (!output.Open(m_strFolder + "\\" + outputName, platform::File::Mode::Write)) {
        return 0;
    }
    if (bProhibited) {
        return output.Write(MakeAlertText(name)) ? 1 : 0;
    }
    const bool bWritten = output.Write(data);
    output.Close();
    // What came with mail came from outside, and Windows is to treat it so.
    platform::MarkAsDownloaded(m_strFolder + "\\" + outputName);
    return bWritten ? 1 : 0;
}

int CStagingWriter::Write(const std::string& name, const std::string& data,
                          const std::string& contentType) {
    std::vector<TnefAttachment> files;
    if (IsTnefAttachment(name, contentType) && ReadTnef(data, files) && !files.empty()) {
        int written = 0;
        for (const TnefAttachment& file : files) {
            written += WriteOne(file.name, file.data);
        }
        return written;
    }
    return WriteOne(name, data);
}

int CStagingWriter::UnpackWrittenTnef(const std::string& name, const std::string& contentType,
                                      const std::string& fileName) {
    if (!IsTnefAttachment(name, contentType)) {
        return 0;
    }
    const std::string path = m_strFolder + "\\" + fileName;
    std::string data;
    std::vector<TnefAttachment> files;
    if (!platform::ReadWholeFile(path, data) || !ReadTnef(data, files) || files.empty()) {
        return 0;
    }
    int written = 0;
    for (const TnefAttachment& file : files) {
        written += WriteOne(file.name, file.data);
    }
    // The stream goes only once its files are there.
    if (written > 0 && !platform::RemoveFile(path)) {
        ++written;
    }
    return written;
}

// --- Outlook items -----------------------------------------------------------------

std::string ExtractOutlookItem(const std::string& dataFolder, const std::string& messagePath,
                               const CExtensionList& prohibitedList, IProgress& progress,
                               int progressStart, int progressEnd) {
    std::string bytes;
    if (!platform::ReadWholeFile(messagePath, bytes)) {
        return {};  // kept: it may read next time
    }
    const std::string scanFolder = dataFolder + "scanvirus\\";
    if (platform::MakeFolder(scanFolder) == platform::MakeFolderResult::Failed) {
        return {};
    }
    const std::string baseName = MessageBaseName(messagePath);
    OutlookItem item;
    if (baseName.empty() || ReadOutlookItem(std::move(bytes), item) != OutlookReadResult::Message) {
        platform::RemoveFile(messagePath);
        return {};
    }

    const std::string stagingFolder = scanFolder + baseName;
    CAttachmentNamer namer;
    CStagingWriter writer(stagingFolder, prohibitedList, namer);
    int written = 0;
    int step = 1;
    for (const OutlookAttachment& attachment : item.attachments) {
        if (step < 7) {
            progress.SetPosition(progressStart + ((progressEnd - progressStart) * step) / 6);
            ++step;
        }
        if (progress.CheckCancel()) {
            break;
        }
        written += writer.Write(attachment.name, attachment.data);
        if (writer.HasFailed()) {
            break;
        }
    }
    if (written == 0) {
        platform::RemoveEmptyFolder(stagingFolder);
    }
    std::string result;
    if (!writer.HasFailed() && written > 0) {
        std::string fromText, subjectText, dateText;
        Summarise(item, fromText, subjectText, dateText);
        // Text-mode lines, as the MIME extraction writes them: CR CR LF on disk.
        platform::WriteWholeFile(
            dataFolder + baseName + ".att",
            dateText + "\r\r\n" + fromText + "\r\r\n" + subjectText + "\r\r\n");
        result = stagingFolder;
    }
    platform::RemoveFile(messagePath);
    return result;
}
