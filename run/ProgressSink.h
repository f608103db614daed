#pragma once

// What a long run tells the progress dialog, and asks it: the message line, the bar in the
// range 0 to 100, and the user's cancel request. The dialog implements it on Windows; the
// command-line tool draws a terminal bar; tests record the calls.

#include "engine/extract/Progress.h"

#include <string>

class IProgressSink : public IProgress {
public:
    // Sets the message line.
    virtual void SetStatusText(const std::string& text) = 0;

    // Advances the bar by one step (1); past 100 the bar wraps to 0.
    virtual void StepIt() = 0;
};
