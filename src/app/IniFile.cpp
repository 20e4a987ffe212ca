#include "app/IniFile.h"

#include <optional>

#include "app/IniDocument.h"
#include "platform/Platform.h"

namespace quillfen {

std::string readIniValue(const std::string& file, std::string_view section, std::string_view key) {
    platform::Platform& os = platform::currentPlatform();
    const std::optional<std::string> bytes = os.files().readFile(file);
    if (!bytes) {
        return {};
    }
    return IniDocument(*bytes, os.text()).value(section, key).value_or(std::string());
}

bool writeIniValue(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value) {
    return writeIniValues(file, section, {{std::string(key), std::string(value)}});
}

bool writeIniValues(const std::string& file, std::string_view section,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    platform::Platform& os = platform::currentPlatform();
    bool stored = false;
    const bool replaced = os.files().editFile(
        file, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
            IniDocument document = current
                                       ? IniDocument(*current, os.text())
                                       : IniDocument(IniDocument::Encoding::EightBit, os.text());
            stored = true;
            for (const auto& [key, value] : values) {
                document.setValue(section, key, value);
                // The document refuses names that could not be read back; nothing is written
                // then.
                stored = stored && document.value(section, key).has_value();
            }
            std::string next = document.bytes();
            if (!stored || (current && next == *current)) {
                return std::nullopt;
            }
            return next;
        });
    return replaced && stored;
}

}  // namespace quillfen
