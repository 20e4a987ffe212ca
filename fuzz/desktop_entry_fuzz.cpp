// Every input is a desktop entry. The icon it names is a theme name or an absolute path, taken
// from the entry as it stands; reading the same entry from a file gives no other icon than the
// text does.
#include "FuzzSupport.h"
#include "platform/linux/DesktopEntryIcon.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using quillfen::platform::DesktopEntryIcon;
    using quillfen::platform::NamedIcon;
    const auto icon = DesktopEntryIcon::fromText(text);
    if (icon) {
        FUZZ_CHECK(!icon->name.empty());
        FUZZ_CHECK(icon->name.find('\n') == std::string::npos);
        if (icon->kind == NamedIcon::Kind::ImageFile) {
            FUZZ_CHECK(icon->name.front() == '/');
        }
    }
    static const quillfen::fuzz::InputFile file("quillfen-entry-fuzz", ".desktop");
    file.write(text.substr(0, DesktopEntryIcon::kMaxEntryBytes));
    const auto fromFile = DesktopEntryIcon::ofFile(file.path());
    if (fromFile) {
        FUZZ_CHECK(fromFile->kind == NamedIcon::Kind::ThemeName ||
                   fromFile->kind == NamedIcon::Kind::ImageFile);
        if (text.size() <= DesktopEntryIcon::kMaxEntryBytes) {
            FUZZ_CHECK(fromFile == icon);
        }
    }
    return 0;
}
