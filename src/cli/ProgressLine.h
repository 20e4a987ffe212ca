#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace quillfen::cli {

// One line on standard error showing the folder being read and what was counted so far (rows
// found, entries recorded),
// redrawn at most ten times a second and erased at the end, or left with a last word. Silent when
// standard error is not a terminal or when asked to be quiet.
class ProgressLine {
public:
    explicit ProgressLine(bool quiet, std::string counted = "found");
    ~ProgressLine();

    void update(const std::string& folder, std::int64_t count);
    // Takes the line away, so that output to the same terminal starts on a clean line.
    void erase();
    // Shows the text in the line's place and leaves it there, as the search's last word.
    void showLast(const std::string& text);

private:
    bool enabled_;
    std::string counted_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace quillfen::cli
