// The unsent draft's file: the message's header rewritten as unsent (see
// MailParserUnsent.cpp), the body copied, the result opened by the shell.

#include "engine/mime/MailParser.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "platform/SpecialFolders.h"

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
