#pragma once

// The commands of the attachment list on its store: opening an attachment (guarded by the
// allowed list), deleting the selection or every record, the unsent conversion's target,
// and the enable states of these commands. The confirmations, message boxes and the shell
// are the window's; this class decides and changes the store.

#include "view/ListGeometry.h"

#include <string>

class CExtensionList;
class CListLayout;
class CListSelection;
class CRecordStore;

namespace list {

// What opening an attachment comes to.
enum class OpenAction {
    None,        // nothing to open
    ShowAlert,   // show the warning text of an alert file
    NotAllowed,  // the extension is not on the allowed list: the not-allowed message
    Dangerous,   // a dangerous extension, never opened: the dangerous message
    ShellOpen,   // hand the file to the shell; if that fails, the cannot-open message
};

inline constexpr char kNotAllowedText[] =
    "このファイルを直接開くことは許可されていません。\n直接開くには、設定を変更ください。";
inline constexpr char kDangerousText[] =
    "ウィルスやコンピュータに問題を起こす可能性の高い添付ファイルです。\n"
    "直接開くことはできません。";
inline constexpr char kCannotOpenText[] =
    "このファイルは開けません。\nまたは、関連付けられたプログラムがありません。";
inline constexpr char kConfirmDeleteSelectionText[] =
    "選択されたファイルを削除します。\nよろしいですか？";
inline constexpr char kConfirmDeleteAllText[] =
    "一覧に表示しているすべてのファイルを削除します。\nよろしいですか？";
inline constexpr char kConfirmDeleteCaption[] = "削除の確認";

}  // namespace list

class CListCommands {
public:
    CListCommands(CRecordStore& store, CListLayout& layout, CListSelection& selection);
    virtual ~CListCommands() = default;
    CListCommands(const CListCommands&) = delete;
    CListCommands& operator=(const CListCommands&) = delete;

    // The open decision for an attachment with extension ext.
    static list::OpenAction DecideOpen(const std::string& ext, const CExtensionList& allowedList);

    // A double-click at a client point: the attachment under it (path) and what to do with
    // it; an alert file shows its text. bPassOn tells the window to give the message its
    // default handling (the point is on no attachment). Ignored entirely (None, no pass-on)
    // when the press of the double-click missed every attachment.
    list::OpenAction OnDoubleClick(list::Point point, const CExtensionList& allowedList,
                                   std::string& path, bool& bPassOn) const;

    // The Enter key: the single selected attachment, by the allowed list alone (an alert
    // file too).
    list::OpenAction OnOpenSelected(const CExtensionList& allowedList, std::string& path) const;

    // Delete the selection and delete all are enabled alike: when the record row or some
    // attachment is selected.
    bool IsDeleteEnabled() const;

    // The unsent conversion is enabled when the setting is on and the single selection is a
    // message file (".eml", any letter case).
    bool IsMakeUnsentEnabled(bool bUseUnsendMailFunc) const;

    // The message file the unsent conversion works on, or empty.
    std::string GetUnsentTarget() const;

    // Deletes the selected attachments, or the open record when its row is selected or its
    // last attachment goes. Run after the user confirmed.
    void DeleteSelection();

    // Deletes the open record: its record file, then the reconciliation takes its folder and
    // entry; the record that took its place (or the new last one) is opened, row selected.
    void DeleteOpenRecord();

    // Deletes every record file of the data folder; the reconciliation then takes the
    // folders and empties the list. Nothing is open afterwards. Run after the user confirmed.
    void DeleteAll();

private:
    CRecordStore& m_store;
    CListLayout& m_layout;
    CListSelection& m_selection;
};
