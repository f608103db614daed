#pragma once

// The two extension list files as the settings dialog reads and writes them. The dialog
// shows a file's entries as list-box lines when it opens and writes the lines back on OK.
//
// A damaged file (one that is there but does not hold two string arrays) shows the list that
// is in force instead: for the prohibited list the default list that drops use, for the
// allowed list none (nothing is allowed to open). The dialog says so once when it opens; on
// OK, after the user agrees, the damaged file is kept beside the list as "<name>.damaged"
// and the list is written. A file that exists but cannot be opened (another program holds
// it, a folder of that name) is not written back: its list box started empty, and saving it
// would lose the entries the file may still hold.

#include <string>
#include <vector>

enum class ListFileOpening {
    Loaded,   // its entries are in the list box
    Missing,  // no file: the list box starts empty and OK creates the file
    Damaged,  // the file is damaged: the list box shows the list in force, and OK replaces
              // the file once the user agrees
    Failed,   // the file exists but cannot be read: OK leaves it as it is
};

class CSettingsListFiles {
public:
    // dataFolder: the data folder with its trailing backslash.
    explicit CSettingsListFiles(std::string dataFolder);

    // Reads "allowedext.dat" and "prohibitedext.dat" into lines, one per entry in stored
    // order; a damaged file gives the lines of the list in force, a file that cannot be read
    // none.
    void Load(std::vector<std::string>& allowedLines, std::vector<std::string>& prohibitedLines);

    // What the dialog says once when it opens: which files are damaged and what it shows in
    // their place. Empty when no file is damaged.
    std::string DamagedNotice() const;

    // The question asked on OK before a damaged file is replaced; empty when no file is
    // damaged.
    std::string ReplaceQuestion() const;

    // Writes "allowedext.dat", then "prohibitedext.dat", from the lines in the order given
    // (the list box's sorted order); lines without a tab or with the tab first are skipped.
    // A damaged file is renamed to "<name>.damaged" (an older one of that name replaced) and
    // then written when replaceDamaged is true, and left as it is otherwise. A file that
    // could not be read, or a damaged one that could not be put aside, is left untouched.
    // Returns the message naming the files left untouched against the user's wish, or an
    // empty text. Write failures are not reported.
    std::string Save(const std::vector<std::string>& allowedLines,
                     const std::vector<std::string>& prohibitedLines, bool replaceDamaged) const;

    ListFileOpening GetAllowedOpening() const { return m_allowedOpening; }
    ListFileOpening GetProhibitedOpening() const { return m_prohibitedOpening; }

    // The message for a list file that was held back.
    static std::string HeldBackMessage(const std::string& fileName, const std::string& listName);

    // The name a damaged list file is kept under.
    static std::string DamagedFileName(const std::string& fileName);

private:
    std::string m_strDataFolder;
    ListFileOpening m_allowedOpening = ListFileOpening::Missing;
    ListFileOpening m_prohibitedOpening = ListFileOpening::Missing;
};
