#pragma once

// What a long engine run reports to the progress dialog, and asks it.

class IProgress {
public:
    virtual ~IProgress() = default;

    // Moves the bar to position (the caller's range); lets pending window messages run.
    virtual void SetPosition(int position) = 0;

    // True once after the user asked to cancel: the request is consumed by the answer.
    virtual bool CheckCancel() = 0;
};

// For runs that show no progress and are never cancelled (tools, tests).
class CNoProgress : public IProgress {
public:
    void SetPosition(int) override {}
    bool CheckCancel() override { return false; }
};

// The six steps a message's extraction moves the bar by, from its start to its end, one at
// each part; Next also asks whether the user cancelled.
class CProgressSteps {
public:
    CProgressSteps(IProgress& progress, int start, int end)
        : m_progress(progress), m_nStart(start), m_nEnd(end) {}

    // Moves the bar one step (at most six); true when the user asked to cancel.
    bool Next() {
        if (m_nStep < 7) {
            m_progress.SetPosition(m_nStart + ((m_nEnd - m_nStart) * m_nStep) / 6);
            ++m_nStep;
        }
        return m_progress.CheckCancel();
    }

private:
    IProgress& m_progress;
    int m_nStart;
    int m_nEnd;
    int m_nStep = 1;
};
