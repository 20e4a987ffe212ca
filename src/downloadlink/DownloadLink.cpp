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

// The serial and parallel ports' numbers: a digit, or the superscripts one to three that Windows
// also takes as port numbers ("COM¹" is a port, spelt here in UTF-8).
bool isPortNumber(std::string_view number) {
    static constexpr std::string_view kSuperscripts[] = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') ||
           std::find(std::begin(kSuperscripts), std::end(kSuperscripts), number) !=
               std::end(kSuperscripts);
}

// Names that Windows takes for devices, with any extension ("nul.zip" is the null device) and
// with blanks before it ("nul .zip" is too).
bool isDeviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    base.erase(base.find_last_not_of(' ') + 1);
    std::transform(base.begin(), base.end(), base.begin(), lowerAscii);
    static constexpr std::string_view kDevices[] = {"con", "prn",    "aux",
                                                    "nul", "conin$", "conout$"};
    if (std::find(std::begin(kDevices), std::end(kDevices), base) != std::end(kDevices)) {
        return true;
    }
    return (base.starts_with("com") || base.starts_with("lpt")) &&
           isPortNumber(std::string_view(base).substr(3));
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
