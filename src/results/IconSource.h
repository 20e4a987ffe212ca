#pragma once

#include <string>

namespace quillfen {

// Where the pixels of one icon come from, told without any toolkit so that the search worker can
// decide on icons while only the user-interface thread draws them.
class IconSource {
public:
    enum class Kind {
        // A freedesktop icon name, looked up in the desktop's icon theme.
        ThemeName,
        // The whole bytes of an .ico file, from a program's resources or an icon file.
        IcoBytes,
        // The path of an image file of any format the toolkit reads.
        ImageFile,
    };

    // `genericName` names the icon of the broader kind, for themes without the icon itself.
    static IconSource themeName(std::string name, std::string genericName = {});
    static IconSource icoBytes(std::string bytes);
    static IconSource imageFile(std::string path);

    Kind kind() const { return kind_; }
    // The name, the bytes or the path, by kind.
    const std::string& data() const { return data_; }
    // For a theme icon, the name of the broader kind's icon; empty otherwise.
    const std::string& genericName() const { return genericName_; }

    bool operator==(const IconSource&) const = default;

private:
    IconSource(Kind kind, std::string data, std::string genericName = {});

    Kind kind_;
    std::string data_;
    std::string genericName_;
};

}  // namespace quillfen
