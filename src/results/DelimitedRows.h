#pragma once

#include <array>
#include <string>

namespace quillfen {

class ResultTable;

// The result list as tab- or comma-separated text, as the command line prints it and the window
// exports it: a heading line with the English column titles, then one line per row with the six
// cells "Name", "In Folder", "Type", "Date Modified", "Size" and "Size Byte". TSV lines end with
// a line feed, CSV lines with CR LF.
class DelimitedRows {
public:
    enum class Format { Tsv, Csv };
    using Cells = std::array<std::string, 6>;

    static std::string headingLine(Format format);
    static std::string rowLine(Format format, const Cells& cells);
    // The heading and every row of the table in its current order.
    static std::string tableText(Format format, const ResultTable& table);
};

}  // namespace quillfen
