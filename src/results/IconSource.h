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

    static IconSource themeName(std::string name);
    static IconSource icoBytes(std::string bytes);
    static IconSource imageFile(std::string path);

    Kind kind() const { return kind_; }
    // The name, the bytes or the path, by kind.
    const std::string& data() const { return data_; }

    bool operator==(const IconSource&) const = default;

private:
    IconSource(Kind kind, std::string data);

    Kind kind_;
    std::string data_;
};

}  // namespace quillfen
