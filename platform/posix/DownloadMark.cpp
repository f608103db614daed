// Outside Windows no program reads a zone from a file, and the origin attribute the desktop
// keeps ("user.xdg.origin.url") wants an address a message does not have: no mark is written.

#include "platform/DownloadMark.h"

namespace platform::detail {

namespace {

class NoDownloadMarker final : public DownloadMarker {
public:
    bool Mark(const std::string&) override { return false; }
    bool CopyMark(const std::string&, const std::string&) override { return false; }
};

}  // namespace

DownloadMarker& BackendDownloadMarker() {
    static NoDownloadMarker marker;
    return marker;
}

}  // namespace platform::detail
