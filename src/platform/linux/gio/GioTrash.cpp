#include "platform/linux/gio/GioTrash.h"

#include <gio/gio.h>

namespace quillfen::platform {

// The path goes to GIO as its bytes, so a name that is not valid UTF-8 is trashed too.
std::optional<std::string> moveToFreedesktopTrash(const std::string& path) {
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error) != FALSE;
    g_object_unref(file);
    if (moved) {
        return std::nullopt;
    }
    std::string reason = error != nullptr && error->message != nullptr ? error->message : "";
    g_clear_error(&error);
    return reason.empty() ? std::string("g_file_trash failed") : reason;
}

}  // namespace quillfen::platform
