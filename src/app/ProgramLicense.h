#pragma once

namespace quillfen {

// The licence line that "--version" prints under the version, by its SPDX name; the licence's text
// ships beside the programs as LICENSE.
inline constexpr const char* kProgramLicenseLine = "License: MIT";

}  // namespace quillfen
