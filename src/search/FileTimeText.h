#pragma once

#include <string>

#include "platform/FileTime.h"

namespace quillfen {

// A file time as local 'YYYY-MM-DD HH:MM:SS': the year with as many digits as it has, every other
// field in two. Texts of this form sort chronologically, which the date filter relies on.
std::string formatFileTime(platform::FileTime time);

}  // namespace quillfen
