#include "platform/linux/DesktopEditor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/linux/CommandOutput.h"

namespace quillfen::platform {

namespace {

std::string environmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::stringstream stream(text);
    std::string piece;
    while (std::getline(stream, piece, separator)) {
        if (!piece.empty()) {
            pieces.push_back(piece);
        }
    }
    return pieces;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool onPath(const std::string& program) {
    for (const std::string& folder : splitAt(environmentValue("PATH"), ':')) {
        if (isExecutableFile(folder + "/" + program)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

// A field code is a word of its own made of '%' and one letter; "%%" stands for a percent sign.
std::string withoutFieldCodes(const std::string& exec) {
    std::string result;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == '%' && i + 1 < exec.size()) {
            if (exec[i + 1] == '%') {
                result.push_back('%');
            }
            ++i;
            continue;
        }
        result.push_back(exec[i]);
    }
    return trimmed(result);
}

// The folders a desktop file id may name an entry in: "kde-kate.desktop" is also
// "kde/kate.desktop".
std::vector<std::string> entryPaths(const std::string& folder, const std::string& id) {
    std::vector<std::string> paths{folder + "/" + id};
    std::string nested = id;
    for (auto dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash)) {
        nested[dash] = '/';
        paths.push_back(folder + "/" + nested);
    }
    return paths;
}

std::optional<DesktopApplication> applicationOfId(const std::string& id) {
    for (const std::string& folder : DesktopEditor::applicationFolders()) {
        for (const std::string& path : entryPaths(folder, id)) {
            if (const auto text = readText(path)) {
                return DesktopEditor::applicationOfDesktopEntry(*text);
            }
        }
    }
    return std::nullopt;
}

std::vector<std::string> configFolders() {
    std::string configHome = environmentValue("XDG_CONFIG_HOME");
    if (configHome.empty()) {
        configHome = environmentValue("HOME") + "/.config";
    }
    std::vector<std::string> folders{configHome};
    std::string configDirs = environmentValue("XDG_CONFIG_DIRS");
    for (const std::string& folder : splitAt(configDirs.empty() ? "/etc/xdg" : configDirs, ':')) {
        folders.push_back(folder);
    }
    return folders;
}

// The applications a mimeapps.list or mimeinfo.cache names for plain text, removed associations
// left out.
void appendPlainTextIds(const std::string& text, std::vector<std::string>& ids) {
    bool removed = false;
    for (const std::string& rawLine : splitAt(text, '\n')) {
        const std::string line = trimmed(rawLine);
        if (line.starts_with('[')) {
            removed = line == "[Removed Associations]";
        } else if (!removed && line.starts_with("text/plain=")) {
            for (const std::string& id : splitAt(line.substr(11), ';')) {
                ids.push_back(trimmed(id));
            }
        }
    }
}

// Every application the desktop offers for plain text: its default first (as xdg-mime decides,
// which is what xdg-open uses), then the users' and the system's choices, then what installed
// applications claim.
std::vector<std::string> plainTextApplicationIds() {
    std::vector<std::string> ids;
    if (const auto answer = commandOutput({"xdg-mime", "query", "default", "text/plain"})) {
        for (const std::string& id : splitAt(trimmed(*answer), ';')) {
            ids.push_back(id);
        }
    }
    std::vector<std::string> lists;
    for (const std::string& folder : configFolders()) {
        lists.push_back(folder + "/mimeapps.list");
    }
    for (const std::string& folder : DesktopEditor::applicationFolders()) {
        lists.push_back(folder + "/mimeapps.list");
    }
    for (const std::string& folder : DesktopEditor::applicationFolders()) {
        lists.push_back(folder + "/mimeinfo.cache");
    }
    for (const std::string& list : lists) {
        if (const auto text = readText(list)) {
            appendPlainTextIds(*text, ids);
        }
    }
    return ids;
}

// Terminals that run the program and arguments after "-e"; x-terminal-emulator is the one the
// system chose.
std::optional<std::string> terminalOnPath() {
    for (const char* terminal : {"x-terminal-emulator", "xterm"}) {
        if (onPath(terminal)) {
            return terminal;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> DesktopEditor::applicationFolders() {
    std::vector<std::string> folders;
    std::string dataHome = environmentValue("XDG_DATA_HOME");
    if (dataHome.empty()) {
        dataHome = environmentValue("HOME") + "/.local/share";
    }
    folders.push_back(dataHome + "/applications");
    std::string dataDirs = environmentValue("XDG_DATA_DIRS");
    if (dataDirs.empty()) {
        dataDirs = "/usr/local/share:/usr/share";
    }
    for (const std::string& folder : splitAt(dataDirs, ':')) {
        folders.push_back(folder + "/applications");
    }
    return folders;
}

std::optional<DesktopApplication> DesktopEditor::applicationOfDesktopEntry(
    const std::string& entryText) {
    bool inMainGroup = false;
    std::string exec;
    bool terminal = false;
    bool hidden = false;
    for (const std::string& rawLine : splitAt(entryText, '\n')) {
        const std::string line = trimmed(rawLine);
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inMainGroup) {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = trimmed(line.substr(0, equals));
        const std::string value = trimmed(line.substr(equals + 1));
        if (key == "Exec") {
            exec = value;
        } else if (key == "Terminal") {
            terminal = value == "true";
        } else if (key == "Hidden") {
            hidden = value == "true";
        }
    }
    std::string command = withoutFieldCodes(exec);
    if (command.empty() || hidden) {
        return std::nullopt;
    }
    return DesktopApplication{std::move(command), terminal};
}

std::optional<std::string> DesktopEditor::commandOfDesktopEntry(const std::string& entryText) {
    const auto application = applicationOfDesktopEntry(entryText);
    if (!application || application->inTerminal) {
        return std::nullopt;
    }
    return application->command;
}

// A text editor with a window of its own comes first, as the one a desktop program opens beside
// itself; the system's terminal editor follows, run in a terminal. xdg-open, which opens the file
// as "Open" does, is left for a system that has no text editor at all.
std::string DesktopEditor::find() {
    std::vector<DesktopApplication> applications;
    for (const std::string& id : plainTextApplicationIds()) {
        if (auto application = applicationOfId(id)) {
            if (!application->inTerminal) {
                return application->command;
            }
            applications.push_back(std::move(*application));
        }
    }
    static constexpr std::array kUsualEditors = {
        "gnome-text-editor", "gedit",   "kate",    "kwrite", "mousepad", "pluma", "xed",
        "featherpad",        "l3afpad", "leafpad", "geany",
    };
    for (const char* editor : kUsualEditors) {
        if (onPath(editor)) {
            return editor;
        }
    }
    if (const auto terminal = terminalOnPath(); terminal && !applications.empty()) {
        return *terminal + " -e " + applications.front().command;
    }
    return std::string(kStandIn);
}

bool DesktopEditor::isStandIn(const std::string& command) {
    return command == kStandIn;
}

}  // namespace quillfen::platform
