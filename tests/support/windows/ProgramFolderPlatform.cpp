#include "ProgramFolderPlatform.h"

namespace quillfen::test {

std::string TestSystemInfo::executablePath() const {
    return fixedExecutablePath.value_or(system_.executablePath());
}
std::string TestSystemInfo::userName() const {
    return fixedUserName.value_or(system_.userName());
}
std::string TestSystemInfo::computerName() const {
    return fixedComputerName.value_or(system_.computerName());
}
std::string TestSystemInfo::userConfigDirectory() const {
    return fixedUserConfigDirectory.value_or(system_.userConfigDirectory());
}
std::string TestSystemInfo::userDataDirectory() const {
    return fixedUserDataDirectory.value_or(system_.userDataDirectory());
}
int TestSystemInfo::systemLanguageId() const {
    return fixedLanguageId.value_or(system_.systemLanguageId());
}
std::string TestSystemInfo::systemLanguageEnglishName() const {
    return fixedLanguageName.value_or(system_.systemLanguageEnglishName());
}
std::string TestSystemInfo::defaultTextEditor() const {
    return fixedTextEditor ? *fixedTextEditor : system_.defaultTextEditor();
}

ProgramFolderPlatform::ProgramFolderPlatform() : previous_(platform::currentPlatform()) {
    platform::installPlatform(this);
}

ProgramFolderPlatform::~ProgramFolderPlatform() {
    platform::installPlatform(&previous_);
}

}  // namespace quillfen::test
