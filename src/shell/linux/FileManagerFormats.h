#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/linux/FileManagerEntry.h"

namespace quillfen {

// The entry files of the file managers that take one file per context-menu entry. Commands are
// returned as the files store them, escapes included, so that detection compares like with like.

// The shell commands that tell the user the entry's program is missing: a dialog, else a
// notification, else an X message box, else standard error; the text is the first positional
// parameter. Each fallback is tried only when its tool is there, so one message shows once.
extern const char* const kMissingProgramNotice;

// Dolphin service menu: a desktop-entry file whose Exec line is unquoted by the desktop-entry
// rules, after the key-file escapes are undone and before %f is replaced. TryExec hides the entry
// once the program is gone.
std::string dolphinExec(std::string_view program);
std::string dolphinServiceMenu(const FileManagerEntry& entry);
std::string dolphinFileName(ItemKind kind);
std::optional<std::string> dolphinStoredExec(std::string_view serviceMenu);

// Nemo action: after the key-file escapes are undone, Nemo replaces %F by the path with its
// special characters backslash-escaped and splits the line like a shell without expansions.
// Dependencies (and TryExec, for releases that read it) hide the entry once the program is gone.
std::string nemoExec(std::string_view program);
std::string nemoAction(const FileManagerEntry& entry);
std::string nemoFileName(ItemKind kind);
std::optional<std::string> nemoStoredExec(std::string_view action);

// Nautilus and Caja script: the file name is the menu label. The script takes the selection from
// the file manager's variable of newline-separated paths, or from its arguments, and starts the
// program once for each item of its kind; when the program is gone, it says so instead.
std::string selectionScript(const FileManagerEntry& entry, std::string_view selectionVariable);
// The label with the characters that cannot stand in a file name replaced.
std::string scriptFileName(std::string_view label);

// The value of a key as stored, escapes kept; nullopt when the group or key is missing.
std::optional<std::string> keyFileValue(std::string_view text, std::string_view group,
                                        std::string_view key);
// True when the text is one of our entry files.
bool carriesEntryMarker(std::string_view text);

}  // namespace quillfen
