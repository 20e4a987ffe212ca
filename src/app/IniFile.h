#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillfen {

// File-level reads and writes of ini values through the installed platform. A missing or
// unreadable file reads as empty; a write creates a missing file as 8-bit text and keeps an
// existing file in its form. Writes replace the file atomically, and concurrent writers of one file
// (threads or processes) do not lose each other's keys.
std::string readIniValue(const std::string& file, std::string_view section, std::string_view key);
bool writeIniValue(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value);
// Several keys of one section in one replacement of the file; none is written when any key is
// refused.
bool writeIniValues(const std::string& file, std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace quillfen
