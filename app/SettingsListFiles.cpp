#include "app/SettingsListFiles.h"

#include "app/ExtensionListLines.h"
#include "platform/FileSystem.h"
#include "policy/DefaultExtensionLists.h"
#include "policy/ExtensionListFile.h"

namespace {

// The names the user knows the lists by: the titles of their group boxes.
constexpr char kAllowedListName[] = "開くことを許可する拡張子";
constexpr char kProhibitedListName[] = "取り出しを禁止する拡張子";

constexpr char kDamagedSuffix[] = ".damaged";

// The list in force while the prohibited file is damaged: drops keep the default list.
std::vector<std::string> ProhibitedListInForce() {
    return ExtensionListToLines(DefaultProhibitedList());
}

ListFileOpening LoadLines(const std::string& path, std::vector<std::string>& lines,
                          const std::vector<std::string>& inForce) {
    lines.clear();
    CExtensionList list;
    switch (LoadExtensionList(path, list, true)) {
        case ListLoadResult::Loaded:
            lines = ExtensionListToLines(list);
            return ListFileOpening::Loaded;
        case ListLoadResult::Unreadable:
            // Nothing to lose when there is no file at all; a file that is there but could
            // not be opened (another program holds it, a folder of that name) is kept.
            return platform::QueryAttributes(path) ? ListFileOpening::Failed
                                                   : ListFileOpening::Missing;
        case ListLoadResult::Damaged:
            break;
    }
    lines = inForce;
    return ListFileOpening::Damaged;
}

struct ListFile {
    const char* fileName;
    const char* listName;
    ListFileOpening opening;
};

}  // namespace

CSettingsListFiles::CSettingsListFiles(std::string dataFolder)
    : m_strDataFolder(std::move(dataFolder)) {}

void CSettingsListFiles::Load(std::vector<std::string>& allowedLines,
                              std::vector<std::string>& prohibitedLines) {
    // A damaged allowed file leaves nothing allowed to open: its list in force is empty.
    m_allowedOpening = LoadLines(m_strDataFolder + kAllowedListFileName, allowedLines, {});
    m_prohibitedOpening = LoadLines(m_strDataFolder + kProhibitedListFileName, prohibitedLines,
                                    ProhibitedListInForce());
}

std::string CSettingsListFiles::DamagedNotice() const {
    std::string notice;
    if (m_prohibitedOpening == ListFileOpening::Damaged) {
        notice += "「" + std::string(kProhibitedListFileName) +
                  "」が壊れているため読み込めませんでした。\n" + kProhibitedListName +
                  "には、いま使われている既定の一覧を表示しています。\n";
    }
    if (m_allowedOpening == ListFileOpening::Damaged) {
        notice += "「" + std::string(kAllowedListFileName) +
                  "」が壊れているため読み込めませんでした。\n" + kAllowedListName +
                  "は、いまはどれも開くことが許可されていないため、一覧は空です。\n";
    }
    if (notice.empty()) {
        return notice;
    }
    return notice +
           "\n［OK］を押すと、表示している一覧で壊れたファイルを置き換えるかどうかを確認します。"
           "壊れたファイルは名前の後ろに「" +
           kDamagedSuffix + "」を付けて残します。";
}

std::string CSettingsListFiles::ReplaceQuestion() const {
    const ListFile files[] = {
        {kAllowedListFileName, kAllowedListName, m_allowedOpening},
        {kProhibitedListFileName, kProhibitedListName, m_prohibitedOpening},
    };
    std::string named;
    for (const ListFile& file : files) {
        if (file.opening == ListFileOpening::Damaged) {
            named += "\n「" + std::string(file.fileName) + "」（" + file.listName +
                     "）\n壊れたファイルは「" + DamagedFileName(file.fileName) +
                     "」として残します。\n";
        }
    }
    if (named.empty()) {
        return named;
    }
    return "次の一覧ファイルは壊れています。表示している一覧で置き換えますか？\n" + named +
           "\n［いいえ］を選ぶと、壊れたファイルはそのままにして、ほかの設定を保存します。";
}

std::string CSettingsListFiles::Save(const std::vector<std::string>& allowedLines,
                                     const std::vector<std::string>& prohibitedLines,
                                     bool replaceDamaged) const {
    struct Target {
        ListFile file;
        const std::vector<std::string>& lines;
    };
    const Target targets[] = {
        {{kAllowedListFileName, kAllowedListName, m_allowedOpening}, allowedLines},
        {{kProhibitedListFileName, kProhibitedListName, m_prohibitedOpening}, prohibitedLines},
    };
    std::string message;
    const auto holdBack = [&message](const std::string& text) {
        if (!message.empty()) {
            message += '\n';
        }
        message += text;
    };
    for (const Target& target : targets) {
        const std::string path = m_strDataFolder + target.file.fileName;
        if (target.file.opening == ListFileOpening::Failed) {
            holdBack(HeldBackMessage(target.file.fileName, target.file.listName));
            continue;
        }
        if (target.file.opening == ListFileOpening::Damaged) {
            if (!replaceDamaged) {
                continue;  // the user chose to keep it
            }
            // Put the damaged file aside first: it is never overwritten.
            const std::string kept = m_strDataFolder + DamagedFileName(target.file.fileName);
            const auto existing = platform::QueryAttributes(kept);
            if (existing && !existing->isFolder) {
                platform::RemoveFile(kept);
            }
            if (!platform::MovePath(path, kept)) {
                holdBack("「" + std::string(target.file.fileName) + "」を「" +
                         DamagedFileName(target.file.fileName) + "」として残せなかったため、" +
                         target.file.listName + "の一覧は保存しませんでした。");
                continue;
            }
        }
        SaveExtensionList(path, LinesToExtensionList(target.lines));
    }
    return message;
}

std::string CSettingsListFiles::HeldBackMessage(const std::string& fileName,
                                                const std::string& listName) {
    return "「" + fileName + "」を読み込めなかったため、" + listName +
           "の一覧は保存しませんでした。";
}

std::string CSettingsListFiles::DamagedFileName(const std::string& fileName) {
    return fileName + kDamagedSuffix;
}
