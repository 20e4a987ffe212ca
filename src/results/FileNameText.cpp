#include "results/FileNameText.h"

namespace quillfen {

namespace {

constexpr std::size_t kRowsPerBatch = 100;

}  // namespace

// Rows are gathered a hundred at a time before they join the result, so a selection of many
// thousands of rows grows the long text a hundred times less often.
std::string fileNameText(const std::vector<std::string>& paths) {
    std::string result;
    std::string batch;
    for (std::size_t row = 0; row < paths.size(); ++row) {
        batch += '"';
        batch += paths[row];
        batch += "\"\r\n";
        if ((row + 1) % kRowsPerBatch == 0) {
            result += batch;
            batch.clear();
        }
    }
    result += batch;
    return result;
}

}  // namespace quillfen
