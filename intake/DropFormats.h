#pragma once

// The names of the clipboard formats that a drop is read by.

// Marks drags out of the attachment list (string 57606); the program's own drop targets
// accept such drags and ignore them.
inline constexpr char kPrivateFormatName[] = "TEVO_SOFT_MORVEK_CLIPBOARDFORMAT";

// Offered by the mail client with dragged messages: then its virtual files are read. Other
// programs' virtual files are read when the drag has no file list and they include messages
// (".eml", ".msg"), as Outlook drags them.
inline constexpr char kMailClientFormatName[] = "Outlook Express Messages";

inline constexpr char kFileGroupDescriptorFormatName[] = "FileGroupDescriptor";
// The Unicode descriptor, which today's mail programs offer (preferred when offered).
inline constexpr char kFileGroupDescriptorWFormatName[] = "FileGroupDescriptorW";
inline constexpr char kFileContentsFormatName[] = "FileContents";
