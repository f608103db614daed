#pragma once

// The message copies in the data folder that wait for processing: absolute paths, filled
// by the drop intake at each drop and read (never changed) by the run that follows.

#include <string>
#include <vector>

using PendingMessageList = std::vector<std::string>;
