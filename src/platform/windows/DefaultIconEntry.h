#pragma once

#include <string_view>

#include "platform/IconLocation.h"

namespace quillfen::platform {

// A registry DefaultIcon value, as "C:\Windows\System32\shell32.dll,3" or "%1".
class DefaultIconEntry {
public:
    // The value that stands for each file's own icon.
    static constexpr std::string_view kFilesOwn = "%1";

    // FilesOwn for "%1" exactly, None for the empty text, else the icon inside a file: the text
    // before the last comma, unchanged (quotes and %…% references stay, so the file names one
    // cache key however it is written), and the decimal number at the start of the text behind
    // it, white space and a sign allowed, 0 without digits; without a comma the whole text and 0.
    static IconLocation parse(std::string_view entry);
};

}  // namespace quillfen::platform
