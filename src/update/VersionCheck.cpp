#include "update/VersionCheck.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "app/Application.h"
#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "update/Md5.h"
#include "update/UpdateAnswer.h"
#include "update/UpdateDelivery.h"

namespace quillfen {

namespace {

constexpr std::size_t kMaxAnswerBytes = 64 * 1024;
constexpr const char* kProductKey = "Quillfen!";
constexpr const char* kLockName = "update.lock";

std::string urlSafe(const std::string& text) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) {
            result += '%';
            result += kDigits[byte >> 4];
            result += kDigits[byte & 0xF];
        } else {
            result += c;
        }
    }
    return result;
}

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

// A folder of the user's own, never a link that could lead elsewhere.
bool makePrivateFolder(const std::string& folder) {
    createDirectoryChain(folder);
    return files().entryStatus(folder).kind == platform::EntryKind::Directory &&
           files().setAccess(folder, platform::FileAccess::Private);
}

}  // namespace

std::string updateFolderPath() {
    const std::string cache = platform::currentPlatform().system().userCacheDirectory();
    if (cache.empty()) {
        return {};
    }
    return withTrailingSeparator(withTrailingSeparator(cache) + "quillfen" + pathSeparator() +
                                 "update");
}

std::string privateUpdateFolder() {
    const std::string folder = updateFolderPath();
    return !folder.empty() && makePrivateFolder(folder) ? folder : std::string();
}

std::string updateServerBase() {
    const char* configured = std::getenv("QUILLFEN_UPDATE_BASE");
    if (configured != nullptr) {
        return configured;
    }
    return QUILLFEN_UPDATE_BASE;
}

std::string buildVersionRequestUrl(const std::string& base, const std::string& version,
                                   const std::string& languageName, int languageId,
                                   const std::string& machineIdentifierText) {
    return base + "/Quillfen/index.asp?ask=Ver&Ver=" + urlSafe(version) +
           "&ls_soft=" + kProductKey + "&Language=" + urlSafe(languageName) +
           "&LanguageID=" + std::to_string(languageId) +
           "&ID=" + md5UpperHex(trimWhiteSpace(machineIdentifierText));
}

int fetchUrlText(const std::string& url, const std::string& userAgent, const std::string& proxy,
                 std::string& body, std::chrono::milliseconds timeLimit) {
    body.clear();
    const platform::HttpResponse response =
        platform::currentPlatform().http().get(url, userAgent, proxy, kMaxAnswerBytes, timeLimit);
    if (response.status == 0) {
        return -1;
    }
    if (response.status != 200) {
        return -response.status;
    }
    body = answerLines(response.body);
    return 0;
}

void runVersionCheck(const std::string& machineIdentifierText) {
    const std::string base = updateServerBase();
    if (base.empty()) {
        return;
    }
    const std::string updateFolder = privateUpdateFolder();
    const std::string downloads = updateFolder + "downloads" + pathSeparator();
    if (updateFolder.empty() || !makePrivateFolder(downloads)) {
        return;
    }
    // One update at a time for each user: a second window's check ends here while the first one
    // downloads or waits for the programs to end.
    const std::unique_ptr<platform::HeldLock> lock = files().tryLock(updateFolder + kLockName);
    if (!lock) {
        return;
    }
    const UpdateDelivery delivery(updateFolder, downloads);
    delivery.clearEarlierRuns();
    platform::Platform& os = platform::currentPlatform();
    const std::string url =
        buildVersionRequestUrl(base, Application::instance().version, systemLanguageName(),
                               os.system().systemLanguageId(), machineIdentifierText);
    std::string body;
    fetchUrlText(url, "", "", body);
    const std::optional<UpdateAnswer> answer = parseUpdateAnswer(body);
    if (!answer) {
        return;
    }
    if (compareVersions(Application::instance().version, answer->version) == -1) {
        delivery.deliver(*answer);
    } else {
        delivery.nothingNewer();
    }
}

}  // namespace quillfen
