#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "results/IconSource.h"

namespace quillfen {

// The "/GetIcon NAME PATH" mode, which writes the icon of one file into an icon file named NAME
// for callers outside the program. The toolkit-free part: where the file goes and which icon.
class IconExtraction {
public:
    struct Request {
        std::string name;
        std::string source;

        bool operator==(const Request&) const = default;
    };

    // From the text behind the program path, which begins with "/GetIcon". The name ends at the
    // first blank so that the path behind it may hold blanks.
    static Request parseRequest(std::string_view remainder);

    // The "temp" folder beside the program, or beside the settings when the program's folder may
    // not be written; created when missing. Ends with a separator.
    static std::string outputFolder();
    // The output file for the name, any earlier file of that name removed, so that a request
    // without an icon leaves no stale icon behind.
    static std::string prepareOutputFile(const std::string& name);

    // The icon to write for a source: the file's own first icon (a program's first icon group or
    // an icon file as they are, the icon a desktop entry names), else for any other existing file
    // the desktop's icon of its type. nullopt for a missing path, a folder, or a file of a type
    // whose files carry their own icon but that has none.
    static std::optional<IconSource> iconFor(const std::string& source);

    static bool writeIconFile(const std::string& path, std::string_view icoBytes);
};

}  // namespace quillfen
