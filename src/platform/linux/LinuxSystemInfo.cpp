#include "platform/linux/LinuxSystemInfo.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/linux/DesktopEditor.h"
#include "platform/linux/SystemLocale.h"

namespace quillfen::platform {

namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

const passwd* currentUserEntry() {
    return ::getpwuid(::geteuid());
}

std::string homeDirectory() {
    std::string home = environmentValue("HOME");
    if (home.empty()) {
        if (const passwd* entry = currentUserEntry();
            entry != nullptr && entry->pw_dir != nullptr) {
            home = entry->pw_dir;
        }
    }
    return home;
}

}  // namespace

std::string LinuxSystemInfo::executablePath() const {
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Installed under a prefix, the programs' folder has the program's data folder at a fixed way from
// it (bin/../share/quillfen); a build folder or an unpacked archive has none there.
bool LinuxSystemInfo::isInstalledCopy() const {
    const std::string program = executablePath();
    const auto separator = program.rfind('/');
    if (separator == std::string::npos) {
        return false;
    }
    const std::string dataFolder = program.substr(0, separator + 1) + QUILLFEN_SHIPPED_DATA_DIR;
    struct stat status {};
    return ::stat(dataFolder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string LinuxSystemInfo::userName() const {
    if (const passwd* entry = currentUserEntry(); entry != nullptr && entry->pw_name != nullptr) {
        return entry->pw_name;
    }
    std::string name = environmentValue("USER");
    return name.empty() ? std::to_string(::geteuid()) : name;
}

std::string LinuxSystemInfo::computerName() const {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    return name;
}

std::string LinuxSystemInfo::userConfigDirectory() const {
    const std::string configured = environmentValue("XDG_CONFIG_HOME");
    if (!configured.empty() && configured.front() == '/') {
        return configured;
    }
    return homeDirectory() + "/.config";
}

std::string LinuxSystemInfo::userDataDirectory() const {
    const std::string configured = environmentValue("XDG_DATA_HOME");
    if (!configured.empty() && configured.front() == '/') {
        return configured;
    }
    return homeDirectory() + "/.local/share";
}

std::string LinuxSystemInfo::userCacheDirectory() const {
    const std::string configured = environmentValue("XDG_CACHE_HOME");
    if (!configured.empty() && configured.front() == '/') {
        return configured;
    }
    return homeDirectory() + "/.cache";
}

int LinuxSystemInfo::systemLanguageId() const {
    return SystemLocale::fromEnvironment().languageId();
}

std::string LinuxSystemInfo::systemLanguageEnglishName() const {
    return SystemLocale::fromEnvironment().englishLanguageName();
}

int LinuxSystemInfo::processId() const {
    return static_cast<int>(::getpid());
}

std::string LinuxSystemInfo::defaultTextEditor() const {
    return DesktopEditor::find();
}

bool LinuxSystemInfo::isStandInEditor(const std::string& command) const {
    return DesktopEditor::isStandIn(command);
}

}  // namespace quillfen::platform
