#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileIdentity.h"
#include "platform/FileTime.h"
#include "search/InputCheck.h"

namespace quillfen {

// The inputs of the duplicate-search window, free of any toolkit.
struct DuplicateInputs {
    // As typed: the reference is read through it, and on a case-sensitive file system only the
    // typed spelling opens it. Identity, not spelling, keeps the reference out of the results.
    std::string referencePath;
    std::string lookIn;
    bool matchName = false;
    bool matchExtension = false;
    bool matchTime = false;
    bool matchBody = true;
};

// What one duplicate search looks for, built once per search.
struct DuplicateRequest {
    // Ends with a separator; "*" and the separator mean every volume.
    std::string folder;
    // As typed: the reference is read through it, and on a case-sensitive file system only the
    // typed spelling opens it. Identity, not spelling, keeps the reference out of the results.
    std::string referencePath;
    bool wholeName = false;
    bool matchName = false;
    bool matchExtension = false;
    bool matchTime = false;
    bool matchBody = true;
    // Case-folded: the whole name when wholeName, else the name without its last extension.
    std::string referenceName;
    // Case-folded text after the last point, without the point; empty when wholeName.
    std::string referenceExtension;
    platform::FileTime referenceTime = 0;
    std::int64_t referenceSize = -1;
    // The reference file itself, which is never listed as its own duplicate, whatever spelling of
    // its path the walk reaches it by.
    std::optional<platform::FileIdentity> reference;
    // The entry the user named, which is a link when the reference was named through one; it is
    // not listed either.
    std::optional<platform::FileIdentity> named;
};

// The checks made when the duplicate window's Find is pressed, in their order. "C:" may be
// completed to "C:\" where the platform has drives.
std::optional<InputProblem> checkDuplicateInputs(DuplicateInputs& inputs);

// Builds the request. When neither the name nor the body is to be matched, the body is: the box
// gets ticked on screen, which is why the inputs are taken by reference.
DuplicateRequest buildDuplicateRequest(DuplicateInputs& inputs);

}  // namespace quillfen
