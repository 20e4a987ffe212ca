#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen::cli {

// The known name nearest to a mistyped one, when it is near enough to be what was meant: one
// edit away for a word of up to four letters, two for a longer one. An edit inserts, removes or
// replaces one letter, or swaps two neighbours ("nmae" is one edit from "name").
std::optional<std::string> nearestName(std::string_view word,
                                       const std::vector<std::string>& names);

}  // namespace quillfen::cli
