#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliOptions.h"

namespace quillfen::cli {

// One result row as the command line prints it.
struct OutputRow {
    std::string name;  // without a folder's trailing separator
    std::string inFolder;
    std::string type;
    std::string modified;
    std::string sizeText;
    std::string sizeKey;
    std::string path;  // inFolder + name
};

// Prints rows in one output format. Paths go out as raw bytes; the text formats escape what their
// readers could not take (control characters, bytes that are not UTF-8).
class RowWriter {
public:
    RowWriter(std::FILE* out, OutputFormat format, bool nullTerminated);

    // Rows of the streaming formats are printed at once; a table waits for finish() to align
    // its columns.
    void write(const OutputRow& row);
    // A row of the paths format, which needs no other cell.
    void writePath(const std::string& path);
    void finish();

    static std::string escapeForTerminal(const std::string& text);
    static std::string escapeForTsv(const std::string& text);
    static std::string quoteForCsv(const std::string& text);
    static std::string quoteForJson(const std::string& text);

private:
    void writeHeader();
    void writeTable();

    std::FILE* out_;
    OutputFormat format_;
    bool nullTerminated_;
    bool headerWritten_ = false;
    std::vector<std::vector<std::string>> tableRows_;
};

}  // namespace quillfen::cli
