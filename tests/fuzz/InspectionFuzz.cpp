// Any bytes as an attachment, under an archive's name and a document's: the inspection stays
// inside them, ends, and gives a verdict it can put into words.

#include "engine/inspect/Inspection.h"
#include "policy/ExtensionList.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const CExtensionList prohibited({"exe", "lnk", "js", "iso", "one", "chm", "alert"}, {});
    for (const char* name : {"a.zip", "a.pdf"}) {
        const InspectionVerdict verdict = engine::InspectBytes(name, bytes, prohibited);
        const bool clean = verdict.reason == InspectionVerdict::Reason::Clean;
        if (clean != verdict.ReasonText().empty() || verdict.entries.size() > engine::kMaxNamedEntries ||
            verdict.entryCount < verdict.entries.size()) {
            std::fprintf(stderr, "inconsistent verdict\n");
            std::abort();
        }
    }
    return 0;
}
