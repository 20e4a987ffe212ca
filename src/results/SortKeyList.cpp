#include "results/SortKeyList.h"

#include <algorithm>

namespace quillfen {

SortKeyList::SortKeyList() {
    // Columns never clicked break ties last, in column order and descending.
    for (int index = 0; index < kKeyCount; ++index) {
        keys_[static_cast<std::size_t>(index)] = Key{index, false};
    }
}

bool SortKeyList::clickHeader(int column) {
    const auto clicked = std::find_if(keys_.begin(), keys_.end(),
                                      [column](const Key& key) { return key.column == column; });
    if (clicked == keys_.end()) {
        return false;
    }
    const bool wasAscending = clicked->ascending;
    std::rotate(keys_.begin(), clicked, clicked + 1);
    keys_.front().ascending = !wasAscending;
    return true;
}

}  // namespace quillfen
