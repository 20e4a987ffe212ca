#include "downloadlink/DownloadLink.h"

#include <algorithm>
#include <iterator>

namespace quillfen::downloadlink {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithIgnoringCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                      [](char a, char b) { return a == lowerAscii(b); });
}

bool hasArchiveEnding(std::string_view text) {
    return endsWithIgnoringCase(text, ".zip") || endsWithIgnoringCase(text, ".zip_");
}

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// Characters Windows keeps out of file names, so that a name means the same file everywhere:
// ":" would name a stream of another file, the others are wildcards and redirections.
bool isReservedCharacter(char c) {
    return std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
}

// Names that Windows takes for devices, with any extension ("nul.zip" is the null device).
bool isDeviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    std::transform(base.begin(), base.end(), base.begin(), lowerAscii);
    static constexpr std::string_view kDevices[] = {"con", "prn",    "aux",
                                                    "nul", "conin$", "conout$"};
    if (std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices)) {
        return true;
    }
    return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) &&
           base[3] >= '0' && base[3] <= '9';
}

}  // namespace

std::string_view linkPath(std::string_view link) {
    return link.substr(0, link.find_first_of("?#"));
}

bool isArchiveLink(std::string_view link) {
    return hasArchiveEnding(linkPath(link));
}

std::string linkFileName(std::string_view link) {
    const std::string_view path = linkPath(link);
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name.front() != '.' && name.back() != '.' && name.back() != ' ' &&
           name.find_first_of("/\\") == std::string_view::npos &&
           std::none_of(name.begin(), name.end(), isControl) &&
           std::none_of(name.begin(), name.end(), isReservedCharacter) && !isDeviceName(name);
}

bool isArchiveFileName(std::string_view name) {
    return isPlainFileName(name) && hasArchiveEnding(name);
}

}  // namespace quillfen::downloadlink
