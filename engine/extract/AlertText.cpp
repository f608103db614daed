#include "engine/extract/AlertText.h"

std::string engine::MakeAlertText(const std::string& attachmentName) {
    const std::string stars(63, '*');
    const auto framed = [](int left, const char* text, int right) {
        return "*" + std::string(static_cast<std::size_t>(left), ' ') + text +
               std::string(static_cast<std::size_t>(right), ' ') + "*\r\n";
    };
    return stars + "\r\n" +                                              //
           framed(10, "モルベク　添付ファイル　エクストラクター", 11) +  //
           framed(15, "(MORVEK ATTACHMENT EXTRACTOR)", 17) +             //
           framed(27, "注意！！！", 24) +                                //
           stars + "\r\n" +                                              //
           "\r\n" +                                                      //
           "　添付ファイル名：" + attachmentName + "\r\n" +              //
           "　このファイルは、取り出しが禁止されている拡張子に合致しました。\r\n" +
           "　ウィルスやコンピュータに問題を起こす可能性のあるファイルです。\r\n" + stars + "\r\n";
}
