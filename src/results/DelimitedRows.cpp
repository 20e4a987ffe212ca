#include "results/DelimitedRows.h"

#include "results/ResultTable.h"
#include "results/TextEscapes.h"

namespace quillfen {

namespace {

const char* separatorOf(DelimitedRows::Format format) {
    return format == DelimitedRows::Format::Tsv ? "\t" : ",";
}

const char* lineEndOf(DelimitedRows::Format format) {
    return format == DelimitedRows::Format::Tsv ? "\n" : "\r\n";
}

std::string cellOf(DelimitedRows::Format format, const std::string& text) {
    return format == DelimitedRows::Format::Tsv ? TextEscapes::escapeForTsv(text)
                                                : TextEscapes::quoteForCsv(text);
}

}  // namespace

std::string DelimitedRows::headingLine(Format format) {
    std::string line;
    for (int column = 0; column < ResultTable::kColumnCount; ++column) {
        line +=
            (column > 0 ? separatorOf(format) : "") + std::string(ResultTable::columnTitle(column));
    }
    return line + lineEndOf(format);
}

std::string DelimitedRows::rowLine(Format format, const Cells& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += (i > 0 ? separatorOf(format) : "") + cellOf(format, cells[i]);
    }
    return line + lineEndOf(format);
}

std::string DelimitedRows::tableText(Format format, const ResultTable& table) {
    std::string text = headingLine(format);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        Cells cells;
        for (int column = 0; column < ResultTable::kColumnCount; ++column) {
            cells[static_cast<std::size_t>(column)] = table.cellText(row, column);
        }
        text += rowLine(format, cells);
    }
    return text;
}

}  // namespace quillfen
