#pragma once

#include <string>

namespace quillfen {

// What the user needs to know after the entries were written.
enum class ShellEntriesNotice {
    None,
    // Thunar reads its actions when it starts, so a running Thunar shows the new ones only after
    // it restarts.
    ThunarRestart,
};

// The file-manager entries as the configuration dialog sees them.
class ShellEntries {
public:
    virtual ~ShellEntries() = default;

    virtual bool isInstalled() const = 0;
    // Writes the entries with their texts in the language of that identifier, which may be one
    // the program speaks only from its next start.
    virtual ShellEntriesNotice install(const std::string& languageId) = 0;
    virtual void remove() = 0;
};

}  // namespace quillfen
