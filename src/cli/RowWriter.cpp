#include "cli/RowWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

#include "results/DelimitedRows.h"
#include "results/TextEscapes.h"

namespace quillfen::cli {

namespace {

constexpr std::array<const char*, 6> kHeadings = {"Name",          "In Folder", "Type",
                                                  "Date Modified", "Size",      "Size Byte"};

std::optional<DelimitedRows::Format> delimitedFormat(OutputFormat format) {
    switch (format) {
        case OutputFormat::Tsv:
            return DelimitedRows::Format::Tsv;
        case OutputFormat::Csv:
            return DelimitedRows::Format::Csv;
        default:
            return std::nullopt;
    }
}

size_t displayWidth(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

RowWriter::RowWriter(std::FILE* out, OutputFormat format, bool nullTerminated)
    : out_(out), format_(format), nullTerminated_(nullTerminated) {}

void RowWriter::put(const std::string& bytes) {
    if (writeError_ != 0) {
        return;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) {
        writeError_ = errno != 0 ? errno : EIO;
    }
}

void RowWriter::writeHeader() {
    if (headerWritten_) {
        return;
    }
    headerWritten_ = true;
    if (const std::optional<DelimitedRows::Format> delimited = delimitedFormat(format_)) {
        put(DelimitedRows::headingLine(*delimited));
    }
}

void RowWriter::write(const OutputRow& row) {
    writeHeader();
    std::string line;
    switch (format_) {
        case OutputFormat::Paths:
            writePath(row.path);
            return;
        case OutputFormat::Table:
            tableRows_.push_back({TextEscapes::escapeForTerminal(row.name),
                                  TextEscapes::escapeForTerminal(row.inFolder),
                                  TextEscapes::escapeForTerminal(row.type), row.modified,
                                  row.sizeText});
            return;
        case OutputFormat::Tsv:
        case OutputFormat::Csv:
            line = DelimitedRows::rowLine(
                *delimitedFormat(format_),
                {row.name, row.inFolder, row.type, row.modified, row.sizeText, row.sizeKey});
            break;
        case OutputFormat::Jsonl:
            line = "{\"name\":" + TextEscapes::quoteForJson(row.name) +
                   ",\"in_folder\":" + TextEscapes::quoteForJson(row.inFolder) +
                   ",\"type\":" + TextEscapes::quoteForJson(row.type) +
                   ",\"date_modified\":" + TextEscapes::quoteForJson(row.modified) +
                   ",\"size\":" + TextEscapes::quoteForJson(row.sizeText) +
                   ",\"size_byte\":" + TextEscapes::quoteForJson(row.sizeKey) +
                   ",\"path\":" + TextEscapes::quoteForJson(row.path);
            if (!TextEscapes::isUtf8(row.path)) {
                line += ",\"path_bytes\":\"" + TextEscapes::base64(row.path) + "\"";
            }
            line += "}\n";
            break;
    }
    put(line);
}

void RowWriter::writePath(const std::string& path) {
    put(path + (nullTerminated_ ? '\0' : '\n'));
}

void RowWriter::writeTable() {
    constexpr size_t kColumns = 5;
    std::array<size_t, kColumns> widths{};
    for (size_t i = 0; i < kColumns; ++i) {
        widths[i] = displayWidth(kHeadings[i]);
    }
    for (const auto& cells : tableRows_) {
        for (size_t i = 0; i < kColumns; ++i) {
            widths[i] = std::max(widths[i], displayWidth(cells[i]));
        }
    }
    const auto printLine = [&](const std::array<std::string, kColumns>& cells) {
        std::string line;
        for (size_t i = 0; i < kColumns; ++i) {
            const std::string padding(widths[i] - displayWidth(cells[i]), ' ');
            // Sizes align right, as in the window.
            line += i == kColumns - 1 ? padding + cells[i] : cells[i] + padding + "  ";
        }
        line += "\n";
        put(line);
    };
    printLine({kHeadings[0], kHeadings[1], kHeadings[2], kHeadings[3], kHeadings[4]});
    for (const auto& cells : tableRows_) {
        printLine({cells[0], cells[1], cells[2], cells[3], cells[4]});
    }
}

void RowWriter::finish() {
    if (format_ == OutputFormat::Table && !tableRows_.empty()) {
        writeTable();
    } else if (format_ == OutputFormat::Tsv || format_ == OutputFormat::Csv) {
        writeHeader();
    }
    errno = 0;
    if ((std::fflush(out_) != 0 || std::ferror(out_) != 0) && writeError_ == 0) {
        writeError_ = errno != 0 ? errno : EIO;
    }
}

}  // namespace quillfen::cli
