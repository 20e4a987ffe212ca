#include "update/AvailableVersion.h"

#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "update/UpdateAnswer.h"
#include "update/VersionCheck.h"

namespace quillfen {

namespace {

constexpr const char* kRecordName = "available-version";
constexpr const char* kToldMark = "told";

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

// The record holds the version on its first line and, once the user has been told, the mark on
// its second.
struct Record {
    std::string version;
    bool told = false;

    static Record read(const std::optional<std::string>& text) {
        const std::vector<std::string> lines = splitText(text.value_or(""), "\n");
        return {lines.empty() ? "" : lines[0], lines.size() > 1 && lines[1] == kToldMark};
    }
    std::string text() const {
        return version + "\n" + (told ? std::string(kToldMark) + "\n" : "");
    }
};

}  // namespace

void recordAvailableVersion(const std::string& version) {
    const std::string folder = privateUpdateFolder();
    if (folder.empty()) {
        return;
    }
    files().editFile(folder + kRecordName,
                     [&](const std::optional<std::string>& current) -> std::optional<std::string> {
                         const Record recorded = Record::read(current);
                         if (current && recorded.version == version) {
                             return std::nullopt;
                         }
                         return Record{version, false}.text();
                     });
}

void forgetAvailableVersion() {
    const std::string folder = updateFolderPath();
    if (!folder.empty()) {
        files().removeFile(folder + kRecordName);
    }
}

std::optional<std::string> takeAvailableVersionNotice(const std::string& runningVersion) {
    const std::string folder = updateFolderPath();
    if (folder.empty() ||
        files().entryStatus(folder + kRecordName).kind != platform::EntryKind::File) {
        return std::nullopt;
    }
    std::optional<std::string> notice;
    files().editFile(
        folder + kRecordName,
        [&](const std::optional<std::string>& current) -> std::optional<std::string> {
            Record recorded = Record::read(current);
            if (recorded.told || compareVersions(runningVersion, recorded.version) != -1) {
                return std::nullopt;
            }
            notice = recorded.version;
            recorded.told = true;
            return recorded.text();
        });
    return notice;
}

}  // namespace quillfen
