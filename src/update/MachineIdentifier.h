#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/DiskIdentity.h"

namespace quillfen {

// Identifies the computer by its fixed disk: serial number, "," and model, trimmed at both ends,
// without tabs, line breaks or quotes. When no disk answers, the identifier of the system's
// installation stands in, so that machines without disk serials do not all share the empty
// identifier; empty only when that is missing too. Computed afresh on each call.
std::string machineIdentifier(const platform::DiskIdentity& disks);

// The three ways to the text, in the order machineIdentifier tries them; each gives empty text
// when none of its disks answers.

// Identify data of the first four disks, lenient; the last disk that answers wins, and tabs,
// line breaks and quotes are removed.
std::string firstFamilyText(
    const std::vector<std::optional<platform::DiskIdentity::IdentifyWords>>& identifyData);
// Identify data of the first sixteen disks, strict; the first disk with both fields wins.
std::string secondFamilyText(
    const std::vector<std::optional<platform::DiskIdentity::IdentifyWords>>& identifyData);
// Serial and model texts of the first sixteen disks; the first disk with both wins.
std::string thirdFamilyText(const std::vector<platform::DiskIdentity::Texts>& texts);

}  // namespace quillfen
