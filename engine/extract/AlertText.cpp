#include "engine/extract/AlertText.h"

namespace {

const std::string kStars(63, '*');
constexpr char kReasonPrefix[] = "　理由：";
constexpr char kNameLine[] = "　添付ファイル名：";

std::string Banner() {
    const auto framed = [](int left, const char* text, int right) {
        return "*" + std::string(static_cast<std::size_t>(left), ' ') + text +
               std::string(static_cast<std::size_t>(right), ' ') + "*\r\n";
    };
    return kStars + "\r\n" +                                              //
           framed(10, "モルベク　添付ファイル　エクストラクター", 11) +  //
           framed(15, "(MORVEK ATTACHMENT EXTRACTOR)", 17) +             //
           framed(27, "注意！！！", 24) +                                //
           kStars + "\r\n" +                                              //
           "\r\n";
}

}  // namespace

std::string engine::MakeAlertText(const std::string& attachmentName) {
    return Banner() + kNameLine + attachmentName + "\r\n" +
           "　このファイルは、取り出しが禁止されている拡張子に合致しました。\r\n" +
           "　ウィルスやコンピュータに問題を起こす可能性のあるファイルです。\r\n" + kStars + "\r\n";
}

std::string engine::MakeAlertText(const std::string& attachmentName, const std::string& reason) {
    return Banner() + kNameLine + attachmentName + "\r\n" + kReasonPrefix + reason + "\r\n" +
           "　ウィルスやコンピュータに問題を起こす可能性のあるファイルです。\r\n" + kStars + "\r\n";
}

std::string engine::AlertReason(std::string_view alertText) {
    const std::string marker = std::string("\r\n") + kReasonPrefix;
    const std::size_t at = alertText.find(marker);
    if (at == std::string_view::npos) {
        return {};
    }
    const std::size_t start = at + marker.size();
    const std::size_t end = alertText.find("\r\n", start);
    return std::string(alertText.substr(start, end == std::string_view::npos ? end : end - start));
}
