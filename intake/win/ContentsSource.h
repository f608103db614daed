#pragma once

// The contents of one dropped virtual file, as the data object handed them out: a stream
// is read from where it stands, a global memory block from its start to its end, and a
// storage (an Outlook item, as Outlook hands it out) is copied whole into a compound file
// in memory, whose bytes are read.

#include "intake/ByteSource.h"

#include <windows.h>

#include <ole2.h>

#include <memory>
#include <string>

// Takes over medium (released with the result). Null for any other medium, which is then
// released at once.
std::unique_ptr<IByteSource> MakeContentsSource(STGMEDIUM& medium);

// A file of the shell's file list, opened for reading by its wide path (others may read it
// too); null when it cannot be opened or is a folder.
std::unique_ptr<IByteSource> OpenFileSource(const std::wstring& path);
