#pragma once

#include <QIcon>
#include <optional>
#include <vector>

#include "results/IconImageList.h"
#include "results/IconSource.h"

namespace quillfen::qt {

// The Qt pictures of a window's icon list, made on first use of each image index. Used on the
// user-interface thread only; the list itself may grow meanwhile on the search worker's thread.
class QtIconImages {
public:
    explicit QtIconImages(const IconImageList& icons);

    // A null icon for an index that holds no image (-1 included).
    QIcon icon(int index);

    static QIcon iconFor(const IconSource& source);

private:
    const IconImageList& icons_;
    std::vector<std::optional<QIcon>> made_;
};

}  // namespace quillfen::qt
