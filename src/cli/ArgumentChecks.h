#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "search/SearchInputs.h"

namespace quillfen::cli {

// Checks of single option values. Each `validate…` returns an empty text when the value is good,
// else a one-line message naming what was expected, as the option library wants it.

// A day written YYYY-MM-DD, all digits, that exists in the calendar.
std::optional<CalendarDate> parseDay(const std::string& text);
std::string validateDay(const std::string& text);

// A size in bytes: decimal digits only (no sign, no base prefix, no fraction), then at once an
// optional unit in any case. A bare number counts KB of 1,024 bytes, as the window's size box
// does; B counts bytes; k or KB, M or MB, G or GB, T or TB are 1000 to the power 1 to 4; KiB,
// MiB, GiB, TiB are 1024 to those powers. The byte count must fit a signed 64-bit number.
std::optional<std::int64_t> parseSizeBytes(const std::string& text);
std::string validateSize(const std::string& text);
// The units above, for the help text.
extern const char* const kSizeNotes;

// A comma list of ansi, unicode and utf8 with no empty item.
std::string validateEncodings(const std::string& list);

// A folder, "*" for every volume, or a path that does not exist (which the search's own check
// reports). A path naming a file is refused: the search could only find nothing in it.
std::string validateLookIn(const std::string& path);
// A folder that exists.
std::string validateFolder(const std::string& path);

}  // namespace quillfen::cli
