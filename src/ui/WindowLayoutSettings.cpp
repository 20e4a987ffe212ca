#include "ui/WindowLayoutSettings.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "app/Settings.h"

namespace quillfen {

namespace {

constexpr const char* kSection = "Config";

}  // namespace

WindowLayoutSettings::WindowLayoutSettings(std::string keyPrefix)
    : keyPrefix_(std::move(keyPrefix)) {}

void WindowLayoutSettings::setMinimumSize(int width, int height) {
    minimumWidth_ = std::max(width, static_cast<int>(kMinimumWindowSide));
    minimumHeight_ = std::max(height, static_cast<int>(kMinimumWindowSide));
}

WindowLayout WindowLayoutSettings::load(const WindowLayout& defaults) const {
    WindowLayout layout;
    layout.width = readSize("WindowWidth", defaults.width, minimumWidth_);
    layout.height = readSize("WindowHeight", defaults.height, minimumHeight_);
    for (std::size_t column = 0; column < std::size(kColumnKeys); ++column) {
        const int fallback =
            column < defaults.columnWidths.size() ? defaults.columnWidths[column] : 0;
        const int minimum =
            column < minimumColumnWidths_.size()
                ? std::max(minimumColumnWidths_[column], static_cast<int>(kMinimumColumnWidth))
                : kMinimumColumnWidth;
        layout.columnWidths.push_back(readSize(kColumnKeys[column], fallback, minimum));
    }
    return layout;
}

void WindowLayoutSettings::save(const WindowLayout& layout) const {
    writeSize("WindowWidth", layout.width);
    writeSize("WindowHeight", layout.height);
    for (std::size_t column = 0;
         column < std::size(kColumnKeys) && column < layout.columnWidths.size(); ++column) {
        writeSize(kColumnKeys[column], layout.columnWidths[column]);
    }
}

int WindowLayoutSettings::readSize(const std::string& key, int defaultValue, int minimum) const {
    const std::string text =
        readSetting(settingsFilePath(), kSection, keyPrefix_ + key, std::to_string(defaultValue));
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool whole = error == std::errc() && end == text.data() + text.size();
    return whole && value >= minimum && value <= kMaximumSide ? value : defaultValue;
}

// A size of nothing, as of a window never shown, is not written.
void WindowLayoutSettings::writeSize(const std::string& key, int value) const {
    if (value > 0 && value <= kMaximumSide) {
        writeSetting(settingsFilePath(), kSection, keyPrefix_ + key, std::to_string(value));
    }
}

}  // namespace quillfen
