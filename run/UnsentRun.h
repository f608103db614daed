#pragma once

// The unsent run of the drop window: each message copy of a drop is rewritten as an unsent
// draft (which the shell then opens) and the copy is deleted, with the progress dialog on
// screen. A cancel stops before the next message; the copies not reached stay in the data
// folder. The list is emptied at the end either way.

#include "run/PendingMessageList.h"
#include "run/ProgressSink.h"

#include <functional>
#include <string>

// convert: rewrites one message copy (a failure does not stop the run).
void RunUnsentConversion(PendingMessageList& pending, IProgressSink& progress,
                         const std::function<void(const std::string&)>& convert);
