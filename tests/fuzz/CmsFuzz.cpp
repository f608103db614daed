// Any bytes read as a CMS ContentInfo stay within their input and never crash the reader;
// and any bytes wrapped as the content of a SignedData (DER, or BER with indefinite lengths
// and the OCTET STRING in pieces of any size) come back exactly.

#include "engine/codec/Cms.h"
#include "support/CmsBuilder.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string content;
    bool hasContent = false;
    const engine::cms::Kind kind = engine::cms::ReadContentInfo(input, content, hasContent);
    if (content.size() > input.size() || (hasContent && kind != engine::cms::Kind::SignedData) ||
        (!hasContent && !content.empty())) {
        std::abort();
    }
    const std::size_t pieceSize = size == 0 ? 1 : 1 + data[0] % 200;
    for (const test::CmsForm form : {test::CmsForm::Der, test::CmsForm::Pieces}) {
        std::string back;
        if (engine::cms::ReadContentInfo(test::SignedDataOf(input, form, pieceSize), back, hasContent) !=
                engine::cms::Kind::SignedData ||
            !hasContent || back != input) {
            std::abort();
        }
    }
    return 0;
}
