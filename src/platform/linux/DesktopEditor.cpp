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

std::optional<std::string> defaultPlainTextApplication() {
    const std::optional<std::string> answer =
        commandOutput({"xdg-mime", "query", "default", "text/plain"});
    if (!answer) {
        return std::nullopt;
    }
    for (const std::string& id : splitAt(trimmed(*answer), ';')) {
        for (const std::string& folder : DesktopEditor::applicationFolders()) {
            if (const auto text = readText(folder + "/" + id)) {
                if (auto command = DesktopEditor::commandOfDesktopEntry(*text)) {
                    return command;
                }
            }
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

std::optional<std::string> DesktopEditor::commandOfDesktopEntry(const std::string& entryText) {
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
    const std::string command = withoutFieldCodes(exec);
    if (command.empty() || terminal || hidden) {
        return std::nullopt;
    }
    return command;
}

std::string DesktopEditor::find() {
    if (auto command = defaultPlainTextApplication()) {
        return *command;
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
    return "xdg-open";
}

}  // namespace quillfen::platform
