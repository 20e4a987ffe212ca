#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// What the update server announces: the newest version, its download links (separated by ';')
// and the size of the download in bytes, each empty when the answer lacks it.
struct UpdateAnswer {
    std::string version;
    std::string links;
    std::string size;

    bool operator==(const UpdateAnswer&) const = default;
};

// The answer's lines, each ended by CR LF whatever the server used; CR bytes are dropped wherever
// they stand, as the answer is read line by line.
std::string answerLines(std::string_view raw);

// Reads an answer framed by the lines "[Begin]" and "[End]" with key=value lines between them;
// nullopt when the body is not framed so. Keys compare exactly; a later line wins.
std::optional<UpdateAnswer> parseUpdateAnswer(std::string_view body);

// -1 when a is older than b, 1 when newer, 0 when equal. Versions are dot-separated decimal
// parts, compared as numbers; missing parts count as 0.
int compareVersions(std::string_view a, std::string_view b);

}  // namespace quillfen
