#pragma once

#include <optional>
#include <string>

#include "update/UpdateAnswer.h"

namespace quillfen {

// The one download of an announcement that this copy of the program takes, and its detached
// signature beside it.
struct UpdateDownload {
    std::string link;
    // The announced size of that download, as the answer gives it.
    std::string size;
    // The link of the Ed25519 signature: the download's path with ".sig" appended.
    std::string signatureLink;

    bool operator==(const UpdateDownload&) const = default;
};

// The link whose file name is `fileName` (the archive or setup of the announced version that
// fits this installation), with its size: "Size" holds one size for every link, or one per link
// in the links' order, separated by ";" as they are. Nothing when no link has that name, or when
// the sizes do not pair with the links.
std::optional<UpdateDownload> chooseUpdateDownload(const UpdateAnswer& answer,
                                                   const std::string& fileName);

}  // namespace quillfen
