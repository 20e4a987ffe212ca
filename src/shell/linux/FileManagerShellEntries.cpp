#include "shell/linux/FileManagerShellEntries.h"

#include "app/LanguageTable.h"

namespace quillfen {

ShellEntriesNotice FileManagerShellEntries::install(const std::string& languageId) {
    ShellIntegration inLanguage(
        [languageId](std::string_view english) { return translateInto(languageId, english); });
    inLanguage.install();
    return inLanguage.thunarRestartNeeded() ? ShellEntriesNotice::ThunarRestart
                                            : ShellEntriesNotice::None;
}

}  // namespace quillfen
