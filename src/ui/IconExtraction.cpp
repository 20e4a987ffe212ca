#include "ui/IconExtraction.h"

#include <algorithm>

#include "app/PathHelpers.h"
#include "app/Settings.h"
#include "app/TextUtilities.h"
#include "platform/Platform.h"
#include "results/FileIconSource.h"
#include "results/TypeTextCache.h"

namespace quillfen {

namespace {

constexpr std::size_t kSwitchLength = 8;
constexpr const char* kOutputFolderName = "temp";

platform::FileSystem& files() {
    return platform::currentPlatform().files();
}

std::string extensionOfPath(const std::string& path) {
    const auto separator = path.rfind(pathSeparator());
    return TypeTextCache::extensionOf(separator == std::string::npos ? path
                                                                     : path.substr(separator + 1));
}

std::string createdFolder(const std::string& parent) {
    const std::string folder = withTrailingSeparator(parent + kOutputFolderName);
    createDirectoryChain(folder);
    return folder;
}

}  // namespace

IconExtraction::Request IconExtraction::parseRequest(std::string_view remainder) {
    const std::string_view parameters =
        trimWhiteSpace(remainder.substr(std::min(kSwitchLength, remainder.size())));
    const auto blank = parameters.find(' ');
    if (blank == std::string_view::npos) {
        return {std::string(), std::string(parameters)};
    }
    return {std::string(parameters.substr(0, blank)),
            std::string(trimWhiteSpace(parameters.substr(blank + 1)))};
}

std::string IconExtraction::outputFolder() {
    const std::string programFolder = moduleDirectory();
    if (!programFolder.empty() && !platform::currentPlatform().system().isInstalledCopy()) {
        const std::string beside = createdFolder(withTrailingSeparator(programFolder));
        if (files().isWritableDirectory(beside)) {
            return beside;
        }
    }
    return createdFolder(settingsDirectory());
}

std::string IconExtraction::prepareOutputFile(const std::string& name) {
    // The name comes from an outside caller: it names a file in the folder, never a way out of it
    // ("../x", "..\\x") nor a stream of another file ("a:b"). Refused on every system alike, so
    // that a name means the same file everywhere.
    if (name.find_first_of("/\\:") != std::string::npos) {
        return {};
    }
    const std::string file = outputFolder() + name + ".ico";
    files().removeFile(file);
    return file;
}

std::optional<IconSource> IconExtraction::iconFor(const std::string& source) {
    if (source.empty() || files().kindOf(source) != platform::EntryKind::File) {
        return std::nullopt;
    }
    if (auto own = FileIconSource::iconOf(source, 0)) {
        return own;
    }
    const platform::FileTypes& types = platform::currentPlatform().fileTypes();
    const platform::IconLocation location = types.extensionIcon(extensionOfPath(source));
    if (location.kind == platform::IconLocation::Kind::None) {
        return FileIconSource::iconAt(types.unknownTypeIcon());
    }
    return FileIconSource::iconAt(location);
}

bool IconExtraction::writeIconFile(const std::string& path, std::string_view icoBytes) {
    return files().createNewFile(path, icoBytes);
}

}  // namespace quillfen
