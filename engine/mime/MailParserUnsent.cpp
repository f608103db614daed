// Unsent drafts: the message's header rewritten so that the mail client takes it for a
// message not yet sent, the body copied, the result opened by the shell.

#include "engine/mime/MailParser.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/SpecialFolders.h"

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

std::string CMailParser::WriteUnsentMail(const std::string& messagePath) {
    m_writeFailure = {};
    CMessageReader reader;
    std::string header;
    if (!reader.Open(messagePath) || !ReadHeaderBlock(reader, header) || !RewriteAsUnsent(header)) {
        return {};
    }
    const std::string folder = platform::TempPath() + "morvek\\";
    if (platform::MakeFolder(folder) == platform::MakeFolderResult::Failed) {
        m_writeFailure = {WriteFailureKind::Folder, folder.substr(0, folder.size() - 1)};
        return {};
    }
    const std::string temporary = platform::MakeUniqueTempFile(folder, "EML");
    if (temporary.empty()) {
        m_writeFailure = {WriteFailureKind::File, folder + "EML*.tmp"};
        return {};
    }
    const std::string path = temporary + ".eml";
    platform::File output;
    // A draft that is not written in full is no draft: it goes.
    const auto fail = [&]() {
        output.Close();
        platform::RemoveFile(path);
        m_writeFailure = {WriteFailureKind::File, path};
        return std::string();
    };
    if (!output.Open(path, platform::File::Mode::Write) || !output.Write(header)) {
        return fail();
    }
    // Every line of the body, the last one included, ends in CR LF.
    std::string buffer, line;
    while (reader.ReadLine(line)) {
        buffer += line;
        buffer += "\r\n";
        if (buffer.size() >= 65536) {
            if (!output.Write(buffer)) {
                return fail();
            }
            buffer.clear();
        }
    }
    if (!output.Write(buffer)) {
        return fail();
    }
    return path;
}

void CMailParser::MakeUnsentMail(const std::string& messagePath) {
    const std::string path = WriteUnsentMail(messagePath);
    if (!path.empty()) {
        platform::ShellOpen(path);
    }
}
