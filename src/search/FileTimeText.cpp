#include "search/FileTimeText.h"

#include <cstdio>

#include "platform/Platform.h"

namespace quillfen {

std::string formatFileTime(platform::FileTime time) {
    const platform::LocalTime local = platform::currentPlatform().clock().toLocalTime(time);
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", local.year, local.month,
                  local.day, local.hour, local.minute, local.second);
    return text;
}

}  // namespace quillfen
