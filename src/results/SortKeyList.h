#pragma once

#include <array>

namespace quillfen {

// The order of the result list, as built by header clicks: the last clicked column decides
// first, earlier clicks break its ties. It lives as long as the window, so a new search keeps
// the order the user chose.
class SortKeyList {
public:
    struct Key {
        int column = 0;
        bool ascending = false;

        bool operator==(const Key&) const = default;
    };

    static constexpr int kKeyCount = 5;
    using Keys = std::array<Key, kKeyCount>;

    SortKeyList();

    // Puts the column first with its direction reversed, so a header sorts ascending on the first
    // click and flips on each further one. A column that cannot be sorted on leaves the list as
    // it is; the result says whether the order changed.
    bool clickHeader(int column);

    const Keys& keys() const { return keys_; }

private:
    Keys keys_;
};

}  // namespace quillfen
