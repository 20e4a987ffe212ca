#include "update/UpdateDownload.h"

#include <vector>

#include "app/TextUtilities.h"
#include "downloadlink/DownloadLink.h"

namespace quillfen {

namespace {

// The query or fragment of a link stays behind the name the signature's path ends in.
std::string signatureLinkOf(const std::string& link) {
    const auto tail = link.find_first_of("?#");
    const auto pathEnd = tail == std::string::npos ? link.size() : tail;
    return link.substr(0, pathEnd) + ".sig" + link.substr(pathEnd);
}

}  // namespace

std::optional<UpdateDownload> chooseUpdateDownload(const UpdateAnswer& answer,
                                                   const std::string& fileName) {
    const std::vector<std::string> links = splitText(answer.links, ";");
    const std::vector<std::string> sizes = splitText(answer.size, ";");
    if (sizes.size() != 1 && sizes.size() != links.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < links.size(); ++i) {
        if (downloadlink::linkFileName(links[i]) == fileName) {
            return UpdateDownload{links[i], sizes.size() == 1 ? sizes[0] : sizes[i],
                                  signatureLinkOf(links[i])};
        }
    }
    return std::nullopt;
}

}  // namespace quillfen
