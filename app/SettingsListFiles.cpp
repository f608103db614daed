#include "app/SettingsListFiles.h"

#include "app/ExtensionListLines.h"
#include "platform/FileSystem.h"
#include "policy/ExtensionListFile.h"

namespace {

// The names the user knows the lists by: the titles of their group boxes.
constexpr char kAllowedListName[] = "開くことを許可する拡張子";
constexpr char kProhibitedListName[] = "取り出しを禁止する拡張子";

ListFileOpening LoadLines(const std::string& path, std::vector<std::string>& lines) {
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
    return ListFileOpening::Failed;
}

}  // namespace

CSettingsListFiles::CSettingsListFiles(std::string dataFolder)
    : m_strDataFolder(std::move(dataFolder)) {}

void CSettingsListFiles::Load(std::vector<std::string>& allowedLines,
                              std::vector<std::string>& prohibitedLines) {
    m_allowedOpening = LoadLines(m_strDataFolder + kAllowedListFileName, allowedLines);
    m_prohibitedOpening = LoadLines(m_strDataFolder + kProhibitedListFileName, prohibitedLines);
}

std::string CSettingsListFiles::Save(const std::vector<std::string>& allowedLines,
                                     const std::vector<std::string>& prohibitedLines) const {
    struct Target {
        const char* fileName;
        const char* listName;
        ListFileOpening opening;
        const std::vector<std::string>& lines;
    };
    const Target targets[] = {
        {kAllowedListFileName, kAllowedListName, m_allowedOpening, allowedLines},
        {kProhibitedListFileName, kProhibitedListName, m_prohibitedOpening, prohibitedLines},
    };
    std::string message;
    for (const Target& target : targets) {
        if (target.opening == ListFileOpening::Failed) {
            if (!message.empty()) {
                message += '\n';
            }
            message += HeldBackMessage(target.fileName, target.listName);
            continue;
        }
        SaveExtensionList(m_strDataFolder + target.fileName, LinesToExtensionList(target.lines));
    }
    return message;
}

std::string CSettingsListFiles::HeldBackMessage(const std::string& fileName,
                                                const std::string& listName) {
    return "「" + fileName + "」を読み込めなかったため、" + listName +
           "の一覧は保存しませんでした。";
}
