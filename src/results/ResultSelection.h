#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quillfen {

// A result list as the actions see it; each search window's list implements it. Row numbers are
// positions in the list as currently sorted.
class ResultSelection {
public:
    virtual ~ResultSelection() = default;

    virtual std::size_t rowCount() const = 0;
    // Top to bottom, so the first is the selected row nearest the top.
    virtual std::vector<std::size_t> selectedRows() const = 0;
    // The row's folder followed by its name, without a separator after a folder's name.
    virtual std::string rowPath(std::size_t row) const = 0;
    // Also gives the list the keyboard focus.
    virtual void selectAll() = 0;
    // Leaves the focus where it is.
    virtual void invertSelection() = 0;
};

}  // namespace quillfen
