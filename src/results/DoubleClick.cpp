#include "results/DoubleClick.h"

#include <string>

namespace quillfen {

void runDoubleClick(std::optional<std::size_t> row, const ResultSelection& list,
                    platform::DesktopShell& shell) {
    if (!row || *row >= list.rowCount()) {
        return;
    }
    const std::string path = list.rowPath(*row);
    if (shell.hasDefaultApplication(path)) {
        shell.openWithDefaultApplication(path);
    } else {
        shell.showInFolder(path);
    }
}

}  // namespace quillfen
