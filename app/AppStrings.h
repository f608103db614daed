#pragma once

// Names the program is known by outside itself.

namespace app {

// The application title (string resource 57344). The "ｋ" is a full-width letter, part of
// the title and of the settings key.
inline constexpr char kAppTitle[] = "Morveｋ Attachment Extractor";

// The registry root under HKEY_CURRENT_USER\Software that holds the application profile.
inline constexpr char kRegistryRoot[] = "Tevo Software Development";

}  // namespace app
