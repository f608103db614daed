#pragma once

#include <string>

namespace engine {

// The warning text an alert file holds in place of a prohibited attachment: ten lines in
// Shift_JIS, each ending in CR LF, the attachment's name (as the message gave it) on the
// seventh.
std::string MakeAlertText(const std::string& attachmentName);

}  // namespace engine
