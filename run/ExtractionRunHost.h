#pragma once

// What an extraction run needs from the window it runs for: the progress dialog, message
// boxes, hiding and showing around the antivirus program, the keep-or-discard question and
// the record list. The list view and the drop window implement it with their windows, a
// command-line tool with the terminal, tests by recording the calls. The run calls it on the
// user-interface thread only.

#include "run/ProgressSink.h"

#include <string>
#include <vector>

// The buttons of the scan-confirm dialog. Its modal run ends with the id of the button
// pressed, or with the cancel result (2) on Esc or the close box.
inline constexpr int kScanConfirmDiscardAll = 1013;  // "すべて破棄"
inline constexpr int kScanConfirmContinue = 1014;    // "継続"

enum class ExtractionOutcome {
    NoOutput,          // no message gave output (none had attachments, or a cancel came first)
    ScanFolderFailed,  // the scan folder could not be made before the scan: the user was
                       // told, and what the run extracted was deleted unscanned
    Kept,              // the staging folders were moved into the store (those that could be)
    Discarded,         // the user discarded everything this run extracted
};

class IExtractionRunHost {
public:
    virtual ~IExtractionRunHost() = default;

    // The progress dialog, with the application title as caption and the host's window as
    // owner (disabled while the dialog exists). BeginProgress creates it and EndProgress
    // destroys it; the sink belongs to the host, and the run uses it only in between.
    virtual IProgressSink& BeginProgress() = 0;
    virtual void EndProgress() = 0;

    // A message box owned by the host's window: text, an OK button, no icon, the application
    // title as caption.
    virtual void ShowMessage(const std::string& text) = 0;

    // Messages that could not be extracted, one line each naming the message and what
    // failed: the windows show them in one message box with the exclamation icon, a
    // terminal prints each line on the error stream.
    virtual void ReportFailures(const std::vector<std::string>& lines) = 0;

    // Around the antivirus program, which runs while the window is hidden: the list view
    // hides and shows the main window, the drop window itself. ShowAfterScan also brings the
    // window to the foreground.
    virtual void HideForScan() = 0;
    virtual void ShowAfterScan() = 0;

    // The scan-confirm question after the scan. Returns the dialog's result:
    // kScanConfirmDiscardAll discards everything this run extracted, any other result keeps
    // it.
    virtual int ConfirmScan() = 0;

    // A record the run moved into the store (its record-file path): listed at the top, and
    // the list saved.
    virtual void AddRecord(const std::string& recordFile) = 0;

    // The end of a run that kept or discarded (outcome is one of the two). The list view
    // scrolls to the top, reconciles, opens the first record, comes to the foreground and
    // repaints after either; the drop window opens the list after a keep and does nothing
    // after a discard.
    virtual void RefreshRecords(ExtractionOutcome outcome) = 0;
};
