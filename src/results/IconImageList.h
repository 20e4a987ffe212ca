#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/IconLocation.h"
#include "results/IconSource.h"
#include "results/StringIndexMap.h"

namespace quillfen {

// A window's icons: each distinct icon source is added once, and an icon's image index is its
// position, which stays valid for the window's lifetime because nothing is ever removed. The
// search worker adds and looks up while the user-interface thread reads sources by index.
class IconImageList {
public:
    static constexpr const char* kGenericProgramKey = ".Exe,0";
    static constexpr const char* kUnknownTypeKey = "Unknown,0";

    // Icon number `index` of a file (see FileIconSource), under the key "file,index"; -1 when the
    // file gives none, which is not remembered, so a file that changes is asked again.
    int addIconFromFile(const std::string& file, int index);
    // An icon of the desktop's theme by its name, under the key "theme:name"; -1 for no name.
    // `genericName` is the broader kind's icon, drawn when the theme lacks the named one.
    int addThemeIcon(const std::string& name, const std::string& genericName = {});
    // The icon at a location the desktop gave: an icon inside a file or a theme icon, each under
    // its key as above; -1 for no icon, and for a location that only a file can tell.
    int addIcon(const platform::IconLocation& location);
    // The desktop's icon of programs in general, under the key ".Exe,0", and its icon of files
    // whose type has none, under "Unknown,0". Each is remembered even when there is none, so a
    // desktop without it is asked once.
    int genericExeIcon();
    int unknownTypeIcon();

    // The image index remembered under an icon-source key, or -1.
    int indexOfKey(const std::string& key) const;
    std::size_t size() const;
    // nullptr for an index that holds no image.
    std::shared_ptr<const IconSource> source(int index) const;

private:
    using SourceFinder = std::function<std::optional<IconSource>()>;
    using LocationFinder = std::function<platform::IconLocation()>;

    // Finding a source may read a file, so it runs outside the lock; a key that another thread
    // added meanwhile keeps that thread's image.
    int addUnderKey(const std::string& key, const SourceFinder& find);

    // The icon, remembered under the fixed key as well, so both name one image; the desktop is
    // asked only while the fixed key is unknown. An icon the desktop hands out itself has only
    // the fixed key.
    int addIconAs(const std::string& fixedKey, const LocationFinder& locate);

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<const IconSource>> sources_;
    StringIndexMap indexByKey_;
};

}  // namespace quillfen
