#include "results/PeIconReader.h"

#include <algorithm>
#include <deque>
#include <unordered_map>
#include <vector>

#include "results/IcoFile.h"
#include "results/LittleEndian.h"

namespace quillfen {

namespace {

constexpr std::uint32_t kIconResource = 3;
constexpr std::uint32_t kIconGroupResource = 14;
constexpr std::uint32_t kHighBit = 0x80000000U;
constexpr std::uint64_t kRvaLimit = 0x100000000ULL;

constexpr std::size_t kPeHeaderOffsetAt = 0x3C;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint32_t kPe32Magic = 0x10B;
constexpr std::uint32_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectorySlot = 2;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kGroupHeaderSize = 6;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::uint64_t kMaxGroupBytes = kGroupHeaderSize + 0xFFFF * kGroupEntrySize;

class MemoryFile final : public platform::RandomAccessFile {
public:
    explicit MemoryFile(std::string_view bytes) : bytes_(bytes) {}

    std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }

    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t count) override {
        if (offset >= bytes_.size()) {
            return 0;
        }
        const std::size_t taken = bytes_.copy(buffer, count, offset);
        return static_cast<std::int64_t>(taken);
    }

private:
    std::string_view bytes_;
};

// One entry of a resource directory, as stored.
struct ResourceEntry {
    std::uint32_t name = 0;
    std::uint32_t target = 0;

    bool hasId(std::uint32_t id) const { return (name & kHighBit) == 0 && name == id; }
    bool leadsToDirectory() const { return (target & kHighBit) != 0; }
    std::uint32_t offset() const { return target & ~kHighBit; }
};

struct Section {
    std::uint64_t address = 0;
    std::uint64_t span = 0;
    std::uint64_t filePosition = 0;
};

// The resource tree of a program file, read piece by piece through checked offsets.
class PeResources {
public:
    explicit PeResources(platform::RandomAccessFile& file)
        : file_(file),
          fileSize_(static_cast<std::uint64_t>(std::max<std::int64_t>(file.size(), 0))) {}

    bool open();
    std::vector<ResourceEntry> directory(std::uint32_t offset) const;
    // The data an entry leads to, through its first language when it leads to a directory.
    std::optional<std::string> data(const ResourceEntry& entry, std::uint64_t maxSize) const;

private:
    std::optional<std::string> read(std::uint64_t position, std::uint64_t count) const;
    const Section* sectionHolding(std::uint64_t address) const;
    std::optional<std::string> readAddress(std::uint64_t address, std::uint64_t count) const;
    std::uint64_t bytesFrom(std::uint64_t address) const;
    bool readSections(std::uint64_t at, std::size_t count);

    platform::RandomAccessFile& file_;
    std::uint64_t fileSize_;
    std::vector<Section> sections_;
    std::uint64_t root_ = 0;
};

std::optional<std::string> PeResources::read(std::uint64_t position, std::uint64_t count) const {
    if (position > fileSize_ || count > fileSize_ - position) {
        return std::nullopt;
    }
    std::string bytes(count, '\0');
    std::uint64_t done = 0;
    while (done < count) {
        const std::int64_t got = file_.readAt(position + done, bytes.data() + done, count - done);
        if (got <= 0) {
            return std::nullopt;
        }
        done += static_cast<std::uint64_t>(got);
    }
    return bytes;
}

const Section* PeResources::sectionHolding(std::uint64_t address) const {
    if (address >= kRvaLimit) {
        return nullptr;
    }
    for (const Section& section : sections_) {
        if (address >= section.address && address - section.address < section.span) {
            return &section;
        }
    }
    return nullptr;
}

std::uint64_t PeResources::bytesFrom(std::uint64_t address) const {
    const Section* section = sectionHolding(address);
    return section == nullptr ? 0 : section->span - (address - section->address);
}

std::optional<std::string> PeResources::readAddress(std::uint64_t address,
                                                    std::uint64_t count) const {
    const Section* section = sectionHolding(address);
    if (section == nullptr || count > bytesFrom(address)) {
        return std::nullopt;
    }
    return read(section->filePosition + (address - section->address), count);
}

bool PeResources::readSections(std::uint64_t at, std::size_t count) {
    const auto table = read(at, count * kSectionHeaderSize);
    if (!table) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t base = i * kSectionHeaderSize;
        const std::uint32_t virtualSize = readLittleEndian(*table, base + 8, 4);
        const std::uint32_t rawSize = readLittleEndian(*table, base + 16, 4);
        Section section;
        section.address = readLittleEndian(*table, base + 12, 4);
        // Bytes past the virtual size are file padding the loader never maps.
        section.span = virtualSize == 0 ? rawSize : std::min(virtualSize, rawSize);
        // Addresses are 32 bits wide; nothing of a section lies beyond them.
        section.span = std::min(section.span, kRvaLimit - section.address);
        section.filePosition = readLittleEndian(*table, base + 20, 4);
        sections_.push_back(section);
    }
    return true;
}

bool PeResources::open() {
    const auto dosHeader = read(0, kPeHeaderOffsetAt + 4);
    if (!dosHeader || dosHeader->substr(0, 2) != "MZ") {
        return false;
    }
    const std::uint64_t signatureAt = readLittleEndian(*dosHeader, kPeHeaderOffsetAt, 4);
    const auto coff = read(signatureAt, 4 + kCoffHeaderSize);
    if (!coff || coff->substr(0, 4) != std::string_view("PE\0\0", 4)) {
        return false;
    }
    const std::size_t sectionCount = readLittleEndian(*coff, 6, 2);
    const std::uint64_t optionalSize = readLittleEndian(*coff, 20, 2);
    const std::uint64_t optionalAt = signatureAt + 4 + kCoffHeaderSize;
    const auto optional = read(optionalAt, optionalSize);
    if (!optional || optionalSize < 2) {
        return false;
    }
    const std::uint32_t magic = readLittleEndian(*optional, 0, 2);
    if (magic != kPe32Magic && magic != kPe32PlusMagic) {
        return false;
    }
    const std::size_t countAt = magic == kPe32Magic ? 92 : 108;
    const std::size_t slotAt = countAt + 4 + kResourceDirectorySlot * 8;
    if (slotAt + 8 > optionalSize ||
        readLittleEndian(*optional, countAt, 4) <= kResourceDirectorySlot) {
        return false;
    }
    root_ = readLittleEndian(*optional, slotAt, 4);
    return root_ != 0 && readSections(optionalAt + optionalSize, sectionCount);
}

std::vector<ResourceEntry> PeResources::directory(std::uint32_t offset) const {
    const std::uint64_t at = root_ + offset;
    const auto header = readAddress(at, kDirectoryHeaderSize);
    if (!header) {
        return {};
    }
    const std::uint64_t stated =
        std::uint64_t{readLittleEndian(*header, 12, 2)} + readLittleEndian(*header, 14, 2);
    // A count that runs past the section keeps the entries that are really there.
    const std::uint64_t fitting = (bytesFrom(at) - kDirectoryHeaderSize) / kDirectoryEntrySize;
    const std::uint64_t count = std::min(stated, fitting);
    const auto table = readAddress(at + kDirectoryHeaderSize, count * kDirectoryEntrySize);
    if (!table) {
        return {};
    }
    std::vector<ResourceEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i) {
        entries[i].name = readLittleEndian(*table, i * kDirectoryEntrySize, 4);
        entries[i].target = readLittleEndian(*table, i * kDirectoryEntrySize + 4, 4);
    }
    return entries;
}

std::optional<std::string> PeResources::data(const ResourceEntry& entry,
                                             std::uint64_t maxSize) const {
    ResourceEntry leaf = entry;
    if (entry.leadsToDirectory()) {
        const auto languages = directory(entry.offset());
        const auto first =
            std::find_if(languages.begin(), languages.end(),
                         [](const ResourceEntry& e) { return !e.leadsToDirectory(); });
        if (first == languages.end()) {
            return std::nullopt;
        }
        leaf = *first;
    }
    const auto dataEntry = readAddress(root_ + leaf.offset(), kDataEntrySize);
    if (!dataEntry) {
        return std::nullopt;
    }
    const std::uint64_t size = readLittleEndian(*dataEntry, 4, 4);
    if (size == 0 || size > maxSize) {
        return std::nullopt;
    }
    return readAddress(readLittleEndian(*dataEntry, 0, 4), size);
}

const ResourceEntry* entryWithId(const std::vector<ResourceEntry>& entries, std::uint32_t id) {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [id](const ResourceEntry& e) { return e.hasId(id); });
    return found == entries.end() ? nullptr : &*found;
}

std::vector<ResourceEntry> subdirectory(const PeResources& resources,
                                        const std::vector<ResourceEntry>& root, std::uint32_t id) {
    const ResourceEntry* type = entryWithId(root, id);
    if (type == nullptr || !type->leadsToDirectory()) {
        return {};
    }
    return resources.directory(type->offset());
}

const ResourceEntry* chooseGroup(const std::vector<ResourceEntry>& groups, int index) {
    if (index >= 0) {
        const auto position = static_cast<std::size_t>(index);
        return position < groups.size() ? &groups[position] : nullptr;
    }
    const std::int64_t id = -static_cast<std::int64_t>(index);
    return id > 0xFFFF ? nullptr : entryWithId(groups, static_cast<std::uint32_t>(id));
}

// The images a group names, each with the resource id of its pixels.
struct GroupMember {
    IcoFile::Image image;
    std::uint32_t iconId = 0;
};

std::vector<GroupMember> groupMembers(std::string_view group) {
    if (group.size() < kGroupHeaderSize || readLittleEndian(group, 2, 2) != 1) {
        return {};
    }
    const std::size_t count = std::min<std::size_t>(
        {readLittleEndian(group, 4, 2), (group.size() - kGroupHeaderSize) / kGroupEntrySize,
         PeIconReader::kMaxImages});
    std::vector<GroupMember> members(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kGroupHeaderSize + i * kGroupEntrySize;
        IcoFile::Image& image = members[i].image;
        image.width = IcoFile::sideFromByte(readLittleEndian(group, at, 1));
        image.height = IcoFile::sideFromByte(readLittleEndian(group, at + 1, 1));
        image.colorCount = static_cast<int>(readLittleEndian(group, at + 2, 1));
        image.planes = static_cast<int>(readLittleEndian(group, at + 4, 2));
        image.bitCount = static_cast<int>(readLittleEndian(group, at + 6, 2));
        members[i].iconId = readLittleEndian(group, at + 12, 2);
    }
    return members;
}

std::unordered_map<std::uint32_t, ResourceEntry> iconsById(const PeResources& resources,
                                                           const std::vector<ResourceEntry>& root) {
    std::unordered_map<std::uint32_t, ResourceEntry> icons;
    for (const ResourceEntry& icon : subdirectory(resources, root, kIconResource)) {
        if ((icon.name & kHighBit) == 0) {
            icons.try_emplace(icon.name, icon);
        }
    }
    return icons;
}

// The group's images that are present, in the group's order, within the byte budget.
std::optional<std::string> assembleGroup(
    const PeResources& resources, std::string_view group,
    const std::unordered_map<std::uint32_t, ResourceEntry>& icons) {
    std::deque<std::string> pixels;
    std::vector<IcoFile::Image> images;
    std::uint64_t budget = PeIconReader::kMaxIconBytes;
    for (GroupMember& member : groupMembers(group)) {
        const auto icon = icons.find(member.iconId);
        auto data = icon == icons.end() ? std::nullopt : resources.data(icon->second, budget);
        if (!data) {
            continue;
        }
        budget -= data->size();
        member.image.data = pixels.emplace_back(std::move(*data));
        images.push_back(member.image);
    }
    return images.empty() ? std::nullopt : std::optional(IcoFile::assemble(images));
}

}  // namespace

PeIconReader::PeIconReader(platform::RandomAccessFile& file) : file_(file) {}

std::optional<std::string> PeIconReader::iconFile(int index) {
    PeResources resources(file_);
    if (!resources.open()) {
        return std::nullopt;
    }
    const auto root = resources.directory(0);
    const auto groups = subdirectory(resources, root, kIconGroupResource);
    const ResourceEntry* group = chooseGroup(groups, index);
    const auto groupBytes =
        group == nullptr ? std::nullopt : resources.data(*group, kMaxGroupBytes);
    if (!groupBytes) {
        return std::nullopt;
    }
    return assembleGroup(resources, *groupBytes, iconsById(resources, root));
}

std::optional<std::string> PeIconReader::iconFileFromBytes(std::string_view bytes, int index) {
    MemoryFile file(bytes);
    return PeIconReader(file).iconFile(index);
}

}  // namespace quillfen
