#pragma once

#include <string>
#include <string_view>

namespace engine {

// The warning text an alert file holds in place of a prohibited attachment: ten lines in
// Shift_JIS, each ending in CR LF, the attachment's name (as the message gave it) on the
// seventh.
std::string MakeAlertText(const std::string& attachmentName);

// The alert text of an attachment held for what it holds: the same banner and name, then
// the reason (one line, from the inspection) in place of the line about the extension.
std::string MakeAlertText(const std::string& attachmentName, const std::string& reason);

// The reason line of an alert text made with one, without its indent; empty for the text
// of a prohibited name (or any other text).
std::string AlertReason(std::string_view alertText);

}  // namespace engine
