#pragma once

// What an extraction run that never ended (killed, or the machine shut down while the
// antivirus program ran) leaves behind, found and cleared at the next start by the process
// that owns the program's mutex, before the record list is read:
//   - a staging folder in the scan folder, whose message was extracted but never scanned,
//     kept or discarded: it goes, with its record file D + name + ".att" unless the record
//     folder D + name is in the data folder (then the record reached the store and stays);
//   - a message copy D + name + ".eml" that no run processed to its end.
// The originals are still with the user (in the mail program or the shell); the user is
// told how many messages to drop again.

#include <string>

// Clears what interrupted runs left in dataFolder (with its trailing backslash) and returns
// the number of messages concerned, each counted once.
int ClearInterruptedRuns(const std::string& dataFolder);

// The notice for count messages of an interrupted run that were not kept.
std::string InterruptedRunText(int count);
