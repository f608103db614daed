#pragma once

// What the user is told when a message could not be extracted or turned into a draft
// because a folder could not be made or a file could not be written (a full disk, a folder
// the user may not write to): which message, and what failed.

#include "engine/mime/MailParser.h"

#include <string>
#include <vector>

// One sentence on what failed ("「path」に書き込めませんでした。...").
std::string WriteFailureReason(const CMailParser::WriteFailure& failure);

// One line naming the message (by the file name of messagePath) and what failed.
std::string ExtractionFailureLine(const std::string& messagePath,
                                  const CMailParser::WriteFailure& failure);

// The message box text for the failed lines of one run.
std::string ExtractionFailureText(const std::vector<std::string>& lines);

// The message box text for a draft that could not be written.
std::string UnsentFailureText(const std::string& messagePath,
                              const CMailParser::WriteFailure& failure);
