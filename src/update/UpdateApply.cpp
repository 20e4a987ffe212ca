#include "update/UpdateApply.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <vector>

#include "app/PathHelpers.h"
#include "app/RunCommand.h"
#include "app/TextUtilities.h"
#include "downloadlink/DownloadLink.h"
#include "platform/Platform.h"
#include "update/CZipException.h"
#include "update/ZipReader.h"

namespace quillfen {

namespace {

constexpr std::size_t kUnpackPiece = 2048;
constexpr std::size_t kNameBufferSize = 260;
constexpr int kOldCopyRounds = 11;
constexpr auto kOldCopyWait = std::chrono::milliseconds(100);

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

std::string restoredArchive() {
    const auto stored = platform::currentPlatform().resources().downloaderArchive();
    std::string archive(stored.size(), '\0');
    for (std::size_t i = 0; i < stored.size(); ++i) {
        archive[i] = static_cast<char>(~stored[i]);
    }
    return archive;
}

// The first entry of the archive, written to `target` with the entry's time and attributes.
bool unpackFirstEntry(const std::string& archive, const std::string& target) {
    try {
        ZipReader reader(archive);
        ZipEntryInfo info{};
        char name[kNameBufferSize];
        reader.entryInfo(&info, nullptr, 0, nullptr, 0, nullptr, 0);
        reader.entryInfo(nullptr, name, sizeof name, nullptr, 0, nullptr, 0);
        reader.openEntry();
        std::string content;
        char piece[kUnpackPiece];
        for (;;) {
            const std::size_t count = reader.readEntry(piece, sizeof piece);
            content.append(piece, count);
            if (count < sizeof piece) {
                break;
            }
        }
        if (!files().createNewFile(target, content)) {
            return false;
        }
        reader.restoreEntryStatus(target, info);
        reader.close();
        return true;
    } catch (const CZipException&) {
        files().removeFile(target);
        return false;
    }
}

// The archive's name inside the folder is the downloader's to check; any other download becomes
// a plain file of the work folder, named after the link's path, or nothing.
std::string targetFor(const std::string& link, const std::string& targetFolder,
                      const std::string& temporaryFolder) {
    if (downloadlink::isArchiveLink(link)) {
        const bool usable = !targetFolder.empty() && pathExists(targetFolder);
        return withTrailingSeparator(usable ? targetFolder : moduleDirectory());
    }
    const std::string name = downloadlink::linkFileName(link);
    return downloadlink::isPlainFileName(name) ? temporaryFolder + name : std::string();
}

// The whole size, so that downloads beyond 4 GiB compare right too; -1 when the target is not
// a file.
long long downloadedSize(const std::string& target) {
    const platform::EntryStatus status = files().entryStatus(target);
    return status.kind == platform::EntryKind::File ? status.size : -1;
}

// The downloaders that earlier runs unpacked and never got to copy into place are named after the
// downloader and the unpacking process's identifier; one whose process no longer runs is removed.
void removeLeftoverDownloaders(const std::string& downloaderPath) {
    const auto cut = downloaderPath.rfind(pathSeparator());
    if (cut == std::string::npos) {
        return;
    }
    const std::string folder = downloaderPath.substr(0, cut + 1);
    const std::string prefix = downloaderPath.substr(cut + 1) + ".";
    std::vector<platform::FolderEntry> entries;
    const std::atomic<bool> never{false};
    files().listFolder(folder, entries, never, {});
    platform::Platform& os = platform::currentPlatform();
    for (const platform::FolderEntry& entry : entries) {
        const std::string_view number =
            std::string_view(entry.name)
                .substr(entry.name.starts_with(prefix) ? prefix.size() : entry.name.size());
        if (entry.isFolder || entry.isLink || number.empty() || number.size() > 9 ||
            number.find_first_not_of("0123456789") != std::string_view::npos ||
            os.processes().isRunning(std::stoi(std::string(number))) ||
            files().entryStatus(folder + entry.name).kind != platform::EntryKind::File) {
            continue;
        }
        files().removeFile(folder + entry.name);
    }
}

}  // namespace

bool isAcceptableLink(const std::string& link) {
    if (!link.starts_with("http://") && !link.starts_with("https://")) {
        return false;
    }
    for (const char c : link) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || c == '"' || c == '\'') {
            return false;
        }
    }
    return true;
}

bool installDownloader(const std::string& downloaderPath) {
    const std::string archive = restoredArchive();
    if (archive.empty()) {
        return false;
    }
    const std::string archivePath = downloaderPath + ".zip_";
    const std::string unpacked =
        downloaderPath + "." + std::to_string(platform::currentPlatform().system().processId());
    files().removeFile(archivePath);
    removeLeftoverDownloaders(downloaderPath);
    if (!files().createNewFile(archivePath, archive)) {
        return false;
    }
    const bool unpackedOk = unpackFirstEntry(archivePath, unpacked);
    files().removeFile(archivePath);
    if (!unpackedOk) {
        return false;
    }
    for (int round = 0; round < kOldCopyRounds && pathExists(downloaderPath); ++round) {
        std::this_thread::sleep_for(kOldCopyWait);
        files().removeFile(downloaderPath);
    }
    const std::optional<std::string> program = files().readFile(unpacked);
    if (!program || !files().createNewFile(downloaderPath, *program)) {
        return false;
    }
    files().setAccess(downloaderPath, platform::FileAccess::PrivateProgram);
    files().removeFile(unpacked);
    return true;
}

int downloadUpdate(const std::string& downloaderPath, const std::string& links,
                   const std::string& size, const std::string& targetFolder, bool downloadMode,
                   const std::string& temporaryFolder) {
    const long long announced = std::atoll(size.c_str());
    for (const std::string& link : splitText(links, ";")) {
        const auto lastSlash = link.rfind('/');
        if (lastSlash == std::string::npos || lastSlash == 0 || !isAcceptableLink(link)) {
            continue;
        }
        const std::string target = targetFor(link, targetFolder, temporaryFolder);
        if (target.empty()) {
            continue;
        }
        runCommand(
            {downloaderPath, downloadMode ? "/d" : "/u", link, target, size, moduleFilePath()},
            true, true, -1);
        if (downloadedSize(target) == announced) {
            return 0;
        }
        if (!downloadlink::isArchiveLink(link)) {
            files().removeFile(target);
        }
    }
    return -1;
}

}  // namespace quillfen
