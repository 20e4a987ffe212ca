#pragma once

#include <functional>
#include <string>

#include "ui/ShellEntries.h"

namespace quillfen {

// The two context-menu entries of the system's file browser, kept in the registry's classes:
// "Document Duplication Search" (translated) on every file and Quillfen! on every folder, each
// starting this program on the chosen item. A program that may not write the machine's classes,
// as one running without elevation, keeps them in the user's own classes, which the shell lays
// over the machine's for that user.
class RegistryShellEntries final : public ShellEntries {
public:
    // Where the classes are, as registry location texts.
    struct ClassesRoots {
        std::string machine = "HKEY_CLASSES_ROOT";
        std::string user = "HKEY_CURRENT_USER\\Software\\Classes";
    };

    // Writes to the machine's classes when this process may, else to the user's.
    RegistryShellEntries();
    // Other classes, and the answer whether the machine's may be written, asked at each install.
    RegistryShellEntries(ClassesRoots roots, std::function<bool()> machineWritable);

    // True when the folder entry that the shell shows this user runs this program as it is now;
    // a moved program shows as not installed.
    bool isInstalled() const override;
    // Rewrites the entries, which also repairs those of a moved program or an earlier language;
    // the shell shows them at once.
    ShellEntriesNotice install(const std::string& languageId) override;
    // Deletes our entries from both classes, deepest key first; entries never installed are
    // passed over.
    void remove() override;

    // The program's path in double quotes, a blank and %1, which the shell replaces by the chosen
    // item's path, unquoted; start-up takes such a path with blanks as one argument.
    static std::string commandText();

private:
    ClassesRoots roots_;
    std::function<bool()> machineWritable_;
};

}  // namespace quillfen
