#pragma once

#include <string>
#include <vector>

namespace quillfen {

// A search window's size and the widths of its list's visible columns, in pixels.
struct WindowLayout {
    int width = 0;
    int height = 0;
    std::vector<int> columnWidths;

    bool operator==(const WindowLayout&) const = default;
};

// Where a window's layout is kept between runs: keys of the "Config" section, named by the
// window's key prefix ("" for the main window, "Duplicate" for the duplicate search) and what
// they hold, as "WindowWidth" or "DuplicateNameColumnWidth". A value that is missing, not a
// number or out of the sensible range gives the default, which is written back as every setting
// is.
class WindowLayoutSettings {
public:
    // The list's visible columns, in order, as their keys name them.
    static constexpr const char* kColumnKeys[] = {"NameColumnWidth", "InFolderColumnWidth",
                                                  "TypeColumnWidth", "DateModifiedColumnWidth",
                                                  "SizeColumnWidth"};
    static constexpr int kMinimumWindowSide = 200;
    static constexpr int kMinimumColumnWidth = 20;
    static constexpr int kMaximumSide = 20000;

    explicit WindowLayoutSettings(std::string keyPrefix);

    // The smallest window the controls fit in; a stored size below it is not taken, so a window
    // once shrunk too far opens usable again.
    void setMinimumSize(int width, int height);
    // The widths, in column-key order, that the columns' texts need in the window's font; a
    // stored width below one is not taken, so a font grown since shows its dates whole.
    void setMinimumColumnWidths(std::vector<int> widths) {
        minimumColumnWidths_ = std::move(widths);
    }

    // `defaults` has one width for each column key.
    WindowLayout load(const WindowLayout& defaults) const;
    void save(const WindowLayout& layout) const;

private:
    int readSize(const std::string& key, int defaultValue, int minimum) const;
    void writeSize(const std::string& key, int value) const;

    std::string keyPrefix_;
    int minimumWidth_ = kMinimumWindowSide;
    int minimumHeight_ = kMinimumWindowSide;
    std::vector<int> minimumColumnWidths_;
};

}  // namespace quillfen
