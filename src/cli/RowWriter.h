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
// readers could not take (control characters, bytes that are not UTF-8) so that the names can
// still be told apart. Write failures are kept, not thrown: the first one stops all output.
class RowWriter {
public:
    RowWriter(std::FILE* out, OutputFormat format, bool nullTerminated);

    // Rows of the streaming formats are printed at once; a table waits for finish() to align
    // its columns.
    void write(const OutputRow& row);
    // A row of the paths format, which needs no other cell.
    void writePath(const std::string& path);
    // Prints what is left and flushes the stream.
    void finish();
    // The system's error number of the first failed write, 0 while every write succeeded.
    int writeError() const { return writeError_; }

private:
    void writeHeader();
    void writeTable();
    void put(const std::string& bytes);

    std::FILE* out_;
    OutputFormat format_;
    bool nullTerminated_;
    bool headerWritten_ = false;
    int writeError_ = 0;
    std::vector<std::vector<std::string>> tableRows_;
};

}  // namespace quillfen::cli
