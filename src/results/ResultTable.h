#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "results/FoundFile.h"
#include "results/SortKeyList.h"

namespace quillfen {

// The rows of a search's results, read by the result list and the command line alike. A window
// holds up to a million rows, so texts that many rows share are kept once and the cells that
// follow from a row's size are made when asked for. Used from one thread at a time.
class ResultTable {
public:
    enum Column : int {
        kNameColumn = 0,
        kFolderColumn = 1,
        kTypeColumn = 2,
        kModifiedColumn = 3,
        kSizeColumn = 4,
        kSizeByteColumn = 5,
    };
    static constexpr int kColumnCount = 6;
    static constexpr int kNoIcon = -1;

    ResultTable();
    // A table that was moved from may only be assigned to or destroyed.
    ResultTable(ResultTable&&) noexcept;
    ResultTable& operator=(ResultTable&&) noexcept;
    ~ResultTable();

    // The English header text; empty for a column that does not exist.
    static std::string_view columnTitle(int column);

    // The row goes to the end even when the table has been sorted; the next sort places it. The
    // size cells are rebuilt from the size key, a folder is told by the separator ending its name.
    void append(const FoundFile& file, std::string_view typeText, int iconIndex = kNoIcon);
    std::size_t rowCount() const;
    // Empty for a row or column out of range.
    std::string cellText(std::size_t row, int column) const;
    int iconIndex(std::size_t row) const;
    bool isFolder(std::size_t row) const;
    // The folder and the name, without a separator after a folder's name.
    std::string rowPath(std::size_t row) const;
    void clear();
    // Takes the rows at these places out of the list; the others keep their order.
    void removeRows(const std::vector<std::size_t>& rows);

    // Orders the rows by the keys, comparing cell texts without regard to case; the Size column
    // compares the size keys instead, so sizes sort by value. Rows equal on every key keep their
    // order.
    void sort(const SortKeyList& keys);

private:
    struct Storage;

    std::unique_ptr<Storage> storage_;
};

}  // namespace quillfen
