#include "policy/FileTypeDescriptions.h"

#include "platform/ShiftJis.h"

#include <array>

namespace {

// The default allowed list, in its order.
constexpr FileTypeDescription kAllowedRows[] = {
    {"avi", "ビデオクリック"},
    {"bmp", "ビットマップイメージ"},
    {"csv", "カンマ区切りデータ"},
    {"doc", "Microsoft Word文書"},
    {"gif", "GIFイメージ"},
    {"jpeg", "JPEGイメージ"},
    {"jpg", "JPEGイメージ"},
    {"lzh", "LHA書庫ファイル"},
    {"mid", "MIDIシーケンス"},
    {"midi", "MIDIシーケンス"},
    {"mov", "QuickTimeムービーファイル"},
    {"mpeg", "MPEGムービーファイル"},
    {"mpg", "MPEGムービーファイル"},
    {"pdf", "Adobe Acrobat"},
    {"png", "PNGイメージ"},
    {"ppt", "Microsoft Power Point"},
    {"tif", "TIFFイメージ"},
    {"txt", "テキストドキュメント"},
    {"wav", "WAVサウンド"},
    {"wmv", "Windows Mediaファイル"},
    {"xls", "Microsoft Office Excelワークブック"},
    {"zip", "ZIP書庫ファイル"},
};

// Offered by the allowed-extension dialog, but not on the default allowed list.
constexpr FileTypeDescription kEmlRow = {"eml", "E-Mailファイル"};

// The default prohibited list: the dangerous extensions in their order.
constexpr FileTypeDescription kProhibitedRows[] = {
    {"ade", "Microsoft Access プロジェクト"},
    {"adp", "Microsoft Access プロジェクト"},
    {"bas", "Visual Basic クラスモジュール"},
    {"bat", "MS-DOSバッチファイル"},
    {"btm", "JP Software fastバッチファイル"},
    {"chm", "コンパイル済みHTMLヘルプファイル"},
    {"cmd", "Windows NT コマンドスクリプト"},
    {"com", "COM 実行可能ファイル"},
    {"cpl", "コントロールパネル"},
    {"crt", "セキュリティー証明書"},
    {"css", "カスケードスタイルシート"},
    {"dll", "ダイナミックリンクライブラリー"},
    {"exe", "アプリケーション"},
    {"hlp", "ヘルプファイル"},
    {"hta", "HTML Application"},
    {"inf", "セットアップ情報"},
    {"ins", "インターネット通信設定"},
    {"isp", "インターネット通信設定"},
    {"js", "Javaスクリプト"},
    {"jse", "JavaスクリプトEncoded"},
    {"lnk", "ショートカット"},
    {"mdb", "Microsoft Acess データベース"},
    {"mde", "Microsoft Acess MDE データベース"},
    {"msc", "Common Console Document"},
    {"msi", "Windows インストーラパッケージ"},
    {"msp", "Windows インストーラパッチ"},
    {"mst", "Visual Test Source File"},
    {"nls", "National Language Support"},
    {"pcd", "Photo CD Image"},
    {"pif", "プログラムショートカット"},
    {"reg", "レジストリ登録エントリー"},
    {"scr", "スクリーンセーバー"},
    {"sct", "スクリプトコンポーネント"},
    {"shb", "スクラップオブジェクトショートカット"},
    {"shs", "スクラップオブジェクト"},
    {"url", "Internet Shortcut"},
    {"vb", "Script File"},
    {"vba", "Visual Basic Application"},
    {"vbe", "Visual Basic Encoded"},
    {"vbs", "Visual Basic Script"},
    {"wsc", "Windows Script Component"},
    {"wsf", "Windows Scripting File"},
    {"wsh", "Windows Scripting Host"},
    {"htm", "HTMLファイル"},
    {"html", "HTMLファイル"},
    // Carriers of today's malicious mail, added after the original 45.
    {"iso", "ディスクイメージファイル"},
    {"img", "ディスクイメージファイル"},
    {"vhd", "仮想ハードディスク"},
    {"vhdx", "仮想ハードディスク"},
    {"ps1", "PowerShell スクリプト"},
    {"psm1", "PowerShell スクリプトモジュール"},
    {"psd1", "PowerShell データファイル"},
    {"ps1xml", "PowerShell 書式設定ファイル"},
    {"psc1", "PowerShell コンソールファイル"},
    {"jar", "Java アーカイブ"},
    {"jnlp", "Java Web Start ファイル"},
    {"appx", "Windows アプリパッケージ"},
    {"appxbundle", "Windows アプリバンドル"},
    {"msix", "Windows アプリパッケージ"},
    {"msixbundle", "Windows アプリバンドル"},
    {"appinstaller", "App Installer ファイル"},
    {"application", "ClickOnce アプリケーション"},
    {"appref-ms", "ClickOnce アプリケーション参照"},
    {"msu", "Windows Update パッケージ"},
    {"settingcontent-ms", "設定のショートカット"},
    {"library-ms", "ライブラリの定義"},
    {"search-ms", "保存された検索"},
    {"scf", "Windows エクスプローラー コマンド"},
    {"website", "ピン留めサイトのショートカット"},
    {"wsb", "Windows サンドボックス構成"},
    {"one", "OneNote セクション"},
    {"xll", "Excel アドイン"},
    {"diagcab", "診断パッケージ"},
    {"gadget", "ガジェット"},
    {"ws", "Windows スクリプトファイル"},
    {"msh", "Monad シェルスクリプト"},
    {"msh1", "Monad シェルスクリプト"},
    {"msh2", "Monad シェルスクリプト"},
    {"mshxml", "Monad シェル書式設定ファイル"},
    {"msh1xml", "Monad シェル書式設定ファイル"},
    {"msh2xml", "Monad シェル書式設定ファイル"},
    // Carriers of mail campaigns of 2024 and 2025: images and web archives that run
    // script, remote-desktop connections, search connectors and themes that reach out.
    {"svg", "SVG イメージ（スクリプトを含むことがあります）"},
    {"mht", "MHTML 単一ファイル Web ページ"},
    {"mhtml", "MHTML 単一ファイル Web ページ"},
    {"xhtml", "XHTMLファイル"},
    {"rdp", "リモート デスクトップ接続"},
    {"searchconnector-ms", "検索コネクタ"},
    {"theme", "Windows テーマ"},
    {"themepack", "Windows テーマ パック"},
};

constexpr std::size_t kAllowedCount = std::size(kAllowedRows) + 1;
constexpr std::size_t kProhibitedCount = kAllowedCount + std::size(kProhibitedRows);

constexpr std::array<FileTypeDescription, kProhibitedCount> kProhibitedTable = [] {
    std::array<FileTypeDescription, kProhibitedCount> table{};
    std::size_t n = 0;
    for (const FileTypeDescription& row : kAllowedRows) {
        table[n++] = row;
        if (std::string_view(row.extension) == "doc") {
            table[n++] = kEmlRow;
        }
    }
    for (const FileTypeDescription& row : kProhibitedRows) {
        table[n++] = row;
    }
    return table;
}();

static_assert(std::size(kAllowedRows) == 22 && std::size(kProhibitedRows) == 89);

}  // namespace

std::span<const FileTypeDescription> AllowedDescriptionTable() {
    return std::span(kProhibitedTable).first(kAllowedCount);
}

std::span<const FileTypeDescription> ProhibitedDescriptionTable() {
    return kProhibitedTable;
}

std::string LookupFileTypeDescription(std::span<const FileTypeDescription> table,
                                      std::string_view ext) {
    const std::string key = sjis::ToLowerAscii(ext);
    for (const FileTypeDescription& row : table) {
        if (key == row.extension) {
            return row.description;
        }
    }
    return {};
}
