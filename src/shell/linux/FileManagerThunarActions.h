#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/linux/FileManagerEntry.h"

namespace quillfen {

// Thunar's custom actions live in one file, uca.xml, together with the user's own. Ours are the
// actions whose unique-id starts with "quillfen-"; everything else in the file is kept byte for
// byte, so these functions edit the text in place instead of reading and rewriting the XML.

// The command as the file holds it, XML escapes undone. Thunar replaces %f by the path in single
// quotes and %% by %, then hands the line to /bin/sh -c. It starts the program on the path, or,
// when the program is gone, shows the entry's message.
std::string thunarCommand(const FileManagerEntry& entry);
std::string thunarAction(const FileManagerEntry& entry);

// The document with our actions replaced by the given ones (none: removed). A blank document, as
// a missing file reads, becomes the standard wrapper around them. Nullopt when there are actions
// to add but no closing </actions> tag to put them before: a file that Thunar could not read
// either is left as the user has it.
std::optional<std::string> withOurThunarActions(std::string_view document,
                                                const std::vector<FileManagerEntry>& entries);
// The command of our action for the kind, XML escapes undone; nullopt when there is none.
std::optional<std::string> thunarStoredCommand(std::string_view document, ItemKind kind);

}  // namespace quillfen
