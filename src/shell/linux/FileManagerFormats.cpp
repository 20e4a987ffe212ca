#include "shell/linux/FileManagerFormats.h"

#include <vector>

#include "shell/linux/FileManagerQuoting.h"

namespace quillfen {

namespace {

constexpr std::string_view kDolphinActionGroup = "Desktop Action quillfen";
constexpr std::string_view kNemoGroup = "Nemo Action";

std::string kindName(ItemKind kind) {
    return kind == ItemKind::Folders ? "folders" : "files";
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

std::string_view withoutLeadingBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// The value of a `key=value` line, or nullopt when the line sets another key.
std::optional<std::string_view> valueOfLine(std::string_view line, std::string_view key) {
    if (!line.starts_with(key)) {
        return std::nullopt;
    }
    const std::string_view rest = withoutLeadingBlanks(line.substr(key.size()));
    if (!rest.starts_with('=')) {
        return std::nullopt;
    }
    return withoutLeadingBlanks(rest.substr(1));
}

std::string scriptProgramLine(std::string_view program) {
    return "program=" + shellQuoted(program);
}

// Each kind's own test, so that a mixed selection starts the program only on the items that the
// entry names: Nautilus and Caja show every script for every selection.
std::string scriptKindTest(ItemKind kind) {
    return kind == ItemKind::Folders ? "[ -d \"$1\" ]" : "[ -e \"$1\" ] && [ ! -d \"$1\" ]";
}

// A desktop-entry string list of one item: its separator escaped too.
std::string keyFileListItem(std::string_view text) {
    std::string escaped;
    for (const char c : keyFileEscaped(text)) {
        if (c == ';') {
            escaped.push_back('\\');
        }
        escaped.push_back(c);
    }
    return escaped + ";";
}

}  // namespace

const char* const kMissingProgramNotice =
    "printf '%s\\n' \"$1\" >&2; "
    "if command -v zenity >/dev/null 2>&1; then "
    "zenity --error --no-markup --title=Quillfen --text=\"$1\"; "
    "elif command -v kdialog >/dev/null 2>&1; then kdialog --title Quillfen --error \"$1\"; "
    "elif command -v notify-send >/dev/null 2>&1; then notify-send Quillfen \"$1\"; "
    "elif command -v xmessage >/dev/null 2>&1; then xmessage -center \"$1\"; fi";

std::string dolphinExec(std::string_view program) {
    return keyFileEscaped(percentsDoubled(desktopExecQuoted(program)) + " %f");
}

std::string dolphinServiceMenu(const FileManagerEntry& entry) {
    const std::string mimeType =
        entry.kind == ItemKind::Folders ? "inode/directory;" : "all/allfiles;";
    return std::string(kEntryMarkerLine) +
           "\n"
           "[Desktop Entry]\n"
           "Type=Service\n"
           "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
           "MimeType=" +
           mimeType +
           "\n"
           "Actions=quillfen;\n"
           "X-KDE-Priority=TopLevel\n"
           "TryExec=" +
           keyFileEscaped(entry.program) +
           "\n"
           "\n"
           "[" +
           std::string(kDolphinActionGroup) +
           "]\n"
           "Name=" +
           keyFileEscaped(entry.label) + "\nIcon=" + kEntryIconName +
           "\nExec=" + dolphinExec(entry.program) + "\n";
}

std::string dolphinFileName(ItemKind kind) {
    return "quillfen-" + kindName(kind) + ".desktop";
}

std::optional<std::string> dolphinStoredExec(std::string_view serviceMenu) {
    return keyFileValue(serviceMenu, kDolphinActionGroup, "Exec");
}

std::string nemoExec(std::string_view program) {
    return keyFileEscaped(percentsDoubled(shellQuoted(program)) + " %F");
}

// Extensions "nodirs" keeps the files entry off folders, as "dir" keeps the folders entry off
// files. EscapeSpaces is what older Nemo releases need to pass a path with blanks as one argument;
// newer ones escape every special character of an unquoted path on their own.
std::string nemoAction(const FileManagerEntry& entry) {
    const std::string extensions = entry.kind == ItemKind::Folders ? "dir;" : "nodirs;";
    return std::string(kEntryMarkerLine) + "\n[" + std::string(kNemoGroup) +
           "]\n"
           "Active=true\n"
           "Name=" +
           keyFileEscaped(percentsDoubled(entry.label)) + "\nIcon-Name=" + kEntryIconName +
           "\nExec=" + nemoExec(entry.program) +
           "\n"
           "Dependencies=" +
           keyFileListItem(entry.program) +
           "\n"
           "TryExec=" +
           keyFileEscaped(entry.program) +
           "\n"
           "Selection=s\n"
           "Extensions=" +
           extensions +
           "\n"
           "EscapeSpaces=true\n";
}

std::string nemoFileName(ItemKind kind) {
    return "quillfen-" + kindName(kind) + ".nemo_action";
}

std::optional<std::string> nemoStoredExec(std::string_view action) {
    return keyFileValue(action, kNemoGroup, "Exec");
}

std::string selectionScript(const FileManagerEntry& entry, std::string_view selectionVariable) {
    const std::string variable(selectionVariable);
    const std::string kind = entry.kind == ItemKind::Folders ? "folder" : "file";
    return "#!/bin/sh\n" + std::string(kEntryMarkerLine) +
           "\n"
           "# Starts the program once for each selected " +
           kind + ", with its path as the only argument, or says that the program is gone.\n" +
           scriptProgramLine(entry.program) +
           "\n"
           "if [ ! -x \"$program\" ]; then\n"
           "\tset -- " +
           shellQuoted(entry.missingProgramMessage) +
           "\n"
           "\t" +
           kMissingProgramNotice +
           "\n"
           "\texit 1\n"
           "fi\n"
           "start() {\n"
           "\tif " +
           scriptKindTest(entry.kind) +
           "; then\n"
           "\t\t\"$program\" \"$1\" &\n"
           "\tfi\n"
           "}\n"
           "if [ -n \"${" +
           variable +
           ":-}\" ]; then\n"
           "\tset -f\n"
           "\tIFS='\n"
           "'\n"
           "\tfor item in $" +
           variable +
           "; do\n"
           "\t\tstart \"$item\"\n"
           "\tdone\n"
           "else\n"
           "\tfor item in \"$@\"; do\n"
           "\t\tcase $item in\n"
           "\t\t/*) start \"$item\" ;;\n"
           "\t\t*) start \"$PWD/$item\" ;;\n"
           "\t\tesac\n"
           "\tdone\n"
           "fi\n"
           "wait\n";
}

std::string scriptFileName(std::string_view label) {
    std::string name(label);
    for (char& c : name) {
        if (c == '/' || c == '\0') {
            c = '-';
        }
    }
    if (name.empty() || name == "." || name == "..") {
        return "Quillfen";
    }
    return name;
}

std::optional<std::string> keyFileValue(std::string_view text, std::string_view group,
                                        std::string_view key) {
    bool inGroup = false;
    for (const std::string_view line : linesOf(text)) {
        if (line.starts_with('[')) {
            inGroup = line.size() == group.size() + 2 && line.substr(1, group.size()) == group &&
                      line.back() == ']';
        } else if (inGroup) {
            if (const auto value = valueOfLine(line, key)) {
                return std::string(*value);
            }
        }
    }
    return std::nullopt;
}

bool carriesEntryMarker(std::string_view text) {
    const std::vector<std::string_view> lines = linesOf(text);
    for (size_t at = 0; at < lines.size() && at < 2; ++at) {
        if (lines[at] == kEntryMarkerLine) {
            return true;
        }
    }
    return false;
}

}  // namespace quillfen
