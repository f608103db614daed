#pragma once

#include <string>

namespace platform::win32 {

// Whether the volume that holds path keeps named streams (FILE_NAMED_STREAMS). False when
// the volume cannot be found or does not answer.
bool VolumeKeepsNamedStreams(const std::wstring& path);

// The file-system flags of the volume that holds path, with the volume's root; false when
// the volume cannot be found or does not answer.
bool QueryVolumeFlags(const std::wstring& path, std::wstring& root, unsigned long& flags);

}  // namespace platform::win32
