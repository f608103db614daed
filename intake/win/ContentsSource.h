#pragma once

// The contents of one dropped virtual file, as the data object handed them out: a stream
// is read from where it stands, a global memory block from its start to its end, and a
// storage (an Outlook item, as Outlook hands it out) is copied whole into a compound file
// in memory, whose bytes are read.

#include "intake/ByteSource.h"

#include <windows.h>

#include <ole2.h>

#include <memory>

// Takes over medium (released with the result). Null for any other medium, which is then
// released at once.
std::unique_ptr<IByteSource> MakeContentsSource(STGMEDIUM& medium);
