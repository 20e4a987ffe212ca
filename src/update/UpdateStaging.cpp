#include "update/UpdateStaging.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <set>
#include <string_view>

#include "platform/Platform.h"
#include "update/CZipException.h"
#include "update/UpdateWorkFolder.h"
#include "update/ZipReader.h"

namespace quillfen {

namespace {

constexpr std::size_t kReadPiece = 1 << 16;
// Unix file types in the high bits of a mode.
constexpr std::uint32_t kTypeMask = 0170000;
constexpr std::uint32_t kRegularFile = 0100000;
constexpr std::uint32_t kDirectory = 0040000;
// MS-DOS attributes in the low bits of the external attributes.
constexpr std::uint32_t kDosDirectory = 0x10;
constexpr std::uint32_t kDosReparsePoint = 0x400;

struct Entry {
    ZipEntryInfo info{};
    std::string name;
    bool isFolder = false;
};

std::string folded(std::string_view name) {
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool isDeviceName(std::string_view segment) {
    const std::string stem = folded(segment.substr(0, segment.find('.')));
    static const std::array<std::string_view, 6> kDevices = {"con", "prn",    "aux",
                                                             "nul", "conin$", "conout$"};
    if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
           stem[3] >= '0' && stem[3] <= '9';
}

// Why a segment of an entry's name cannot be a name in the program folder on every system: the
// rules of the strictest one, since a program's files never need more.
std::string_view unsafeSegment(std::string_view segment) {
    if (segment.empty() || segment == "." || segment == "..") {
        return "an empty, \".\" or \"..\" folder name";
    }
    for (const char c : segment) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
            std::string_view("\\:*?\"<>|").find(c) != std::string_view::npos) {
            return "a character a file name cannot hold";
        }
    }
    if (segment.back() == '.' || segment.back() == ' ') {
        return "a name ending in a dot or a blank";
    }
    if (isDeviceName(segment)) {
        return "a device name";
    }
    return {};
}

// A folder is known by its name's trailing '/'; one recorded as a folder without it would be
// unpacked as a file.
bool isLinkOrSpecial(const ZipEntryInfo& info, bool isFolder) {
    if (info.madeOnUnix()) {
        const std::uint32_t type = (info.externalAttributes >> 16) & kTypeMask;
        if (type != 0 && type != kRegularFile && !(type == kDirectory && isFolder)) {
            return true;
        }
    }
    const bool dosFolder = (info.externalAttributes & kDosDirectory) != 0;
    return (info.externalAttributes & kDosReparsePoint) != 0 || (dosFolder && !isFolder);
}

// Why the entry may not be unpacked; empty when it may.
std::string unsafeEntry(const Entry& entry) {
    const std::string& name = entry.name;
    if (name.empty() || name.front() == '/') {
        return "an absolute path";
    }
    if (name.find('\\') != std::string::npos) {
        return "a backslash";
    }
    if (name.find(':') != std::string::npos) {
        return "a drive letter or a colon";
    }
    if (isLinkOrSpecial(entry.info, entry.isFolder)) {
        return "a link or a special file";
    }
    if (entry.info.uncompressedSize > UpdateStaging::kLargestSize) {
        return "more bytes than an update may have";
    }
    std::string_view rest(name);
    if (entry.isFolder) {
        rest.remove_suffix(1);
    }
    const std::string_view work = UpdateWorkFolder::kName;
    if (folded(rest.substr(0, rest.find('/'))) == work) {
        return "the name of the update's work folder";
    }
    while (true) {
        const auto slash = rest.find('/');
        const std::string_view why = unsafeSegment(rest.substr(0, slash));
        if (!why.empty()) {
            return std::string(why);
        }
        if (slash == std::string_view::npos) {
            return {};
        }
        rest.remove_prefix(slash + 1);
    }
}

std::vector<Entry> readDirectory(ZipReader& reader) {
    std::vector<Entry> entries;
    do {
        Entry entry;
        reader.entryInfo(&entry.info);
        std::string name(std::size_t{entry.info.nameLength} + 1, '\0');
        reader.entryInfo(nullptr, name.data(), name.size());
        name.resize(entry.info.nameLength);
        entry.isFolder = name.ends_with('/');
        entry.name = std::move(name);
        entries.push_back(std::move(entry));
    } while (entries.size() <= UpdateStaging::kMostEntries && reader.goToNextEntry());
    return entries;
}

// Why the archive as a whole may not be unpacked; empty when it may.
std::string unsafeArchive(const std::vector<Entry>& entries, const std::string& requiredProgram) {
    if (entries.size() > UpdateStaging::kMostEntries) {
        return "the archive has more entries than an update may have";
    }
    unsigned long long total = 0;
    std::set<std::string> fileNames;
    std::set<std::string> folderNames;
    bool hasProgram = false;
    for (const Entry& entry : entries) {
        const std::string why = unsafeEntry(entry);
        if (!why.empty()) {
            return "the archive's entry \"" + entry.name + "\" has " + why;
        }
        total += entry.info.uncompressedSize;
        const std::string name =
            folded(entry.isFolder ? entry.name.substr(0, entry.name.size() - 1) : entry.name);
        // Names that differ in case only are one name where names ignore case.
        if (fileNames.contains(name) || folderNames.contains(name)) {
            return "the archive holds \"" + entry.name + "\" twice";
        }
        (entry.isFolder ? folderNames : fileNames).insert(name);
        for (auto slash = name.find('/'); slash != std::string::npos;
             slash = name.find('/', slash + 1)) {
            folderNames.insert(name.substr(0, slash));
        }
        hasProgram = hasProgram || (!entry.isFolder && entry.name == requiredProgram);
    }
    for (const std::string& folder : folderNames) {
        if (fileNames.contains(folder)) {
            return "the archive holds \"" + folder + "\" as a file and as a folder";
        }
    }
    if (total > UpdateStaging::kLargestSize) {
        return "the archive has more bytes than an update may have";
    }
    return hasProgram ? std::string() : "the archive lacks " + requiredProgram;
}

std::string contentsOf(ZipReader& reader, const Entry& entry) {
    reader.openEntry();
    std::string contents;
    contents.reserve(entry.info.uncompressedSize);
    std::string piece(kReadPiece, '\0');
    for (;;) {
        const std::size_t count = reader.readEntry(piece.data(), piece.size());
        contents.append(piece, 0, count);
        if (count < piece.size()) {
            break;
        }
    }
    reader.closeEntry();
    return contents;
}

std::string unpack(ZipReader& reader, const std::vector<Entry>& entries, const std::string& folder,
                   std::vector<std::string>& unpacked) {
    platform::FileSystem& files = platform::currentPlatform().files();
    const UpdateWorkFolder paths(folder);
    reader.goToFirstEntry();
    for (const Entry& entry : entries) {
        if (!entry.isFolder) {
            const std::string path = paths.below(folder, entry.name);
            const std::string contents = contentsOf(reader, entry);
            if (!paths.makeParents(folder, entry.name) || !files.createNewFile(path, contents)) {
                return "cannot write " + path;
            }
            // The permission bits matter (a program must stay runnable); a time that cannot be
            // set does not.
            ZipReader::restoreEntryStatus(path, entry.info);
            unpacked.push_back(entry.name);
        }
        reader.goToNextEntry();
    }
    return {};
}

}  // namespace

UpdateStaging::Result UpdateStaging::stage(const std::string& archivePath,
                                           const std::string& folder,
                                           const std::string& requiredProgram) {
    Result result;
    try {
        ZipReader reader(archivePath);
        const std::vector<Entry> entries = readDirectory(reader);
        result.refusal = unsafeArchive(entries, requiredProgram);
        if (!result.refusal.empty()) {
            return result;
        }
        if (!platform::currentPlatform().files().createDirectory(folder)) {
            result.refusal = "cannot create " + folder;
            return result;
        }
        result.refusal = unpack(reader, entries, folder, result.files);
        reader.close();
    } catch (const CZipException& failure) {
        result.refusal = std::string("the archive cannot be read: ") + failure.what();
    }
    if (!result.refusal.empty()) {
        result.files.clear();
    }
    return result;
}

}  // namespace quillfen
