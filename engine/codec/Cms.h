#pragma once

// The CMS (PKCS #7) structures of S/MIME, read far enough to tell what a "smime.p7m" holds
// and to take the message out of a signed one: ContentInfo -> SignedData ->
// encapContentInfo -> eContent. DER and BER alike: definite and indefinite lengths, and an
// OCTET STRING given in constructed pieces (nested at any depth) comes out joined. The
// signature is not checked; an encrypted message cannot be read without its key and is
// only recognised.

#include <string>
#include <string_view>

namespace engine::cms {

enum class Kind {
    NotCms,         // no ContentInfo (or a damaged one)
    SignedData,     // content: the encapsulated content; empty when it is detached
    EnvelopedData,  // encrypted (EnvelopedData or AuthEnvelopedData)
    Other,          // a ContentInfo of another type
};

// Reads a ContentInfo from the start of data. For SignedData, content is its encapsulated
// content and hasContent whether there is one.
Kind ReadContentInfo(std::string_view data, std::string& content, bool& hasContent);

}  // namespace engine::cms
