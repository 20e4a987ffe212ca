#pragma once

#include <cstddef>
#include <optional>

#include "platform/DesktopShell.h"
#include "results/ResultSelection.h"

namespace quillfen {

// A double click opens the row's file with its default application; a file whose type has none
// is shown in its folder instead, so the click always shows the user something. A double click
// on no row does nothing.
void runDoubleClick(std::optional<std::size_t> row, const ResultSelection& list,
                    platform::DesktopShell& shell);

}  // namespace quillfen
