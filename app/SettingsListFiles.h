#pragma once

// The two extension list files as the settings dialog reads and writes them. The dialog
// shows a file's entries as list-box lines when it opens and writes the lines back on OK.
// A file that exists but could not be read when the dialog opened is not written back: its
// list box started empty, and saving it would lose the entries the file still holds.

#include <string>
#include <vector>

enum class ListFileOpening {
    Loaded,   // its entries are in the list box
    Missing,  // no file: the list box starts empty and OK creates the file
    Failed,   // the file exists but cannot be read or is damaged: OK leaves it as it is
};

class CSettingsListFiles {
public:
    // dataFolder: the data folder with its trailing backslash.
    explicit CSettingsListFiles(std::string dataFolder);

    // Reads "allowedext.dat" and "prohibitedext.dat" into lines, one per entry in stored
    // order; a file that cannot be read leaves its lines empty.
    void Load(std::vector<std::string>& allowedLines, std::vector<std::string>& prohibitedLines);

    // Writes "allowedext.dat", then "prohibitedext.dat", from the lines in the order given
    // (the list box's sorted order); lines without a tab or with the tab first are skipped.
    // A file whose reading failed at Load is left untouched. Returns the message naming
    // those files, or an empty text when nothing was held back. Write failures are not
    // reported.
    std::string Save(const std::vector<std::string>& allowedLines,
                     const std::vector<std::string>& prohibitedLines) const;

    ListFileOpening GetAllowedOpening() const { return m_allowedOpening; }
    ListFileOpening GetProhibitedOpening() const { return m_prohibitedOpening; }

    // The message for a list file that was held back.
    static std::string HeldBackMessage(const std::string& fileName, const std::string& listName);

private:
    std::string m_strDataFolder;
    ListFileOpening m_allowedOpening = ListFileOpening::Missing;
    ListFileOpening m_prohibitedOpening = ListFileOpening::Missing;
};
