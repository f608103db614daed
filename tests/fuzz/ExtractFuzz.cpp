// Any message bytes through the whole extraction in a scratch data folder: nothing may be
// written anywhere but the record file and the files of the message's staging folder.

#include "engine/extract/Progress.h"
#include "engine/mime/MailParser.h"
#include "fuzz/NativeScratch.h"
#include "platform/posix/NativePath.h"
#include "policy/ExtensionList.h"

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void Fail(const char* what) {
    std::fprintf(stderr, "written outside the staging folder: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string native = fuzz::ScratchParent() + "/data";
    mkdir(native.c_str(), 0777);
    if (FILE* file = std::fopen((native + "/B.eml").c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    const std::string dataFolder = platform::posix::ToCorePath(native) + "\\";
    CExtensionList prohibited({"exe", "alert"}, {});
    CNoProgress progress;
    CMailParser(dataFolder).ExtractAttachments(dataFolder + "B.eml", prohibited, progress, 0, 60);

    if (fuzz::Entries(fuzz::ScratchParent()) != std::set<std::string>{"data"}) {
        Fail("beside the data folder");
    }
    for (const std::string& name : fuzz::Entries(native)) {
        if (name != "scanvirus" && name != "B.att" && name != "B.eml") {
            Fail(name.c_str());
        }
    }
    for (const std::string& name : fuzz::Entries(native + "/scanvirus")) {
        if (name != "B") {
            Fail(name.c_str());
        }
    }
    for (const std::string& name : fuzz::Entries(native + "/scanvirus/B")) {
        if (IsFolder(native + "/scanvirus/B/" + name)) {
            Fail(name.c_str());
        }
    }
    nftw(
        native.c_str(),
        [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
    return 0;
}
