#include "cli/TerminalProgress.h"

using platform::ConsoleStream;

CTerminalProgress::CTerminalProgress(ICliConsole& console)
    : m_console(console), m_bVisible(console.IsTerminal(ConsoleStream::Err)) {}

void CTerminalProgress::SetStatusText(const std::string& text) {
    // The dialog's message lines become one line here.
    m_strStatus.clear();
    for (char c : text) {
        m_strStatus += c == '\n' ? ' ' : c;
    }
    m_nDrawnPercent = -1;
    Draw();
}

void CTerminalProgress::SetPosition(int position) {
    m_nPosition = position;
    Draw();
}

void CTerminalProgress::StepIt() {
    // The bar wraps to its lower bound past its upper bound, as the dialog's does.
    m_nPosition = m_nPosition >= 100 ? 0 : m_nPosition + 1;
    Draw();
}

void CTerminalProgress::Finish() {
    if (m_bDrawn) {
        m_console.Write(ConsoleStream::Err, "\n");
        m_bDrawn = false;
    }
}

void CTerminalProgress::Draw() {
    const int percent = m_nPosition < 0 ? 0 : m_nPosition > 100 ? 100 : m_nPosition;
    if (!m_bVisible || percent == m_nDrawnPercent) {
        return;
    }
    m_nDrawnPercent = percent;
    const int filled = percent * 30 / 100;
    m_console.Write(ConsoleStream::Err,
                    "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                        std::string(static_cast<std::size_t>(30 - filled), ' ') + "] " +
                        std::to_string(percent) + " % " + m_strStatus);
    m_bDrawn = true;
}
