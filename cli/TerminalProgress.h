#pragma once

// The progress dialog of the command-line tool: the message line and a bar redrawn on the
// terminal's error stream (nothing when that is not a terminal). The terminal has no cancel
// button: CheckCancel never reports one.

#include "cli/CliConsole.h"
#include "run/ProgressSink.h"

class CTerminalProgress : public IProgressSink {
public:
    explicit CTerminalProgress(ICliConsole& console);

    void SetStatusText(const std::string& text) override;
    void SetPosition(int position) override;
    void StepIt() override;
    bool CheckCancel() override { return false; }

    // Ends the bar's line.
    void Finish();

private:
    void Draw();

    ICliConsole& m_console;
    bool m_bVisible;
    bool m_bDrawn = false;
    int m_nPosition = 0;
    int m_nDrawnPercent = -1;
    std::string m_strStatus;
};
