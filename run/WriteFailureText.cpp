#include "run/WriteFailureText.h"

#include "platform/ShiftJis.h"

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t separator = sjis::FindLastOf(path, "\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

std::string WriteFailureReason(const CMailParser::WriteFailure& failure) {
    if (failure.kind == CMailParser::WriteFailureKind::Folder) {
        return "フォルダ「" + failure.path + "」を作成できませんでした。";
    }
    return "ファイル「" + failure.path +
           "」を書き込めませんでした（ディスクの空き容量が足りないか、書き込みが許可されて"
           "いません）。";
}

std::string ExtractionFailureLine(const std::string& messagePath,
                                  const CMailParser::WriteFailure& failure) {
    return "メール「" + FileNameOf(messagePath) + "」の添付ファイルを抽出できませんでした: " +
           WriteFailureReason(failure);
}

std::string ExtractionFailureText(const std::vector<std::string>& lines) {
    // A full disk fails every message after it; the box names the first few.
    constexpr std::size_t kShown = 10;
    std::string text;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) {
        text += lines[i] + "\n";
    }
    if (lines.size() > kShown) {
        text += "ほか " + std::to_string(lines.size() - kShown) + " 件\n";
    }
    return text + "\nこれらのメールからは何も保存されていません。空き容量などを確かめてから、"
                  "もう一度ドロップしてください。";
}

std::string UnsentFailureText(const std::string& messagePath,
                              const CMailParser::WriteFailure& failure) {
    return "メール「" + FileNameOf(messagePath) + "」を未送信状態に戻せませんでした。\n" +
           WriteFailureReason(failure);
}
