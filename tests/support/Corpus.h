#pragma once

// The real messages of the shared corpus, read in place.

#include <string>
#include <vector>

namespace test {

// The corpus folder as a Windows path: drive Z: is the native root on both backends.
std::string CorpusFolder();

// Every ".eml" file of the corpus's subfolders; empty when the corpus is not there.
std::vector<std::string> CorpusMessages();

}  // namespace test
