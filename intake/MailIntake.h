#pragma once

// The decisions of the mail drop target: which drags are taken, and how dropped messages
// become message copies in the data folder, listed in the window's pending list for the
// processing the window is then asked for.
//
// The OLE drop target of a window is a thin adaptor around one CMailIntake: it answers
// drag enter and drag over with AcceptsDropAt, and on a drop brings the window to the
// foreground, shows the wait cursor and calls OnDrop with the data object read through
// IDroppedData. Nothing here knows OLE, so every decision can be tested with memory.
//
// A drop either completes or leaves nothing behind: when a message cannot be saved, the
// copies this drop already made are deleted again and nothing is processed; the dropped
// originals are only ever read. A cancel keeps what was saved before it and has it
// processed.

#include "intake/ByteSource.h"
#include "intake/DropHost.h"
#include "intake/DroppedData.h"
#include "run/PendingMessageList.h"
#include "run/ProgressSink.h"
#include "policy/ExtensionList.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class CMailIntake {
public:
    // Message contents are copied through one buffer of this size, one progress step and
    // one cancel check per chunk.
    static constexpr std::size_t kCopyChunkSize = 262144;

    // dataFolder: the data folder with its trailing backslash (GetDataFolder of the
    // application). A data folder that does not exist takes no drop.
    explicit CMailIntake(std::string dataFolder);
    virtual ~CMailIntake() = default;
    CMailIntake(const CMailIntake&) = delete;
    CMailIntake& operator=(const CMailIntake&) = delete;

    // Drag enter and drag over: whether a drop at point would be taken (the copy effect).
    bool AcceptsDropAt(IDropHost& host, DropPoint point);

    // A drop at point: the result is the effect reported to the source, true for copy.
    bool OnDrop(IDropHost& host, IDroppedData& data, DropPoint point);

    // What a shell drop of paths onto the attachment list saves, without a window: loads
    // the prohibited list, then copies each path that names an .eml or .msg file under a free
    // name.
    // Returns the copies in the order of paths (a file that cannot be copied is left out);
    // nothing when no free name was left, and then no copy is kept.
    std::optional<PendingMessageList> IntakeFiles(const std::vector<std::string>& paths);

    // Reloads the prohibited list from the data folder's list file and adds "alert". A file
    // that cannot be read leaves the list as it was; before the first load that is the
    // default list with "alert", so no drop is ever extracted without a prohibited list.
    void LoadProhibitedList();

    // The prohibited list of the last drop, which the processing of the drop reads.
    const CExtensionList& GetProhibitedList() const { return m_arrProhibited; }

private:
    enum class CopyResult { Copied, Cancelled, Failed };

    bool HasDataFolder() const;

    // The mail-client path: true when every item was saved or the user cancelled after
    // the first check.
    bool SaveMailClientMessages(IDropHost& host, IDroppedData& data, PendingMessageList& pending);
    CopyResult CopyContents(IByteSource& contents, const std::string& copyPath,
                            IProgressSink& progress, std::vector<char>& buffer);

    // The shell path: false when a name search failed.
    bool SaveShellFiles(const std::vector<std::string>& paths, PendingMessageList& pending);

    // The shell path of a drop, each file read through the data object: false when a name
    // search failed or no file could be read. The files that could not be read are named
    // to the user.
    bool SaveDroppedFiles(IDropHost& host, IDroppedData& data,
                          const std::vector<std::string>& paths, PendingMessageList& pending);

    // Deletes the copies of a drop that failed, and forgets them.
    static void RemoveCopies(PendingMessageList& pending);

    std::string m_strDataFolder;
    CExtensionList m_arrProhibited;
};
