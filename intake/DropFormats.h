#pragma once

// The names of the clipboard formats that a drop is read by.

// Marks drags out of the attachment list (string 57606); the program's own drop targets
// accept such drags and ignore them.
inline constexpr char kPrivateFormatName[] = "TEVO_SOFT_MORVEK_CLIPBOARDFORMAT";

// Offered by the mail client with dragged messages. Only then are the two virtual-file
// formats read; other programs that offer them are read through their file list, if any.
inline constexpr char kMailClientFormatName[] = "Outlook Express Messages";

inline constexpr char kFileGroupDescriptorFormatName[] = "FileGroupDescriptor";
inline constexpr char kFileContentsFormatName[] = "FileContents";
