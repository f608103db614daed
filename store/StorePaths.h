#pragma once

// Path pieces the store and the extraction run share. A backslash is found by the
// double-byte rule: the trail byte 0x5C of a name's last character is no separator.

#include "engine/extract/StagingSink.h"

#include <string>
#include <string_view>

namespace store {

// The names the extraction gives: record files and the scan folder.
inline constexpr const char* kRecordSuffix = engine::kRecordSuffix;
inline constexpr std::size_t kRecordSuffixLength = sizeof engine::kRecordSuffix - 1;
inline constexpr const char* kScanFolderName = engine::kScanFolderName;

// Whether path ends with a backslash that is a character of its own.
bool EndsWithBackslash(std::string_view path);

// path, followed by a backslash unless it already ends with one.
std::string WithBackslash(std::string_view path);

// The record folder of a record file: its path without the last four characters.
std::string RecordFolderOf(std::string_view recordFile);

}  // namespace store
