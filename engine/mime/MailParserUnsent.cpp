// Unsent drafts: the message's header rewritten so that the mail client takes it for a
// message not yet sent (the draft's file is written by engine/extract/UnsentDraft.cpp).

#include "engine/mime/MailParser.h"

namespace {

constexpr int kMaxHeaderLines = 600;
constexpr const char* kTransportFields[] = {
    "Return-Path:", "Received:", "Message-ID:", "X-Unsent:"};

bool IsTransportField(std::string_view line) {
    for (const char* field : kTransportFields) {
        if (CMailParser::IsField(line, field)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool CMailParser::ReadHeaderBlock(CMessageReader& reader, std::string& header) {
    header.clear();
    std::string line;
    for (int taken = 0;; ++taken) {
        if (!reader.ReadLine(line) || taken == kMaxHeaderLines) {
            header.clear();
            return false;
        }
        header += line;
        header += "\r\n";
        if (line.empty()) {
            return true;
        }
    }
}

bool CMailParser::RewriteAsUnsent(std::string& header) {
    std::size_t pos = 0;
    while (true) {
        const std::size_t end = header.find("\r\n", pos);
        if (end == std::string::npos) {
            break;
        }
        if (!IsTransportField(std::string_view(header).substr(pos, end - pos))) {
            pos = end + 2;
            continue;
        }
        // The field goes with its continuation lines, up to the first line that does not
        // begin with a space or a TAB.
        std::size_t next = end + 2;
        while (next < header.size() && (header[next] == ' ' || header[next] == '\t')) {
            const std::size_t lineEnd = header.find("\r\n", next);
            if (lineEnd == std::string::npos) {
                return false;
            }
            next = lineEnd + 2;
        }
        if (next >= header.size()) {
            return false;
        }
        header.erase(pos, next - pos);
    }
    header.insert(0, "X-Unsent: 1\r\n");
    return true;
}
