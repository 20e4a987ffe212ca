#include "shell/linux/ShellIntegration.h"

#include <string_view>
#include <utility>

#include "app/LanguageTable.h"
#include "app/PathHelpers.h"
#include "platform/Platform.h"
#include "shell/linux/EntryFolderIntegration.h"
#include "shell/linux/FileManagerFormats.h"
#include "shell/linux/ThunarIntegration.h"

namespace quillfen {

namespace {

constexpr const char* kFolderLabel = "Quillfen!";
constexpr const char* kFilesLabel = translatable("Document Duplication Search");
constexpr const char* kMissingProgram =
    translatable("Quillfen is no longer installed: %s is missing.");

std::string joined(const std::string& folder, std::initializer_list<std::string_view> names) {
    std::string path = folder;
    for (const std::string_view name : names) {
        path = withTrailingSeparator(path) + std::string(name);
    }
    return path;
}

std::unique_ptr<FileManagerIntegration> dolphin(const std::string& dataFolder) {
    EntryFolderIntegration::Format format;
    format.fileName = [](const FileManagerEntry& entry) { return dolphinFileName(entry.kind); };
    format.contents = dolphinServiceMenu;
    format.storedCommand = dolphinStoredExec;
    format.command = [](const FileManagerEntry& entry) { return dolphinExec(entry.program); };
    format.access = platform::FileAccess::SharedProgram;
    return std::make_unique<EntryFolderIntegration>(joined(dataFolder, {"kio", "servicemenus"}),
                                                    std::move(format));
}

std::unique_ptr<FileManagerIntegration> nemo(const std::string& dataFolder) {
    EntryFolderIntegration::Format format;
    format.fileName = [](const FileManagerEntry& entry) { return nemoFileName(entry.kind); };
    format.contents = nemoAction;
    format.storedCommand = nemoStoredExec;
    format.command = [](const FileManagerEntry& entry) { return nemoExec(entry.program); };
    return std::make_unique<EntryFolderIntegration>(joined(dataFolder, {"nemo", "actions"}),
                                                    std::move(format));
}

// A script is its own command: the whole text is compared, so a script of an older form counts
// as not installed and is rewritten on the next install.
std::unique_ptr<FileManagerIntegration> scripts(std::string folder, std::string variable) {
    EntryFolderIntegration::Format format;
    format.fileName = [](const FileManagerEntry& entry) { return scriptFileName(entry.label); };
    format.contents = [variable](const FileManagerEntry& entry) {
        return selectionScript(entry, variable);
    };
    format.storedCommand = [](std::string_view script) { return std::string(script); };
    format.command = format.contents;
    format.access = platform::FileAccess::SharedProgram;
    return std::make_unique<EntryFolderIntegration>(std::move(folder), std::move(format));
}

}  // namespace

ShellIntegration::ShellIntegration() : ShellIntegration(Translation(translate)) {}

ShellIntegration::ShellIntegration(Translation translation) : translation_(std::move(translation)) {
    addFileManagers();
}

ShellIntegration::ShellIntegration(std::string filesLabel)
    : ShellIntegration(Translation([filesLabel](std::string_view english) {
          return english == kFilesLabel ? filesLabel : std::string(english);
      })) {}

ShellIntegration::~ShellIntegration() = default;

void ShellIntegration::addFileManagers() {
    const platform::SystemInfo& system = platform::currentPlatform().system();
    const std::string data = system.userDataDirectory();
    const std::string config = system.userConfigDirectory();
    integrations_.push_back(dolphin(data));
    integrations_.push_back(nemo(data));
    auto thunar = std::make_unique<ThunarIntegration>(joined(config, {"Thunar"}));
    thunar_ = thunar.get();
    integrations_.push_back(std::move(thunar));
    integrations_.push_back(
        scripts(joined(data, {"nautilus", "scripts"}), "NAUTILUS_SCRIPT_SELECTED_FILE_PATHS"));
    integrations_.push_back(
        scripts(joined(config, {"caja", "scripts"}), "CAJA_SCRIPT_SELECTED_FILE_PATHS"));
}

bool ShellIntegration::install() {
    const std::vector<FileManagerEntry> wanted = entries();
    bool complete = true;
    for (const auto& integration : integrations_) {
        complete = integration->install(wanted) && complete;
    }
    return complete;
}

bool ShellIntegration::remove() {
    bool complete = true;
    for (const auto& integration : integrations_) {
        complete = integration->remove() && complete;
    }
    return complete;
}

bool ShellIntegration::isInstalled() const {
    const FileManagerEntry folders = folderEntry();
    for (const auto& integration : integrations_) {
        if (const auto stored = integration->storedCommand(folders)) {
            return *stored == integration->command(folders);
        }
    }
    return false;
}

bool ShellIntegration::thunarRestartNeeded() const {
    return thunar_->restartNeeded();
}

FileManagerEntry ShellIntegration::folderEntry() const {
    const std::string program = moduleFilePath();
    std::string message = translation_(kMissingProgram);
    if (const auto at = message.find("%s"); at != std::string::npos) {
        message.replace(at, 2, program);
    }
    return {ItemKind::Folders, kFolderLabel, program, message};
}

// The files entry's label alone does not say which program it belongs to, beside the other
// programs' entries of a file manager's menu.
std::vector<FileManagerEntry> ShellIntegration::entries() const {
    FileManagerEntry files = folderEntry();
    files.kind = ItemKind::Files;
    files.label = translation_(kFilesLabel) + " (Quillfen)";
    return {folderEntry(), files};
}

}  // namespace quillfen
