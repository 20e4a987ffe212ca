#pragma once

#include <string>
#include <string_view>

namespace quillfen::platform {

// A "file://" URI of an absolute path. Every byte outside the unreserved characters is
// percent-encoded, separators excepted, so names with blanks, non-ASCII letters or bytes that are
// not valid UTF-8 survive the trip through other programs unchanged.
std::string fileUri(std::string_view path);

}  // namespace quillfen::platform
