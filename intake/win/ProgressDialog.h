#pragma once

// The progress dialog of long runs (dialog 102): a message line, a bar from 0 to 100, a
// percent text and a cancel button. While it exists its owner (the nearest top-level window
// at or above the parent) is disabled, and every progress call first lets all waiting
// messages of the thread run. Cancel never closes it: it raises a flag that CheckCancel
// reports once. When the dialog could not be created every call is harmless.

#include "run/ProgressSink.h"
#include "ui/DialogBase.h"

#include <string>

class CProgressDialog final : public ui::CDialogBase, public IProgressSink {
public:
    // captionId: the string resource of the caption; 0 means 103, the application title.
    explicit CProgressDialog(UINT captionId = 0);
    ~CProgressDialog() override;  // re-enables the owner and destroys the window

    bool Create(HWND parent);

    void SetStatusText(const std::string& text) override;
    void SetPosition(int position) override;
    void StepIt() override;
    bool CheckCancel() override;

    // The previous position, as SetPosition and StepIt leave it (for tests).
    int GetPreviousPosition() const { return m_nPreviousPosition; }

    // Lets every waiting message of the thread run, the dialog's own keys first.
    void PumpMessages();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override { m_bCancelRequested = true; }

private:
    void UpdatePercent(int position);
    void ReenableOwner();

    UINT m_nCaptionId;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 1;
    int m_nPreviousPosition = 0;
    bool m_bCancelRequested = false;
    bool m_bOwnerDisabled = false;
    HWND m_hWndOwner = nullptr;
};
