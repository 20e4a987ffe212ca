#include "shell/windows/RegistryShellEntries.h"

#include <utility>

#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "platform/windows/Registry.h"

namespace quillfen {

namespace {

constexpr const char* kFolderEntry = "\\Folder\\shell\\Quillfen!";
constexpr const char* kFilesEntry = "\\*\\shell\\Quillfen!";
constexpr const char* kCommand = "\\command";
// The key behind HKEY_CLASSES_ROOT that a write there reaches for keys the user lacks.
constexpr const char* kMachineClasses = "HKEY_LOCAL_MACHINE\\Software\\Classes";

bool machineClassesWritable() {
    return platform::regMayWrite(kMachineClasses);
}

std::string storedFolderCommand(const std::string& root) {
    return platform::regQueryString(root + kFolderEntry + kCommand, "", platform::kRegString);
}

// Only a key without subkeys can be deleted, so the command goes first.
void removeEntry(const std::string& entry) {
    platform::regDeleteValue(entry + kCommand, "");
    platform::regDeleteKey(entry + kCommand);
    platform::regDeleteKey(entry);
}

}  // namespace

RegistryShellEntries::RegistryShellEntries()
    : RegistryShellEntries(ClassesRoots{}, machineClassesWritable) {}

RegistryShellEntries::RegistryShellEntries(ClassesRoots roots,
                                           std::function<bool()> machineWritable)
    : roots_(std::move(roots)), machineWritable_(std::move(machineWritable)) {}

std::string RegistryShellEntries::commandText() {
    return "\"" + moduleFilePath() + "\" %1";
}

// The user's classes hide the machine's for that user, as the shell merges them.
bool RegistryShellEntries::isInstalled() const {
    std::string stored = storedFolderCommand(roots_.user);
    if (stored.empty()) {
        stored = storedFolderCommand(roots_.machine);
    }
    return stored == commandText();
}

ShellEntriesNotice RegistryShellEntries::install(const std::string& languageId) {
    const std::string root = machineWritable_() ? roots_.machine : roots_.user;
    const std::string command = commandText();
    platform::regSetString(root + kFolderEntry + kCommand, "", command);
    platform::regSetString(root + kFilesEntry + kCommand, "", command);
    platform::regSetString(root + kFilesEntry, "",
                           translateInto(languageId, "Document Duplication Search"));
    return ShellEntriesNotice::None;
}

// The user's first, so that a removal through the merged machine classes cannot reach them.
void RegistryShellEntries::remove() {
    for (const std::string* root : {&roots_.user, &roots_.machine}) {
        removeEntry(*root + kFolderEntry);
        removeEntry(*root + kFilesEntry);
    }
}

}  // namespace quillfen
