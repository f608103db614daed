#pragma once

// The shell's ANSI file-group descriptor, as a mail client offers it with dragged messages:
// a 32-bit item count (little-endian) followed by one 332-byte descriptor per item. Of each
// descriptor only the file name is read: 260 bytes at offset 72, ending at the first NUL.
//
// The block comes from another program, so nothing in it is trusted: the count must fit in
// the block, and a name that fills its 260 bytes without a NUL ends there.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kFileDescriptorSize = 332;
inline constexpr std::size_t kFileDescriptorNameOffset = 72;
inline constexpr std::size_t kFileDescriptorNameSize = 260;

// Reads the item names of a descriptor block into names, in descriptor order. A count of 0
// or below (the count is signed) gives no names. False, with names empty, when the block is
// too short for its count, or for the count itself; bytes after the last descriptor are
// ignored, since a global memory block may be larger than what was asked for.
bool ReadFileGroupDescriptor(std::string_view block, std::vector<std::string>& names);

// The Unicode descriptor ("FileGroupDescriptorW"), as today's mail programs offer it: the
// same count, then 592-byte descriptors whose file name is 260 UTF-16 characters at offset
// 72. The names come as Shift_JIS; a character that code page 932 cannot hold becomes "?",
// which the name rules of the copies then replace. The same checks as for the ANSI block.
inline constexpr std::size_t kFileDescriptorWSize = 592;
inline constexpr std::size_t kFileDescriptorWNameSize = 520;

bool ReadFileGroupDescriptorW(std::string_view block, std::vector<std::string>& names);

class IDroppedData;

// The names of a drop's virtual files: from the Unicode descriptor when it is offered,
// else from the ANSI one. False when the descriptor on offer does not read (or none is).
bool ReadDroppedNames(IDroppedData& data, std::vector<std::string>& names);
