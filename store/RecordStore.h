#pragma once

// The attachment records of the data folder and the list that shows them.
//
// A record is a record file D + name + ".att" (date, sender and subject) and a record folder
// D + name holding the message's attachments, D being the data folder (with its trailing
// backslash). A record is named by the full path of its record file; its folder is that path
// without its last four characters. The record list is mirrored to D + "morvek.atd" after
// every change.
//
// The list view owns one store for the life of the program and reaches the members below
// directly, as its drawing, selection and delete commands need them. The store keeps these
// invariants in every operation of its own, and callers that change the members keep them
// too:
//   - m_arrSelected has one flag per entry of m_arrAttachments, all clear after a rebuild;
//   - m_arrAttachments belongs to m_strOpenRecord and is rebuilt whenever it changes;
//   - while m_bRecordRowSelected is true every attachment flag is clear.
//
// The store deletes only inside its own data folder: a list entry that does not name a record
// of it (a damaged list, a path from elsewhere) is dropped from the list and never leads to a
// deletion. Deletions, removals and moves that fail are silent; the next reconciliation
// repairs the list.

#include "policy/StringArchive.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CRecordStore {
public:
    // dataFolder: the data folder followed by a backslash. A lone backslash (the application
    // has no data folder) makes an inert store that reads, writes and deletes nothing.
    explicit CRecordStore(std::string dataFolder);
    virtual ~CRecordStore() = default;
    CRecordStore(const CRecordStore&) = delete;
    CRecordStore& operator=(const CRecordStore&) = delete;

    const std::string& GetDataFolder() const { return m_strDataFolder; }

    // --- The record list and its file -----------------------------------------------

    // Reads "morvek.atd" into m_arrRecords. A missing or unreadable file leaves the list as
    // it was; a damaged one loads as an empty list, and the file stays as it is until the
    // list changes (the reconciliation adopts the records it finds on disk).
    ListLoadResult LoadRecordList();

    // Writes m_arrRecords into "morvek.atd" (created or truncated). False, and nothing
    // written, when the file cannot be created.
    bool SaveRecordList();

    // A record that an extraction run has moved into the store: listed at the top and saved.
    // Duplicates are not looked for; nothing is repainted.
    void AddRecord(const std::string& recordFile);

    // Brings the list in step with the disk: drops (and clears away the remains of) records
    // whose file or folder is gone or whose folder holds no file, then adopts unlisted
    // records that have a folder with a file, each at the top in the order found. Saves the
    // list when it changed. Returns whether it changed. Records in knownWhole (those a run
    // has just moved into the store) are kept without looking at the disk again.
    bool ReconcileRecords(const std::vector<std::string>& knownWhole = {});

    // Whether path names a record of this store: D + name + ".att" (any letter case), the
    // name holding no separator, not being the scan folder's and not resolving to the data
    // folder itself once Windows drops its trailing dots and spaces.
    bool IsStoreRecord(const std::string& path) const;

    // --- The open record ------------------------------------------------------------

    // The index of the first entry of m_arrRecords equal to m_strOpenRecord byte for byte,
    // or -1.
    int FindOpenRecord() const;

    // Opens entry index: m_strOpenRecord, m_arrAttachments listed from its folder, flags
    // all clear. m_bRecordRowSelected and the scroll sizes are the caller's. False (nothing
    // changed) when index is out of range.
    bool OpenRecordAt(std::size_t index);

    // Opens the top record with its own row selected. When the list is empty the open record
    // stays as it was. The caller sets the scroll sizes afterwards in either case. Returns
    // whether a record was opened.
    bool OpenFirstRecord();

    // What the list view does on a refresh after an extraction run, less scrolling and
    // painting: reconcile, then open the first record.
    void RefreshRecords();

    // --- Folders ----------------------------------------------------------------------

    // Whether folder holds at least one entry that is not a folder. A name with a colon is no
    // attachment (see ListFolder).
    static bool FolderHasFile(const std::string& folder);

    // Fills list with the full paths of the entries of folder (files and folders alike), in
    // the reverse of the order the file system lists them. A name with a colon is left out:
    // it is a stream written as a file of its own where the volume keeps no streams.
    static void ListFolder(const std::string& folder, std::vector<std::string>& list);

    // Deletes folder with everything inside it. What cannot be deleted (a read-only or open
    // file) stays, with the folders above it. An empty path, a lone backslash or a drive
    // root deletes nothing. A link (symbolic link, junction), folder itself included, is
    // removed as a link: what it points to is never entered nor deleted.
    static void DeleteFolderTree(const std::string& path);

    // --- State (see the invariants above) ---------------------------------------------

    std::string m_strListFile;                  // D + "morvek.atd"
    std::vector<std::string> m_arrRecords;      // record-file paths, the top entry first
    std::string m_strOpenRecord;                // empty when no record is open
    std::vector<std::string> m_arrAttachments;  // entries of the open record's folder
    std::vector<std::uint16_t> m_arrSelected;   // nonzero: that attachment row is selected
    bool m_bRecordRowSelected = false;          // the open record's own row is selected

private:
    bool IsUsable() const { return m_strDataFolder.size() > 1; }
    bool KeepListedRecord(const std::string& path);

    std::string m_strDataFolder;
};
