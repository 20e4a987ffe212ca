#pragma once

namespace quillfen {

// The file-manager entries as the configuration dialog sees them.
class ShellEntries {
public:
    virtual ~ShellEntries() = default;

    virtual bool isInstalled() const = 0;
    virtual void install() = 0;
    virtual void remove() = 0;
};

}  // namespace quillfen
