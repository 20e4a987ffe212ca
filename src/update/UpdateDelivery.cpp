#include "update/UpdateDelivery.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "app/PathHelpers.h"
#include "platform/Platform.h"
#include "update/AvailableVersion.h"
#include "update/InPlaceUpdate.h"
#include "update/UpdateApply.h"
#include "update/UpdateDownload.h"
#include "update/UpdateSignature.h"

namespace quillfen {

namespace {

constexpr int kSignatureSize = 64;

// The window that started the update usually stays open for a while: the update waits in the
// background until every program of the folder has ended, looking again every few seconds.
const InPlaceUpdate::Limits kWaitForPrograms{.othersWait = std::chrono::hours(24),
                                             .othersPoll = std::chrono::seconds(2)};

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

// Releases number their versions with digits and dots alone, so a version that holds anything
// else cannot name a file of ours.
bool isPlainVersion(const std::string& version) {
    return !version.empty() && version.size() <= 64 &&
           version.find_first_not_of("0123456789.") == std::string::npos;
}

bool hasAnnouncedSize(const std::string& path, const std::string& size) {
    const platform::EntryStatus status = files().entryStatus(path);
    return status.kind == platform::EntryKind::File &&
           status.size == std::strtoll(size.c_str(), nullptr, 10);
}

std::string withoutTrailingSeparator(std::string folder) {
    if (folder.size() > 1 && folder.back() == pathSeparator()) {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

UpdateDelivery::UpdateDelivery(std::string updateFolder, std::string downloadFolder)
    : updateFolder_(std::move(updateFolder)), downloadFolder_(std::move(downloadFolder)) {}

void UpdateDelivery::clearEarlierRuns() const {
    removeDownloads();
    if (!platform::currentPlatform().system().isInstalledCopy()) {
        InPlaceUpdate::resumeInterrupted(moduleDirectory());
    }
}

void UpdateDelivery::nothingNewer() const {
    forgetAvailableVersion();
}

void UpdateDelivery::deliver(const UpdateAnswer& answer) const {
    platform::Platform& os = platform::currentPlatform();
    if (!isPlainVersion(answer.version)) {
        return;
    }
    const bool installed = os.system().isInstalledCopy();
    const std::string fileName = installed ? os.resources().setupProgramName(answer.version)
                                           : os.resources().updateArchiveName(answer.version);
    if (fileName.empty()) {
        recordAvailableVersion(answer.version);
        return;
    }
    const std::optional<UpdateDownload> download = chooseUpdateDownload(answer, fileName);
    if (!download) {
        return;
    }
    const std::string file = fetchVerified(*download, fileName);
    if (file.empty()) {
        removeDownloads();
    } else if (installed) {
        runSetup(file);
    } else {
        installInPlace(file, answer.version);
    }
}

std::string UpdateDelivery::fetchVerified(const UpdateDownload& download,
                                          const std::string& fileName) const {
    const std::string downloader =
        updateFolder_ + platform::currentPlatform().resources().downloaderFileName();
    installDownloader(downloader);
    const std::string file = downloadFolder_ + fileName;
    downloadUpdate(downloader, download.link, download.size, downloadFolder_, true,
                   downloadFolder_);
    if (!hasAnnouncedSize(file, download.size)) {
        return {};
    }
    downloadUpdate(downloader, download.signatureLink, std::to_string(kSignatureSize),
                   downloadFolder_, true, downloadFolder_);
    const std::optional<std::string> bytes = files().readFile(file);
    const std::optional<std::string> signature = files().readFile(file + ".sig");
    return bytes && signature && hasValidUpdateSignature(*bytes, *signature) ? file : std::string();
}

void UpdateDelivery::installInPlace(const std::string& archive, const std::string& version) const {
    InPlaceUpdate::apply(archive, moduleDirectory(), version, kWaitForPrograms);
    removeDownloads();
}

// The setup replaces the programs of the folder, so it starts once they have all ended, this one
// aside, and waits on its own for this one to end. It stays in the download folder while it
// runs; the next update removes it.
void UpdateDelivery::runSetup(const std::string& setup) const {
    if (!InPlaceUpdate::waitForOtherPrograms(moduleDirectory(), kWaitForPrograms).empty()) {
        removeDownloads();
        return;
    }
    platform::LaunchOptions options;
    options.show = false;
    options.lastArgumentAsIs = true;
    platform::currentPlatform().processes().launch(
        {setup, "/S", "/D=" + withoutTrailingSeparator(moduleDirectory())}, options);
}

void UpdateDelivery::removeDownloads() const {
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    files().listFolder(downloadFolder_, entries, never, {});
    for (const platform::FolderEntry& entry : entries) {
        if (!entry.isFolder) {
            files().removeFile(downloadFolder_ + entry.name);
        }
    }
}

}  // namespace quillfen
