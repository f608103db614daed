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
