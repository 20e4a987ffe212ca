#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// File-level reads and writes of ini values through the installed platform. A missing or
// unreadable file reads as empty; a write creates a missing file as 8-bit text and keeps an
// existing file in its form. Writes replace the file atomically, and concurrent writers of one file
// (threads or processes) do not lose each other's keys.
std::string readIniValue(const std::string& file, std::string_view section, std::string_view key);
bool writeIniValue(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace quillfen
