#pragma once

// The record list file "morvek.atd": one archived string array holding the record-file
// paths of the attachment list, the most recent first. No header, version or checksum.

#include "policy/StringArchive.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr char kRecordListFileName[] = "morvek.atd";

// The bytes of a record list file holding records; nothing when a path is too long to be
// archived. An empty list is the two bytes 00 00.
std::optional<std::string> EncodeRecordList(const std::vector<std::string>& records);

// Reads the bytes of a record list file into records, replacing them. Bytes after the array
// are ignored. Damaged leaves records as they were.
ListLoadResult DecodeRecordList(std::string_view data, std::vector<std::string>& records);

// Opens path with exclusive access and reads it into records. A file that cannot be read,
// or is damaged, leaves records as they were.
ListLoadResult LoadRecordListFile(const std::string& path, std::vector<std::string>& records);

// Creates or truncates path with exclusive access and writes records into it. False when
// the file cannot be created (nothing is written then) or not all of it could be written.
bool SaveRecordListFile(const std::string& path, const std::vector<std::string>& records);
