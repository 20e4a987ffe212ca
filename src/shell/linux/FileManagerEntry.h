#pragma once

#include <string>

namespace quillfen {

enum class ItemKind { Files, Folders };

// One context-menu entry of a file manager: shown on items of one kind, it starts the program with
// the chosen item's path as its only argument.
struct FileManagerEntry {
    ItemKind kind = ItemKind::Files;
    std::string label;
    std::string program;
    // What an entry that outlives the program tells the user where the file manager cannot hide
    // it by itself.
    std::string missingProgramMessage;
};

// The icon the entries show: the program's own, from the icon theme it is installed into.
inline constexpr const char* kEntryIconName = "org.quillfen.Quillfen";

// The line that every entry file of ours carries, so that removal and a reinstall after a change
// of language find our files among the user's own, whatever their names.
inline constexpr const char* kEntryMarkerLine = "# Quillfen context-menu entry";

}  // namespace quillfen
