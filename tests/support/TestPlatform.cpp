#include "support/TestPlatform.h"

namespace quillfen::test {

std::string TestSystemInfo::executablePath() const {
    return fixedExecutablePath.value_or(LinuxSystemInfo::executablePath());
}

bool TestSystemInfo::isInstalledCopy() const {
    return fixedInstalledCopy.value_or(LinuxSystemInfo::isInstalledCopy());
}
std::string TestSystemInfo::userName() const {
    return fixedUserName.value_or(LinuxSystemInfo::userName());
}
std::string TestSystemInfo::computerName() const {
    return fixedComputerName.value_or(LinuxSystemInfo::computerName());
}
std::string TestSystemInfo::userConfigDirectory() const {
    return fixedUserConfigDirectory.value_or(LinuxSystemInfo::userConfigDirectory());
}
std::string TestSystemInfo::userDataDirectory() const {
    return fixedUserDataDirectory.value_or(LinuxSystemInfo::userDataDirectory());
}
std::string TestSystemInfo::userCacheDirectory() const {
    return fixedUserCacheDirectory.value_or(LinuxSystemInfo::userCacheDirectory());
}
int TestSystemInfo::systemLanguageId() const {
    return fixedLanguageId.value_or(LinuxSystemInfo::systemLanguageId());
}
std::string TestSystemInfo::systemLanguageEnglishName() const {
    return fixedLanguageName.value_or(LinuxSystemInfo::systemLanguageEnglishName());
}
std::string TestSystemInfo::defaultTextEditor() const {
    return fixedTextEditor ? *fixedTextEditor : LinuxSystemInfo::defaultTextEditor();
}

TestPlatform::TestPlatform() : previous_(&platform::currentPlatform()) {
    platform::installPlatform(this);
}

TestPlatform::~TestPlatform() {
    platform::installPlatform(previous_);
}

}  // namespace quillfen::test
