#pragma once

#include <map>
#include <string>

#include "platform/FileTypes.h"

namespace quillfen::test {

// A made-up desktop whose icons are names in an icon theme and whose programs, icon files and
// desktop entries carry their own icons, which the program reads itself. Extensions not in
// `icons` have no icon; a file at a path in `ownIcons` names that theme icon for itself.
class ThemeFileTypes : public platform::FileTypes {
public:
    static constexpr const char* kFolderIconName = "folder";
    static constexpr const char* kProgramIconName = "program";
    static constexpr const char* kUnknownIconName = "unknown";

    std::string typeNameForExtension(const std::string& extension) const override {
        return "type of " + extension;
    }
    std::string folderTypeName(const std::string&) const override { return "File folder"; }
    platform::IconLocation extensionIcon(const std::string& extension) const override {
        if (extension == ".exe" || extension == ".ico" || extension == ".desktop") {
            return platform::IconLocation::filesOwn();
        }
        const auto known = icons.find(extension);
        return known == icons.end() ? platform::IconLocation::none() : known->second;
    }
    platform::IconLocation folderIcon() const override {
        return platform::IconLocation::themeName(kFolderIconName);
    }
    platform::IconLocation unknownTypeIcon() const override {
        return platform::IconLocation::themeName(kUnknownIconName);
    }
    platform::IconLocation fallbackIcon() const override { return unknownTypeIcon(); }
    platform::IconLocation genericProgramIcon() const override {
        return platform::IconLocation::themeName(kProgramIconName);
    }
    std::optional<platform::NamedIcon> iconNamedBy(const std::string& path) const override {
        const auto known = ownIcons.find(path);
        if (known == ownIcons.end()) {
            return std::nullopt;
        }
        return platform::NamedIcon{platform::NamedIcon::Kind::ThemeName, known->second};
    }

    std::map<std::string, platform::IconLocation> icons;
    std::map<std::string, std::string> ownIcons;
};

}  // namespace quillfen::test
