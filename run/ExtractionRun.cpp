#include "run/ExtractionRun.h"

#include "engine/mime/MailParser.h"
#include "platform/FileSystem.h"
#include "platform/ShiftJis.h"
#include "policy/ExtensionList.h"
#include "run/AntivirusProgram.h"
#include "store/RecordStore.h"
#include "store/StorePaths.h"
#include "run/WriteFailureText.h"

namespace {

constexpr char kExtractingText[] =
    "メールから添付ファイルを抽出しています。\nしばらくお待ちください。";
// One line, so that a terminal shows it as one.
constexpr char kEncryptedText[] =
    "暗号化されたメールがありました。暗号化されたメールの添付ファイルは取り出せないため、"
    "smime.p7m のまま保存しました。";
constexpr char kNoOutputText[] =
    "添付ファイルは抽出されませんでした。\n"
    "添付ファイルが含まれていないまたは、抽出に失敗しました。";

}  // namespace

CExtractionRun::CExtractionRun(std::string dataFolder, IExtractionRunHost& host, CSettings settings)
    : m_strDataFolder(std::move(dataFolder)), m_host(host), m_settings(std::move(settings)) {}

std::string CExtractionRun::GetScannerToRun() const {
    return m_bScanForcedOff ? std::string() : m_settings.GetScannerToRun();
}

std::string CExtractionRun::GetScanFolder() const {
    return m_strDataFolder + store::kScanFolderName;
}

int CExtractionRun::ResultOf(ExtractionOutcome outcome) {
    return outcome == ExtractionOutcome::Kept || outcome == ExtractionOutcome::Discarded ? 1 : 0;
}

ExtractionOutcome CExtractionRun::Run(const PendingMessageList& pending,
                                      const CExtensionList& prohibitedList) {
    // The settings of this run, read before anything is extracted.
    const std::string scanner = GetScannerToRun();
    m_arrFailures.clear();
    m_arrCuts.clear();

    m_nEncrypted = 0;
    const std::vector<std::string> staged = ExtractAll(pending, prohibitedList);
    if (!m_arrFailures.empty()) {
        m_host.ReportFailures(m_arrFailures);
    }
    if (!m_arrCuts.empty()) {
        m_host.ShowMessage(ExtractionCutText(m_arrCuts));
    }
    if (m_nEncrypted > 0) {
        m_host.ShowMessage(kEncryptedText);
    }
    if (staged.empty()) {
        // After a failure or a cut the no-output message would say the messages had nothing.
        if (m_arrFailures.empty() && m_arrCuts.empty()) {
            m_host.ShowMessage(kNoOutputText);
        }
        return ExtractionOutcome::NoOutput;
    }

    ExtractionOutcome outcome = ExtractionOutcome::Kept;
    if (!scanner.empty()) {
        // The folder normally exists (the extraction staged into it); anything in its place
        // that is not a folder cannot be scanned.
        const std::string scanFolder = GetScanFolder();
        const platform::MakeFolderResult made = platform::MakeFolder(scanFolder);
        const auto attributes = platform::QueryAttributes(scanFolder);
        if (made == platform::MakeFolderResult::Failed || !attributes || !attributes->isFolder) {
            // Nothing unscanned is kept: the run's output goes, and the user is told.
            Discard(staged);
            const std::string line = "ウィルススキャン用のフォルダ「" + scanFolder +
                                     "」を作成できませんでした。抽出した " +
                                     std::to_string(staged.size()) +
                                     " 件のメールの添付ファイルは保存されていません。";
            m_arrFailures.push_back(line);
            m_host.ReportFailures({line});
            return ExtractionOutcome::ScanFolderFailed;
        }
        m_host.HideForScan();
        const ScanOutcome scan = CAntivirusProgram::Run(scanner, scanFolder);
        m_host.ShowAfterScan();
        // A scanner that did not start, or did not finish, or took files away: said before
        // the question, which stays as it is.
        if (!scan.strNotice.empty()) {
            m_host.ShowMessage(scan.strNotice);
        }
        if (m_host.ConfirmScan() == kScanConfirmDiscardAll) {
            outcome = ExtractionOutcome::Discarded;
        }
    }
    if (outcome == ExtractionOutcome::Discarded) {
        Discard(staged);
    } else {
        Keep(staged);
    }
    m_host.RefreshRecords(outcome);
    return outcome;
}

std::vector<std::string> CExtractionRun::ExtractAll(const PendingMessageList& pending,
                                                    const CExtensionList& prohibitedList) {
    CMailParser parser(m_strDataFolder);
    parser.SetKeepUncheckableArchives(m_settings.GetKeepUncheckableArchives());
    std::vector<std::string> staged;
    IProgressSink& progress = m_host.BeginProgress();
    progress.SetStatusText(kExtractingText);
    // Without a data folder the staging folders would land at the root of the drive.
    const bool bHasDataFolder = m_strDataFolder.size() > 1;
    for (std::size_t i = 0; bHasDataFolder && i < pending.size(); ++i) {
        const std::size_t count = pending.size();
        const int start = static_cast<int>(i * 100 / count);
        const int end = static_cast<int>((i + 1) * 100 / count);
        progress.SetPosition(start);
        if (progress.CheckCancel()) {
            break;  // the copies from here on stay in the data folder
        }
        // The progress calls let window messages run, and a drop among them refills the
        // pending list and reloads the prohibited list: work on copies of both.
        if (i >= pending.size()) {
            break;
        }
        const std::string message = pending[i];
        const CExtensionList prohibited = prohibitedList;
        const std::string stagingFolder =
            parser.ExtractAttachments(message, prohibited, progress, start, end);
        if (parser.GetWriteFailure().kind != CMailParser::WriteFailureKind::None) {
            m_arrFailures.push_back(ExtractionFailureLine(message, parser.GetWriteFailure()));
        } else {
            if (parser.GetCut() != ExtractionCut::None) {
                m_arrCuts.push_back(ExtractionCutLine(message, parser.GetCut()));
            }
            if (parser.HasEncryptedContent()) {
                ++m_nEncrypted;
            }
        }
        if (!stagingFolder.empty() && !RecordNameOf(stagingFolder).empty()) {
            staged.push_back(stagingFolder);
        }
    }
    m_host.EndProgress();
    return staged;
}

std::string CExtractionRun::RecordNameOf(const std::string& stagingFolder) const {
    // D + "scanvirus\" + name becomes D + name.
    const std::string prefix = store::WithBackslash(GetScanFolder());
    if (stagingFolder.size() <= prefix.size() ||
        stagingFolder.compare(0, prefix.size(), prefix) != 0 ||
        sjis::FindFirstOf(stagingFolder, "\\", prefix.size()) != std::string::npos) {
        return {};
    }
    return m_strDataFolder + stagingFolder.substr(prefix.size());
}

void CExtractionRun::Keep(const std::vector<std::string>& staged) {
    for (const std::string& stagingFolder : staged) {
        const std::string target = RecordNameOf(stagingFolder);
        // A move that fails (a folder of that name is in the way) leaves the staging folder
        // in the scan folder and its record file unlisted.
        if (!platform::MovePath(stagingFolder, target)) {
            continue;
        }
        m_host.AddRecord(target + store::kRecordSuffix);
    }
}

void CExtractionRun::Discard(const std::vector<std::string>& staged) {
    for (const std::string& stagingFolder : staged) {
        platform::RemoveFile(RecordNameOf(stagingFolder) + store::kRecordSuffix);
        CRecordStore::DeleteFolderTree(stagingFolder);
    }
}
