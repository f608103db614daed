#include "platform/DownloadMark.h"

namespace platform {

namespace {

DownloadMarker*& ReplacementStorage() {
    static DownloadMarker* replacement = nullptr;
    return replacement;
}

}  // namespace

DownloadMarker& CurrentDownloadMarker() {
    DownloadMarker* replacement = ReplacementStorage();
    return replacement != nullptr ? *replacement : detail::BackendDownloadMarker();
}

DownloadMarker* ReplaceDownloadMarker(DownloadMarker* marker) {
    DownloadMarker* previous = ReplacementStorage();
    ReplacementStorage() = marker;
    return previous;
}

}  // namespace platform
