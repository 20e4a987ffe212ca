#pragma once

#include <string>

namespace quillfen::platform {

// Facts about the running process, its user and its machine.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    virtual std::string executablePath() const = 0;
    // True for a copy that an installer put in place (a package, make install, the setup
    // program): its folder belongs to the installer, so what the program writes goes to the
    // user's own folders even when it could write beside itself. False for a portable copy, run
    // from its build folder or an unpacked archive, which keeps its files beside itself.
    virtual bool isInstalledCopy() const = 0;
    virtual std::string userName() const = 0;
    virtual std::string computerName() const = 0;
    // The per-user folder for configuration files, without a trailing separator.
    virtual std::string userConfigDirectory() const = 0;
    // The per-user folder for data files that desktop programs share, without a trailing
    // separator.
    virtual std::string userDataDirectory() const = 0;
    // The per-user folder for files that may be recreated, such as downloads, without a trailing
    // separator.
    virtual std::string userCacheDirectory() const = 0;
    // Windows language identifier of the system's default language (1033 when unknown).
    virtual int systemLanguageId() const = 0;
    // English name of the system's default language, such as "English" or "Chinese".
    virtual std::string systemLanguageEnglishName() const = 0;
    virtual int processId() const = 0;
    // Command line of a graphical text editor of this desktop.
    virtual std::string defaultTextEditor() const = 0;
    // Whether the command is what defaultTextEditor gives on a system without a text editor: a
    // stand-in that opens files as "Open" does, worth looking past once an editor is installed.
    virtual bool isStandInEditor(const std::string& /*command*/) const { return false; }
};

}  // namespace quillfen::platform
