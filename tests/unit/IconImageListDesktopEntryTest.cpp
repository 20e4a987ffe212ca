#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "results/IconImageList.h"
#include "support/TemporaryFolder.h"

namespace quillfen {
namespace {

// Desktop entries name their own icon; the Linux platform's file types read them.
struct DesktopEntryCase {
    const char* what;
    const char* name;
    std::string contents;
    std::optional<IconSource> expected;
};

TEST(IconImageListDesktopEntry, EntriesGiveTheIconTheyName) {
    const test::TemporaryFolder folder;
    folder.writeFile("picture.png", "\x89PNG");
    const std::string picture = folder / "picture.png";
    const std::vector<DesktopEntryCase> cases = {
        {"theme icon, capital extension", "d.DESKTOP", "[Desktop Entry]\nIcon=gimp\n",
         IconSource::themeName("gimp")},
        {"naming an image", "e.desktop", "[Desktop Entry]\nIcon=" + picture,
         IconSource::imageFile(picture)},
        {"naming a missing image", "f.desktop", "[Desktop Entry]\nIcon=" + picture + ".gone",
         std::nullopt},
    };
    for (const DesktopEntryCase& c : cases) {
        folder.writeFile(c.name, c.contents);
        IconImageList icons;
        const int index = icons.addIconFromFile(folder / c.name, 0);
        EXPECT_EQ(index, c.expected ? 0 : -1) << c.what;
        if (c.expected && index == 0) {
            EXPECT_EQ(*icons.source(0), *c.expected) << c.what;
        }
    }
}

}  // namespace
}  // namespace quillfen
