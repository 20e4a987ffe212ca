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

    // `defaults` has one width for each column key.
    WindowLayout load(const WindowLayout& defaults) const;
    void save(const WindowLayout& layout) const;

private:
    int readSize(const std::string& key, int defaultValue, int minimum) const;
    void writeSize(const std::string& key, int value) const;

    std::string keyPrefix_;
};

}  // namespace quillfen
