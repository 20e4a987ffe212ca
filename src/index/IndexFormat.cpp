#include "index/IndexFormat.h"

#include <zlib.h>

#include <utility>

namespace quillfen {

namespace {

constexpr std::string_view kMagic{"QFNINDX\x1a", 8};
constexpr std::uint32_t kEntriesTag = 0x52544e45;  // "ENTR"
constexpr std::uint32_t kFoldersTag = 0x444c4f46;  // "FOLD"
constexpr std::uint32_t kNamesTag = 0x454d414e;    // "NAME"
// Beyond any folder a person indexes, and small enough that counts times sizes never overflow.
constexpr std::uint64_t kMaxCount = 1ULL << 30;

std::uint32_t crcOf(std::string_view bytes) {
    return static_cast<std::uint32_t>(
        ::crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

class Writer {
public:
    template <typename Number>
    void put(Number value) {
        for (std::size_t byte = 0; byte < sizeof(Number); ++byte) {
            bytes_.push_back(static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * byte)));
        }
    }
    void putBytes(std::string_view bytes) { bytes_.append(bytes); }
    // Closes what was written since `start` with its CRC-32.
    void putCrcSince(std::size_t start) { put(crcOf(std::string_view(bytes_).substr(start))); }
    std::size_t size() const { return bytes_.size(); }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    template <typename Number>
    bool get(Number& value) {
        if (bytes_.size() - position_ < sizeof(Number)) {
            return false;
        }
        std::uint64_t gathered = 0;
        for (std::size_t byte = 0; byte < sizeof(Number); ++byte) {
            gathered |= std::uint64_t{static_cast<unsigned char>(bytes_[position_ + byte])}
                        << (8 * byte);
        }
        position_ += sizeof(Number);
        value = static_cast<Number>(gathered);
        return true;
    }
    bool getBytes(std::uint64_t count, std::string_view& taken) {
        if (bytes_.size() - position_ < count) {
            return false;
        }
        taken = bytes_.substr(position_, count);
        position_ += count;
        return true;
    }
    bool crcSinceMatches(std::size_t start) {
        const std::uint32_t expected = crcOf(bytes_.substr(start, position_ - start));
        std::uint32_t stored = 0;
        return get(stored) && stored == expected;
    }
    std::size_t position() const { return position_; }
    bool atEnd() const { return position_ == bytes_.size(); }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

struct Header {
    IndexData index;
    std::uint32_t entryCount = 0;
    std::uint32_t folderCount = 0;
    std::uint32_t nameBytes = 0;
};

void writeHeader(Writer& out, const IndexData& index) {
    out.putBytes(kMagic);
    out.put(IndexFormat::kVersion);
    out.put(index.options);
    out.put(index.builtAt);
    out.put(index.volume);
    out.put(static_cast<std::uint32_t>(index.entries.size()));
    out.put(static_cast<std::uint32_t>(index.folders.size()));
    out.put(static_cast<std::uint32_t>(index.names.size()));
    out.put(static_cast<std::uint32_t>(index.root.size()));
    out.putBytes(index.root);
    out.putCrcSince(0);
}

// The fields of each record in their stored order, once for the writer and the reader alike: a
// field written but not read back, or read in another order, cannot happen.
constexpr auto kEntryFields = [](auto& entry, auto&& visit) {
    visit(entry.parent, entry.nameOffset, entry.nameLength, entry.flags, entry.size,
          entry.writeTime);
};

constexpr auto kFolderFields = [](auto& folder, auto&& visit) {
    visit(folder.entry, folder.first, folder.end, folder.writeTime, folder.changeTime,
          folder.identity.volume, folder.identity.file, folder.identity.fileHigh,
          folder.reasonOffset, folder.reasonLength);
};

template <typename Record, typename Fields>
std::string payloadOf(const std::vector<Record>& records, Fields fields) {
    Writer out;
    for (const Record& record : records) {
        fields(record, [&out](const auto&... field) { (out.put(field), ...); });
    }
    return out.take();
}

// The section's length was checked against the count, so every read succeeds.
template <typename Record, typename Fields>
void readRecords(std::string_view payload, std::vector<Record>& records, Fields fields) {
    Reader in(payload);
    for (Record& record : records) {
        fields(record, [&in](auto&... field) { (in.get(field), ...); });
    }
}

void writeSection(Writer& out, std::uint32_t tag, std::string_view payload) {
    out.put(tag);
    out.put(static_cast<std::uint64_t>(payload.size()));
    const std::size_t start = out.size();
    out.putBytes(payload);
    out.putCrcSince(start);
}

std::optional<Header> readHeader(Reader& in) {
    std::string_view magic;
    std::uint32_t version = 0;
    std::uint32_t rootLength = 0;
    Header header;
    IndexData& index = header.index;
    if (!in.getBytes(kMagic.size(), magic) || magic != kMagic || !in.get(version) ||
        version != IndexFormat::kVersion || !in.get(index.options) || !in.get(index.builtAt) ||
        !in.get(index.volume) || !in.get(header.entryCount) || !in.get(header.folderCount) ||
        !in.get(header.nameBytes) || !in.get(rootLength)) {
        return std::nullopt;
    }
    std::string_view root;
    if (!in.getBytes(rootLength, root) || root.empty() || !in.crcSinceMatches(0) ||
        header.entryCount > kMaxCount || header.folderCount > kMaxCount) {
        return std::nullopt;
    }
    index.root = root;
    return header;
}

// The payload of the next section when it has the tag, the length and the CRC-32 expected.
std::optional<std::string_view> readSection(Reader& in, std::uint32_t tag, std::uint64_t length) {
    std::uint32_t storedTag = 0;
    std::uint64_t storedLength = 0;
    std::string_view payload;
    if (!in.get(storedTag) || storedTag != tag || !in.get(storedLength) || storedLength != length) {
        return std::nullopt;
    }
    const std::size_t start = in.position();
    if (!in.getBytes(length, payload) || !in.crcSinceMatches(start)) {
        return std::nullopt;
    }
    return payload;
}

bool inBlob(std::uint64_t offset, std::uint64_t length, const std::string& names) {
    return offset <= names.size() && length <= names.size() - offset;
}

// A subfolder's entry lies in its parent's range, its subtree follows its entry directly and
// ends within its parent's, and folders come in the order of their entries.
bool folderHoldsTogether(const IndexData& index, std::uint32_t at) {
    const IndexData::Folder& folder = index.folders[at];
    if (at == 0) {
        return folder.entry == IndexData::kNone && folder.first == 0 &&
               folder.end == index.entries.size();
    }
    if (folder.entry >= index.entries.size() ||
        (at > 1 && folder.entry <= index.folders[at - 1].entry)) {
        return false;
    }
    const IndexData::Entry& entry = index.entries[folder.entry];
    if ((entry.flags & IndexData::kFolderFlag) == 0 || entry.parent >= at) {
        return false;
    }
    const IndexData::Folder& parent = index.folders[entry.parent];
    return folder.first == folder.entry + 1 && folder.first <= folder.end &&
           folder.end <= parent.end;
}

bool entryHoldsTogether(const IndexData& index, std::uint32_t at) {
    const IndexData::Entry& entry = index.entries[at];
    if (entry.parent >= index.folders.size() || entry.nameLength == 0 ||
        !inBlob(entry.nameOffset, entry.nameLength, index.names)) {
        return false;
    }
    const IndexData::Folder& parent = index.folders[entry.parent];
    return parent.first <= at && at < parent.end;
}

bool holdsTogether(const IndexData& index) {
    if (index.folders.empty()) {
        return false;
    }
    for (std::uint32_t at = 0; at < index.folders.size(); ++at) {
        const IndexData::Folder& folder = index.folders[at];
        if (!folderHoldsTogether(index, at) ||
            !inBlob(folder.reasonOffset, folder.reasonLength, index.names)) {
            return false;
        }
    }
    for (std::uint32_t at = 0; at < index.entries.size(); ++at) {
        if (!entryHoldsTogether(index, at)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string IndexFormat::encode(const IndexData& index) {
    Writer out;
    writeHeader(out, index);
    writeSection(out, kEntriesTag, payloadOf(index.entries, kEntryFields));
    writeSection(out, kFoldersTag, payloadOf(index.folders, kFolderFields));
    writeSection(out, kNamesTag, index.names);
    return out.take();
}

std::optional<std::string> IndexFormat::rootOf(std::string_view bytes) {
    Reader in(bytes);
    std::optional<Header> header = readHeader(in);
    return header ? std::optional<std::string>(header->index.root) : std::nullopt;
}

std::optional<IndexData> IndexFormat::decode(std::string_view bytes) {
    Reader in(bytes);
    std::optional<Header> header = readHeader(in);
    if (!header) {
        return std::nullopt;
    }
    const auto entries = readSection(in, kEntriesTag, header->entryCount * kEntryBytes);
    const auto folders =
        entries ? readSection(in, kFoldersTag, header->folderCount * kFolderBytes) : std::nullopt;
    const auto names = folders ? readSection(in, kNamesTag, header->nameBytes) : std::nullopt;
    if (!names || !in.atEnd()) {
        return std::nullopt;
    }
    IndexData index = std::move(header->index);
    index.entries.resize(header->entryCount);
    index.folders.resize(header->folderCount);
    readRecords(*entries, index.entries, kEntryFields);
    readRecords(*folders, index.folders, kFolderFields);
    index.names = *names;
    if (!holdsTogether(index)) {
        return std::nullopt;
    }
    return index;
}

}  // namespace quillfen
