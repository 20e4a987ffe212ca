#include "update/VersionCheck.h"

#include <cstdlib>

#include "app/Application.h"
#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "update/Md5.h"
#include "update/UpdateAnswer.h"
#include "update/UpdateApply.h"

namespace quillfen {

namespace {

constexpr std::size_t kMaxAnswerBytes = 64 * 1024;
constexpr const char* kProductKey = "Quillfen!";

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

}  // namespace

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
                 std::string& body) {
    body.clear();
    const platform::HttpResponse response =
        platform::currentPlatform().http().get(url, userAgent, proxy, kMaxAnswerBytes);
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
    platform::Platform& os = platform::currentPlatform();
    const std::string url =
        buildVersionRequestUrl(base, Application::instance().version, systemLanguageName(),
                               os.system().systemLanguageId(), machineIdentifierText);
    std::string body;
    fetchUrlText(url, "", "", body);
    const std::optional<UpdateAnswer> answer = parseUpdateAnswer(body);
    if (!answer || compareVersions(Application::instance().version, answer->version) != -1) {
        return;
    }
    const std::string workFolder = os.files().createPrivateTemporaryFolder("quillfen-update-");
    if (workFolder.empty()) {
        return;
    }
    const std::string downloader = workFolder + "quilldown";
    installDownloader(downloader);
    downloadUpdate(downloader, answer->links, answer->size, moduleDirectory(), true, workFolder);
}

}  // namespace quillfen
